// SPDX-License-Identifier: MIT
// Forwards the game's requests to whichever shell is installed.
#include "shell/seam.h"

namespace shell {

namespace {
std::atomic<ShellSeam*> Installed{nullptr};
}  // namespace

void InstallSeam(ShellSeam* seam) {
    Installed.store(seam);
}

void SetNewEnabled(bool enabled) {
    if (ShellSeam* seam = Installed.load()) {
        seam->SetNewEnabled(enabled);
    }
}

void PlayCue(std::string_view name) {
    if (ShellSeam* seam = Installed.load()) {
        seam->PlayCue(name);
    }
}

}  // namespace shell
