// SPDX-License-Identifier: MIT
// The sound cues: three short embedded sounds, one playing at a time.
//
// Owns: the embedded cue sounds and the one audio output that plays them.
// Threads: StartSound on the user-interface thread; PlaySoundCue from any thread,
// returning at once.
#pragma once

#include <string_view>

namespace shell {

// Loads the embedded cues and opens the audio output. Without an audio device the
// game runs silently, with at most one line of warning for the whole run.
void StartSound();

// Starts the named cue ("#210", "#211", "#212"), cutting off the one playing.
// An unknown name plays nothing; an empty one stops the cue playing.
void PlaySoundCue(std::string_view name);

}  // namespace shell
