// SPDX-License-Identifier: MIT
// The stop signals, through a pipe, to a close of the window.
#include "shell/stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>

namespace shell {

namespace {

// ---- Constants ------------------------------------------------------------------

constexpr int StopSignals[] = {SIGTERM, SIGINT, SIGHUP};
// How long the user-interface thread has to take a signal before the process ends
// without it.
constexpr unsigned GraceSeconds = 2;

// ---- Module state ---------------------------------------------------------------

int SignalPipe[2] = {-1, -1};  // read end, write end; both non-blocking
// Lock-free, so the handlers may use them.
std::atomic<bool> WindowUp{false};  // the event loop reads the pipe
std::atomic<int> SignalsSeen{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

// ---- Internal helpers -----------------------------------------------------------

// Async-signal-safe throughout. Before the window is up, or at a second signal, the
// process ends here: start-up may be blocked on a display or a bus that never
// answers, and nothing the program keeps needs a goodbye (main ends it the same way).
// Otherwise one write wakes the event loop, and the alarm ends the process should
// that loop be stuck; errno is kept for the code the signal interrupted.
void NoteSignal(int) {
    if (!WindowUp.load() || SignalsSeen.fetch_add(1) > 0) {
        _exit(StoppedExitCode);
    }
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(SignalPipe[1], &byte, 1);
    alarm(GraceSeconds);
    errno = saved;
}

void EndAfterGrace(int) {
    _exit(StoppedExitCode);
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
    action.sa_handler = &EndAfterGrace;
    sigaction(SIGALRM, &action, nullptr);
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
    WindowUp.store(true);
}

}  // namespace shell
