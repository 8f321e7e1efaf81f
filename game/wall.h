// SPDX-License-Identifier: MIT
// The wall of blocks: its colours drawn from the generator, its cells and its picture.
//
// Threads: the main thread, while a new game is made.
#pragma once

#include "game/state.h"

namespace game {

// Blanks the block layer, paints the caption, then every block row by row, left to
// right, storing each cell. Draws 493 numbers: one per block outside column 30.
void BuildBlockGrid(Game& game);

}  // namespace game
