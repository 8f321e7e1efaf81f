// SPDX-License-Identifier: MIT
// The host the Qt window installs.
//
// The state of "Nuevo" is kept as the value last asked for; whoever applies it reads
// that value, so a grey asked for on the user-interface thread and an enable asked
// for by the bar worker moments later end as "enabled" however the calls interleave.
#include "shell/qt_host.h"

#include <QAction>
#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <cstdio>

#include "game/host.h"
#include "shell/accessibility.h"
#include "shell/main_window.h"
#include "shell/sound.h"

namespace shell {

namespace {

// ---- Types ----------------------------------------------------------------------

class QtHost final : public game::GameHost {
  public:
    void SetNewEnabled(bool enabled) override;
    void PlayCue(game::Cue cue) override { PlaySoundCue(cue); }
    void ReportFault(std::string_view what) override;
};

// ---- Module state ---------------------------------------------------------------

QtHost Host;                               // never destroyed before the process ends
std::atomic<bool> NewEnabledWanted{true};  // what the game asked for last
std::atomic<bool> ApplyQueued{false};      // an apply is posted and not yet run
QPointer<QAction> NewAction;               // user-interface thread only

// ---- Internal helpers -----------------------------------------------------------

void ApplyNewEnabled() {
    // Cleared before the read: a request stored after this point posts a new apply.
    ApplyQueued.store(false);
    const bool enabled = NewEnabledWanted.load();
    if (NewAction != nullptr && NewAction->isEnabled() != enabled) {
        NewAction->setEnabled(enabled);
        TellEnabledChanged(NewAction);
    }
}

void QtHost::ReportFault(std::string_view what) {
    std::fprintf(stderr, "zarpeta: %.*s\n", static_cast<int>(what.size()), what.data());
}

void QtHost::SetNewEnabled(bool enabled) {
    NewEnabledWanted.store(enabled);
    if (OnUserInterfaceThread()) {
        // At once, so "Nuevo" is grey before the new game handles any further event.
        ApplyNewEnabled();
        return;
    }
    // A worker never waits for the user-interface thread: one queued apply at most.
    QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr && !ApplyQueued.exchange(true)) {
        QMetaObject::invokeMethod(app, &ApplyNewEnabled, Qt::QueuedConnection);
    }
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

bool OnUserInterfaceThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

void InstallQtHost(QAction* newAction) {
    NewAction = newAction;
    NewEnabledWanted.store(newAction == nullptr || newAction->isEnabled());
    game::InstallHost(&Host, game::FrameTarget{MainWindowHandle, IdGraphic});
}

}  // namespace shell
