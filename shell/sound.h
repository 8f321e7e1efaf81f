// SPDX-License-Identifier: MIT
// The sound cues: the short sounds of game/cue.h, embedded, one playing at a time.
//
// Owns: the embedded cue sounds, the one audio output that plays them, the sound
// thread that writes it and the sound library's thread that serves its connection.
// Threads: StartSound on the user-interface thread; PlaySoundCue from any thread,
// returning at once.
#pragma once

#include "game/cue.h"

namespace shell {

// Loads the embedded cues and starts the sound thread, which opens the audio output.
// While there is no sound server the game runs silently, with one line of warning
// each time the server is lost; cues play again once it is back.
void StartSound();

// Starts the cue, cutting off the one playing.
void PlaySoundCue(game::Cue cue);

}  // namespace shell
