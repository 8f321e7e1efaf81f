// SPDX-License-Identifier: MIT
// The bar worker: the game's clock. Each tick moves the bar, shows a new frame and
// decides the end of the game.
//
// Threads: one bar worker per game, started by the new game.
#pragma once

#include <memory>

#include "game/layout.h"
#include "game/rules.h"
#include "game/state.h"

namespace game {

// One move of the bar: 5 px on, then the turns at either end of the lane.
void MoveBar(Game& game);

// Whether the game goes on after this tick.
bool GameGoesOn(const Game& game);

// The bar worker's body: ticks until the game ends, then shows its end. A game that
// is no longer being played stops ticking: nobody sees its frames.
void RunBar(std::shared_ptr<Game> game);

}  // namespace game
