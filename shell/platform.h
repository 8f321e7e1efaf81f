// SPDX-License-Identifier: MIT
// What the program needs from its surroundings before Qt starts: a display named at
// all, the Qt platform to ask for, and room for the descriptors it opens.
//
// Done:     a Wayland compositor that offers its clients no frames (no xdg-decoration)
//           would get Qt's own title bar, whose maximise button the fixed window
//           cannot follow; when an X display is there too, Qt's X platform is asked for
//           first (the compositor's Xwayland), whose window manager draws the frame the
//           window asks for. A platform the user named (-platform, QT_QPA_PLATFORM)
//           always wins. Too few descriptors: the soft limit raised towards the hard one.
// Not done: a frameless compositor with no X display keeps Qt's own title bar.
//
// Threads: the user-interface thread, at start-up, before any Qt object exists.
#pragma once

#include "shell/command_line.h"

namespace shell {

// The descriptors the program opens at most at once, and a margin: the display
// connection, the sound server's socket and shared memory, wake-ups, fonts.
constexpr int DescriptorsNeeded = 32;

// Whether any display is named: -display, -platform, DISPLAY, WAYLAND_DISPLAY or
// QT_QPA_PLATFORM.
bool AnyDisplayNamed(const StartOptions& options);

// The X display that Qt's X platform opens: -display, else DISPLAY; null for none.
const char* XDisplayName(const StartOptions& options);

// Asks Qt for its X platform first (QT_QPA_PLATFORM) when it would otherwise choose a
// Wayland compositor that draws no frames and an X display is there.
void ChoosePlatform(const StartOptions& options);

// Whether DescriptorsNeeded more descriptors can be opened; the soft limit is raised
// towards the hard one first when they cannot.
bool EnoughDescriptors();

}  // namespace shell
