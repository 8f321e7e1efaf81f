// SPDX-License-Identifier: MIT
// What the program needs from its surroundings before Qt starts: a display named at
// all.
//
// Threads: the user-interface thread, at start-up, before any Qt object exists.
#pragma once

#include "shell/command_line.h"

namespace shell {

// Whether any display is named: -display, -platform, DISPLAY, WAYLAND_DISPLAY or
// QT_QPA_PLATFORM.
bool AnyDisplayNamed(const StartOptions& options);

// The X display that Qt's X platform opens: -display, else DISPLAY; null for none.
const char* XDisplayName(const StartOptions& options);

}  // namespace shell
