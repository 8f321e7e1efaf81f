// SPDX-License-Identifier: MIT
// What the game asks of the shell, with no toolkit in sight.
//
// Owns: the window's handle and ids, and the one seam through which the game sets
// the state of "Nuevo" and plays a cue. The Qt window installs its implementation;
// tests and tools install the headless one (shell/headless.h).
// Threads: SetNewEnabled and PlayCue are called from any thread and return at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

namespace shell {

constexpr int32_t IdGraphic = 1001;  // the play area control
constexpr int32_t IdNew = 1003;      // "Nuevo"
constexpr int32_t IdQuit = 1004;     // "Salir"
constexpr int32_t IdAuthor = 1005;   // "Autor"

// The play area control: 1000 x 576 with a one-pixel border, so its image is 998 x 574.
constexpr int32_t ControlWidth = 1000;
constexpr int32_t ControlHeight = 576;
constexpr int32_t ControlImageWidth = ControlWidth - 2;
constexpr int32_t ControlImageHeight = ControlHeight - 2;

// The names of the three cues.
constexpr std::string_view CueBlockHit = "#210";
constexpr std::string_view CueBarHit = "#211";
constexpr std::string_view CueShot = "#212";

// The handle that names the main window to the drawing layer; 0 until it exists.
inline std::atomic<int32_t> MainWindow{0};

struct ShellSeam {
    virtual ~ShellSeam() = default;
    // Greys ("false") or enables "Nuevo".
    virtual void SetNewEnabled(bool enabled) = 0;
    // Starts a cue, cutting off the one playing; an unknown name plays nothing.
    virtual void PlayCue(std::string_view name) = 0;
};

// Installs the seam (nullptr: the game's requests are dropped).
void InstallSeam(ShellSeam* seam);

void SetNewEnabled(bool enabled);
void PlayCue(std::string_view name);

}  // namespace shell
