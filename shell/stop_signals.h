// SPDX-License-Identifier: MIT
// SIGTERM, SIGINT and SIGHUP end the program as a close request does: the window
// closes and the exit code is 0.
//
// Done:     the signals caught from start-up on and written to a pipe (the only work
//           done in the handler); the user-interface thread reads the pipe and closes
//           the window. A signal ignored when the process started (nohup, a
//           shell's background job) stays ignored.
//
// Threads: both functions on the user-interface thread; the handler on any thread.
#pragma once

#include <QWidget>

namespace shell {

// Catches the signals; false when the pipe cannot be made. Call it before any thread
// or Qt object exists: a signal that comes before the window waits in the pipe.
bool CatchStopSignals();

// From the event loop on, a caught signal closes the window.
void CloseOnStopSignal(QWidget& window);

}  // namespace shell
