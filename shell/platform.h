// SPDX-License-Identifier: MIT
// What the program needs from its surroundings before Qt starts: a display named at
// all, and room for the descriptors it opens.
//
// Done:     too few descriptors: the soft limit raised towards the hard one.
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

// Whether DescriptorsNeeded more descriptors can be opened; the soft limit is raised
// towards the hard one first when they cannot.
bool EnoughDescriptors();

}  // namespace shell
