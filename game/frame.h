// SPDX-License-Identifier: MIT
// The layers of a game and the frame composed from them on every tick.
//
// Owns: the making of a game's four surfaces, the composition order, and the
// presentation of a frame in the window. Only the game being played presents: a
// worker of an earlier game composes into its own frame, which nobody shows.
// Threads: SetUpLayers and SetUpFrame on the main thread; ComposeFrame and
// PresentFrame on the main thread or the game's bar worker.
#pragma once

#include <atomic>
#include <cstdint>

#include "game/state.h"

namespace game {

// Makes the bar, block and launcher layers and paints them (the wall is generated
// here, from the generator's state).
void SetUpLayers(Game& game);
// Makes the frame, composes the first frame and presents it.
void SetUpFrame(Game& game);
// Silver, the score line, then the bar, block and launcher layers at their places;
// after a game's first frame only where the frame can differ from the last one: what
// was drawn on it or on a layer since, the bar's and the launcher's old and new places
// when they moved, the score line when the count changed.
void ComposeFrame(Game& game);
// Copies to the host's control what the last composition redrew and whatever was drawn
// on the frame since (the whole frame the first time), if the game is still the one
// being played.
void PresentFrame(Game& game);

// Every frame composed and presented whole: for the test and the benchmarks that hold
// the two ways side by side.
inline std::atomic<bool> ComposeWholeFrames{false};

// Makes `game` the one being played, after which no earlier game presents a frame.
void MakeCurrentGame(std::shared_ptr<Game> game);
// Enables "Nuevo" at the end of a game, unless a newer game has started already.
void EnableNewIfCurrent(const Game& game);

}  // namespace game
