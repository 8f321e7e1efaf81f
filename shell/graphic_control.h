// SPDX-License-Identifier: MIT
// The play area on screen: the widget that shows the drawing layer's graphic control
// and turns the mouse over it into aiming and firing.
//
// Done:     the control's image, 998 x 574 logical pixels at the game's device scale,
//           shown one device pixel to one (never scaled by Qt) inside a grey border
//           one line wide; the changed parts of the frame copied once, into the
//           control's image, when this thread takes them, then repainted at once from
//           that image with the lock released; changes from any thread wake the
//           user-interface thread once through an eventfd (no allocation per frame);
//           a paint that finds the window's device pixel ratio changed has the window
//           fitted again at the new one; mouse tracking: moves aim, left presses fire,
//           each from the logical row the device pixel under the mouse shows;
//           double-clicks fire nothing;
//           a name and a description for screen readers, the description kept to
//           the score and the end of the game and told at most four times a second.
// Not done: touch and tablet input (the game reads the mouse only).
//
// Owns: the widget, its view of the control's image, and the sink the drawing layer
// tells of changes.
// Threads: the widget on the user-interface thread only. The sink's Changed runs on
// whichever thread drew, after SurfaceLock is released; it only writes to an eventfd
// and never waits for the user-interface thread.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include "shell/accessibility.h"
#include "shell/play_geometry.h"

class QPainter;
class QRegion;

namespace shell {

class GraphicControl final : public QWidget {
  public:
    // Makes the drawing layer's control (once per process) and shows it from now on.
    explicit GraphicControl(QWidget* parent);
    ~GraphicControl() override;

    GraphicControl(const GraphicControl&) = delete;
    GraphicControl& operator=(const GraphicControl&) = delete;

    // Shows the play area as laid out for a window of that device pixel ratio: the
    // widget sized, the game told its device scale, the control's image taken anew.
    void ShowAt(const PlayGeometry& play, double ratio);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    // Takes the control's changed parts into Shown and repaints them at once.
    void ShowChanges();
    // Paints the parts of region (window pixels) from Shown, one to one, and the border.
    void PaintDevicePixels(QPainter& painter, const QRegion& region, double ratio);
    // The logical row of the image under a point of the widget.
    int32_t RowAt(QPointF position) const;
    // Has the window fitted again once this paint is over, at most once at a time.
    void RefitLater();
    // Updates the description when the game's score or end changed, or later if it
    // was updated moments ago.
    void TellChanges();

    QImage Shown;           // the control's image, without a copy of its pixels
    PlayGeometry Play;      // the layout Shown is painted in
    double ShownRatio = 1;  // the device pixel ratio Play was laid out for
    bool RefitQueued = false;
    int WakeFd = -1;  // eventfd: the sink's wake
    GameSpoken Told;  // what the description says
    QElapsedTimer SinceTold;
    QTimer TellLater;  // single shot, running while a change waits to be told
};

}  // namespace shell
