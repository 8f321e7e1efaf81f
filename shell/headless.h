// SPDX-License-Identifier: MIT
// The headless shell: the game without a window, for tests and tools.
//
// Owns: a graphic control that only keeps its image, and a seam that records what
// the game asked of it.
// Threads: the game calls it from any thread; snapshots are taken by the driver.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shell {

// The value that names the headless main window to the drawing layer.
constexpr int32_t HeadlessWindow = 0x5A0001;

// What the game has asked of the shell so far.
struct HeadlessRecord {
    bool NewEnabled = true;         // the state of "Nuevo"
    std::vector<std::string> Cues;  // every cue played, in order
    int32_t FramesPresented = 0;    // refreshes of the control since installing
};

// Makes the control (once), clears it silver like the window at start-up, and
// installs the seam with a fresh record.
void InstallHeadlessShell();

HeadlessRecord HeadlessSnapshot();

}  // namespace shell
