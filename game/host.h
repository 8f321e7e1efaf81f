// SPDX-License-Identifier: MIT
// What the game asks of whoever shows it, with no toolkit in sight.
//
// Owns: the port through which the game sets the state of "Nuevo", plays a cue and
// learns where its frames go. The Qt window installs its host (shell/); tests, tools
// and benchmarks install the headless one (game/headless_host.h).
// Threads: SetNewEnabled and PlayCue are called from any thread and return at once;
// FrameTarget is read by whichever thread presents a frame.
#pragma once

#include <cstdint>
#include <string_view>

#include "game/cue.h"
#include "render/surface.h"

namespace game {

// The id every host gives the control that shows the frames, in its own window.
constexpr int32_t IdGraphic = 1001;

// The control frames are presented to, as the drawing layer names it: a window's
// handle and the control's id in it. {0, 0} until a host is installed.
struct FrameTarget {
    render::SurfaceHandle Window = 0;
    int32_t Control = 0;
};

struct GameHost {
    virtual ~GameHost() = default;
    // Greys ("false") or enables "Nuevo".
    virtual void SetNewEnabled(bool enabled) = 0;
    // Starts a cue, cutting off the one playing.
    virtual void PlayCue(Cue cue) = 0;
    // Tells the player, in one line, of a fault the game lives with; a host that has
    // no one to tell drops it.
    virtual void ReportFault(std::string_view) {}
};

// Installs the host and where frames go (nullptr: the game's requests are dropped).
void InstallHost(GameHost* host, FrameTarget target);

void SetNewEnabled(bool enabled);
void PlayCue(Cue cue);
void ReportFault(std::string_view what);
FrameTarget PresentTarget();

}  // namespace game
