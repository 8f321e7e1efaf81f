// SPDX-License-Identifier: MIT
// The play area's geometry, in pixels: every place and size the game, the window and
// the tools share. x grows rightwards, y downwards, from the play area's upper left.
//
//   x 0          620 629 646       979   1000
//   +-------------+---+-------------+-----+ y 0
//   | block layer |bar|  shots fly  |laun-|
//   | caption and |la-|  leftwards  |cher |
//   | wall        |ne |  from x 970 |     |
//   +-------------+   |             |     | y 550 (block layer), 570 (bar layer)
//   +---------------------------------------+ y 576
#pragma once

#include <cstdint>

#include "game/rules.h"
#include "render/painters.h"

namespace game {

// The frame, the control that shows it and the window's client area are one size.
constexpr int32_t PlayAreaWidth = 1000;
constexpr int32_t PlayAreaHeight = 576;
// The control keeps a one-pixel border on every side, so its image is 998 x 574.
constexpr int32_t PlayAreaBorder = 1;
constexpr int32_t ControlImageWidth = PlayAreaWidth - 2 * PlayAreaBorder;
constexpr int32_t ControlImageHeight = PlayAreaHeight - 2 * PlayAreaBorder;

// The layers and where each is copied into the frame.
constexpr int32_t BlockLayerWidth = 620;  // at (0, 0): the caption and the wall
constexpr int32_t BlockLayerHeight = 550;
constexpr int32_t BarLayerWidth = 17;  // at (BarLaneX, BarOffset): the bar at its top
constexpr int32_t BarLayerHeight = 570;
constexpr int32_t LauncherLayerWidth = 600;  // at (LauncherX, AimY): the launcher top-left
constexpr int32_t LauncherLayerHeight = 510;
constexpr int32_t BarLaneX = 629;
constexpr int32_t LauncherX = 979;

// The wall: rows 1..17 by columns 1..30, the cell at (column, row) with its upper-left
// corner at (20 column, 30 row), so the wall covers x 20..620 and y 30..540.
constexpr int32_t CellWidth = render::BlockWidth;
constexpr int32_t CellHeight = render::BlockHeight;
// Where the bar's lower end turns it upwards: the wall's lowest edge.
constexpr int32_t WallBottom = 540;

// The aim: the launcher's upper edge, 0..503 (its face is 51 px high).
constexpr int32_t AimLimit = 503;

// A shot starts at x 970 and moves ShotStep px a step (game/rules.h), 25 px below the
// launcher's upper edge. It meets the bar when its x lies in 628..645, both included:
// a lane one pixel left of the bar layer's place, so of a shot's path only x 640 can
// meet the bar.
constexpr int32_t ShotStartX = 970;
// The places of a flight, step 0 at x 970 to its last at the first x at or left of 0.
constexpr int32_t ShotLastStep = (ShotStartX + ShotStep - 1) / ShotStep;  // 65, at x -5
constexpr int32_t ShotXAt(int32_t step) {
    return ShotStartX - step * ShotStep;
}
constexpr int32_t ShotBelowAim = 25;
constexpr int32_t BarLaneLeft = 628;
constexpr int32_t BarLaneRight = 645;

// The score is a 16-bit count (GameState::BlocksDestroyed); its line, drawn by the
// score painter at the frame's upper right, holds any value from -32768 to 32767.

}  // namespace game
