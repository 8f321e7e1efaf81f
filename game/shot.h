// SPDX-License-Identifier: MIT
// A shot: one worker per click, flying from the launcher to the wall 15 px a step.
//
// Threads: one shot worker per shot, any number at once, each holding its own game.
#pragma once

#include <atomic>
#include <memory>

#include "game/layout.h"
#include "game/rules.h"
#include "game/state.h"

namespace game {

// Shots started and not yet ended, over all games.
inline std::atomic<int32_t> ShotsInFlight{0};

// Whether a shot at (x, y) touches the bar as it stands now (all bounds included).
bool ShotHitsBar(const Game& game, int32_t x, int32_t y);

// Destroys and counts the first standing block at (x, y) in row-then-column order;
// false when there is none. Taking a block is one atomic step, so two shots on the
// same cell at once destroy and count it once.
bool ShotHitsBlock(Game& game, int32_t x, int32_t y);

// The shot worker's body for shot number `shot` of `game`.
void RunShot(std::shared_ptr<Game> game, int32_t shot);

}  // namespace game
