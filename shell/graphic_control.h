// SPDX-License-Identifier: MIT
// The play area on screen: the widget that shows the drawing layer's graphic control
// and turns the mouse over it into aiming and firing.
//
// Done:     1000 x 576 widget with a one-pixel grey border around the 998 x 574 image,
//           the border painted only when exposed; the changed parts of the frame
//           copied once, into the control's image, when this thread takes them, then
//           repainted at once from that image with the lock released; changes from any
//           thread wake the user-interface thread once through an eventfd (no
//           allocation per frame); crisp (nearest-pixel) scaling on high-density
//           screens; smooth scaling where the window made it smaller than
//           1000 x 576, the mouse mapped back to the image's pixels;
//           mouse tracking: moves aim, left presses fire, double-clicks fire nothing;
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
#include <QTransform>
#include <QWidget>

#include "shell/accessibility.h"

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

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    // Takes the control's changed parts into Shown and repaints them at once.
    void ShowChanges();
    // Paints the parts of region from Shown, one to one or scaled to the widget's size.
    void PaintOneToOne(QPainter& painter, const QRegion& region);
    void PaintScaled(QPainter& painter, const QRegion& region);
    // From the image's pixels to the widget's: inside the border, scaled to its size.
    QTransform ToWidget() const;
    // Updates the description when the game's score or end changed, or later if it
    // was updated moments ago.
    void TellChanges();

    QImage Shown;     // the control's image, without a copy of its pixels
    int WakeFd = -1;  // eventfd: the sink's wake
    GameSpoken Told;  // what the description says
    QElapsedTimer SinceTold;
    QTimer TellLater;  // single shot, running while a change waits to be told
};

}  // namespace shell
