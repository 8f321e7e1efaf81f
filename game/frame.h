// SPDX-License-Identifier: MIT
// The layers of a game and the frame composed from them on every tick.
//
// Owns: the making of a game's four surfaces, the composition order, and the
// presentation of a frame in the window. Only the game being played presents: a
// worker of an earlier game composes into its own frame, which nobody shows.
// Threads: SetUpLayers and SetUpFrame on the main thread; ComposeFrame and
// PresentFrame on the main thread or the game's bar worker.
#pragma once

#include <cstdint>

#include "game/state.h"

namespace game {

// Makes the bar, block and launcher layers and paints them (the wall is generated
// here, from the generator's state).
void SetUpLayers(Game& game);
// Makes the frame, composes the first frame and presents it.
void SetUpFrame(Game& game);
// Silver, the score line, then the bar, block and launcher layers at their places.
void ComposeFrame(const Game& game);
// Copies the frame to the host's control, if the game is still the one being played.
void PresentFrame(const Game& game);

// Makes `game` the one being played, after which no earlier game presents a frame.
void MakeCurrentGame(std::shared_ptr<Game> game);
// Enables "Nuevo" at the end of a game, unless a newer game has started already.
void EnableNewIfCurrent(const Game& game);

}  // namespace game
