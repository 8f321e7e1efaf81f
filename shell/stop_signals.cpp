// SPDX-License-Identifier: MIT
// The stop signals, through a pipe, to a close of the window.
#include "shell/stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <QSocketNotifier>

#include <cerrno>

namespace shell {

namespace {

// ---- Constants ------------------------------------------------------------------

constexpr int StopSignals[] = {SIGTERM, SIGINT, SIGHUP};

// ---- Module state ---------------------------------------------------------------

int SignalPipe[2] = {-1, -1};  // read end, write end; both non-blocking

// ---- Internal helpers -----------------------------------------------------------

// Async-signal-safe: one write, errno kept for the code it interrupted. A full pipe
// already holds a close for the window.
void NoteSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(SignalPipe[1], &byte, 1);
    errno = saved;
}

bool IgnoredAtStart(int number) {
    struct sigaction current {};
    return sigaction(number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

bool CatchStopSignals() {
    if (pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = &NoteSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : StopSignals) {
        if (!IgnoredAtStart(number)) {
            sigaction(number, &action, nullptr);
        }
    }
    return true;
}

void CloseOnStopSignal(QWidget& window) {
    auto* notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char bytes[16];
        while (read(SignalPipe[0], bytes, sizeof bytes) > 0) {
        }
        window.close();
    });
}

}  // namespace shell
