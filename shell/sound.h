// SPDX-License-Identifier: MIT
// The sound cues: three short embedded sounds, one playing at a time.
//
// Owns: the embedded cue sounds, the one audio output that plays them, the sound
// thread that writes it and the sound library's thread that serves its connection.
// Threads: StartSound on the user-interface thread; PlaySoundCue from any thread,
// returning at once.
#pragma once

#include <string_view>

namespace shell {

// Loads the embedded cues and starts the sound thread, which opens the audio output.
// While there is no sound server the game runs silently, with one line of warning
// each time the server is lost; cues play again once it is back.
void StartSound();

// Starts the named cue ("#210", "#211", "#212"), cutting off the one playing.
// An unknown name plays nothing; an empty one stops the cue playing.
void PlaySoundCue(std::string_view name);

}  // namespace shell
