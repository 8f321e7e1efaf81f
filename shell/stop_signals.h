// SPDX-License-Identifier: MIT
// SIGTERM, SIGINT and SIGHUP end the program as a close request does: the window
// closes and the exit code is 0.
//
// Done:     the signals caught from start-up on and written to a pipe; the
//           user-interface thread reads the pipe and closes the window. Whatever
//           that thread is blocked in (a display or session bus that never answers,
//           an X server that stalls), the program still ends: a signal before the
//           window is up ends it at once, and so does a second one; once it is up,
//           an alarm ends it two seconds after the first. A signal ignored when the
//           process started (nohup, a shell's background job) stays ignored.
//
// Threads: both functions on the user-interface thread; the handlers on any thread.
#pragma once

#include <QWidget>

namespace shell {

// The exit code of a program ended by a stop signal, as of every other end by choice.
constexpr int StoppedExitCode = 0;

// Catches the signals; false when the pipe cannot be made. Call it before any thread
// or Qt object exists. Until CloseOnStopSignal, a signal ends the process at once.
bool CatchStopSignals();

// From the event loop on, a caught signal closes the window.
void CloseOnStopSignal(QWidget& window);

}  // namespace shell
