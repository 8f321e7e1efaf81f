// SPDX-License-Identifier: MIT
// The headless host: the game without a window, for tests, tools and benchmarks.
//
// Owns: a graphic control that only keeps its image, and a host that records what
// the game asked of it.
// Threads: the game calls it from any thread; snapshots are taken by the driver.
#pragma once

#include <cstdint>
#include <vector>

#include "game/cue.h"
#include "game/host.h"
#include "render/surface.h"

namespace game {

// The value that names the headless window to the drawing layer, and its control.
inline const int32_t HeadlessWindow = render::NewWindowHandle();
constexpr int32_t HeadlessControl = IdGraphic;

// The cues a record lists; earlier ones are only counted, so that a long run (half a
// million shots) neither grows the record nor makes each snapshot costly.
constexpr size_t ListedCues = 1000;

// What the game has asked of its host so far.
struct HeadlessRecord {
    bool NewEnabled = true;       // the state of "Nuevo"
    std::vector<Cue> Cues;        // the last ListedCues cues played, oldest first
    int64_t CuesPlayed = 0;       // every cue played, listed or not
    int32_t FramesPresented = 0;  // refreshes of the control since installing
};

// Makes the control (once), clears it silver like the window at start-up, and
// installs the host with a fresh record.
void InstallHeadlessHost();

HeadlessRecord HeadlessSnapshot();

}  // namespace game
