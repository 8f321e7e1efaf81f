// SPDX-License-Identifier: MIT
// The play area on screen: the widget that shows the drawing layer's graphic control
// and turns the mouse over it into aiming and firing.
//
// Done:     1000 x 576 widget with a one-pixel grey border around the 998 x 574 image;
//           repaint straight from the image under SurfaceLock (no copy between);
//           refreshes from any thread, coalesced into one wake of the
//           user-interface thread through an eventfd (no allocation per frame);
//           crisp (nearest-pixel) scaling on high-density screens;
//           mouse tracking: moves aim, left presses fire, double-clicks fire nothing.
// Not done: touch and tablet input (the game reads the mouse only).
//
// Owns: the widget and the refresh sink the drawing layer tells about changed parts
// of the control.
// Threads: the widget on the user-interface thread only. The sink's Refresh runs on
// whichever thread drew, after SurfaceLock is released; it takes only a small lock of
// its own, writes to an eventfd, and never waits for the user-interface thread.
#pragma once

#include <QWidget>

#include "render/surface.h"

namespace shell {

class GraphicControl final : public QWidget {
  public:
    // Makes the drawing layer's control (once per process) and shows it from now on.
    explicit GraphicControl(QWidget* parent);
    ~GraphicControl() override;

    GraphicControl(const GraphicControl&) = delete;
    GraphicControl& operator=(const GraphicControl&) = delete;

    // Repaints the parts of the image that changed (image coordinates).
    void ShowChanged(const render::DamageList& dirty);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    int WakeFd = -1;  // eventfd: the sink's wake for a repaint
};

}  // namespace shell
