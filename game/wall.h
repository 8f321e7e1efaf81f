// SPDX-License-Identifier: MIT
// The wall of blocks: its colours drawn from the generator, its cells and its picture.
//
// Threads: the main thread, while a new game is made or its surfaces are made again
// at another scale; EraseDestroyed under the frame lock (game/frame.h).
#pragma once

#include "game/state.h"
#include "render/surface.h"

namespace game {

// Fills every cell, row by row, left to right, and paints the wall on the block
// layer. Draws 493 numbers: one per block outside column 30.
void BuildBlockGrid(Game& game);

// Blanks the layer, paints the caption (which pauses once first), then every block of
// the grid in the order the wall was built, destroyed or not: the wall as the game
// began.
void PaintWall(const Game& game, render::SurfaceHandle layer);
// Erases every destroyed block on the layer: the wall as it stands.
void EraseDestroyed(const Game& game, render::SurfaceHandle layer);

}  // namespace game
