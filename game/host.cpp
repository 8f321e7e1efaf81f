// SPDX-License-Identifier: MIT
// Forwards the game's requests to whichever host is installed.
#include "game/host.h"

#include <atomic>

namespace game {

namespace {
std::atomic<GameHost*> Installed{nullptr};
std::atomic<FrameTarget> Target{FrameTarget{}};
}  // namespace

void InstallHost(GameHost* host, FrameTarget target) {
    Target.store(target);
    Installed.store(host);
}

void SetNewEnabled(bool enabled) {
    if (GameHost* host = Installed.load()) {
        host->SetNewEnabled(enabled);
    }
}

void PlayCue(Cue cue) {
    if (GameHost* host = Installed.load()) {
        host->PlayCue(cue);
    }
}

void ReportFault(std::string_view what) {
    if (GameHost* host = Installed.load()) {
        host->ReportFault(what);
    }
}

FrameTarget PresentTarget() {
    return Target.load();
}

}  // namespace game
