// SPDX-License-Identifier: MIT
// The main window's frame on an X11 desktop: the hints that ask the window manager
// for a title bar with no buttons that still lets the window be moved, minimised and
// closed, and the re-centring once the manager has told the frame's size.
//
// Done:     _MOTIF_WM_HINTS set on the X window itself (Qt's window flags cannot say
//           "no close button, but closable"); _NET_REQUEST_FRAME_EXTENTS before the
//           window is mapped; the window fitted and its outer frame centred on the
//           primary screen's work area whenever _NET_FRAME_EXTENTS changes, until
//           the window is seen centred: from then on it stays where its user puts
//           it, also when the manager is restarted or replaced.
// Not done: other platforms (on Wayland the compositor or Qt draws the frame and
//           places the window; every call here does nothing there).
//
// Threads: the user-interface thread only.
#pragma once

#include <QWidget>

namespace shell {

class MainWindowWidget;

// Sets the hints on the created, not yet shown window and asks for its frame size.
void PrepareFrame(const QWidget& window);

// From now on, fits the window and centres its outer frame whenever the frame's size
// becomes known, until the window is seen in its place.
void KeepFrameCentred(MainWindowWidget& window);

}  // namespace shell
