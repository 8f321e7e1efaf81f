// SPDX-License-Identifier: MIT
// The rules' numbers: how fast the bar and the shots move, how the bar grows, how many
// blocks, colours, levels and shots a game has, when it ends, and the wall's colours.
// Change a rule here; the game, its tools and its tests read it from here.
//
// The play area's places and sizes are in game/layout.h; the look every element is
// drawn in (its white and maroon copies, the faces' colours) in render/painters.h; the
// words shown in render/words.h.
//
// Owns: constants only, read from any thread.
#pragma once

#include <cstdint>

namespace game {

// ---- Motion ---------------------------------------------------------------------
constexpr int32_t BarSpeed = 5;   // px the bar moves each tick
constexpr int32_t ShotStep = 15;  // px a shot moves leftwards each step (a tick)
constexpr int32_t BarStep = 55;   // px the bar grows with each level: level n is 55 n long

// ---- Counts ---------------------------------------------------------------------
constexpr int32_t RowCount = 17;       // the wall's rows
constexpr int32_t ColumnCount = 30;    // the wall's columns
constexpr int32_t ColourCount = 901;   // ColourTable indices 0..900
constexpr int32_t LevelCount = 10;     // BarLengthTable indices 1..10
constexpr int32_t ShotLimit = 500000;  // ShotThreadTable indices 1..500000: shots per game
constexpr int32_t BlocksToWin = 100;   // destroyed blocks that win the game
constexpr int32_t LevelLost = 10;      // the bar level that loses it

// ---- The wall's colours (0x00BBGGRR) ---------------------------------------------
constexpr int32_t FixedBlockColour = 0xB06043;  // the wall's right-most column
// The other blocks' colours are drawn as numbers in this range: its low end bounds the
// value, not the brightness (0x007530 is a dark green, 0x0000FF red).
constexpr int32_t LowestColourValue = 30000;
constexpr int32_t HighestColourValue = 0xFFFFFF;

}  // namespace game
