// SPDX-License-Identifier: MIT
// The scene painters: bar, blocks, shot, launcher, and the silver blank.
//
// Every element is three boxes: a white outline up-left, a maroon outline
// down-right, then the face. Each painter attaches its own target first, so it may
// run on any thread; a painter's three boxes are not one atomic unit.
#pragma once

#include <atomic>
#include <cstdint>

#include "render/surface.h"

namespace render {

// The layers and the frame of the game being shown. The game creates them; a worker
// of an earlier game paints on its own game's surfaces through the *On forms.
inline std::atomic<SurfaceHandle> BarLayer{0};       // 17 x 570, the bar at its top
inline std::atomic<SurfaceHandle> BlockLayer{0};     // 620 x 550, caption and wall
inline std::atomic<SurfaceHandle> LauncherLayer{0};  // 600 x 510, launcher top-left
inline std::atomic<SurfaceHandle> FrameBitmap{0};    // 1000 x 576, the composed frame

constexpr int32_t ColourWhite = 0xFFFFFF;
constexpr int32_t ColourMaroon = 0x000080;
constexpr int32_t ColourGrey = 0x808080;
constexpr int32_t ColourGold = 0x00D7FF;
constexpr int32_t ColourRed = 0x0000FF;
constexpr int32_t ColourOrange = 0x00A5FF;
constexpr int32_t ColourBlue = 0xFF0000;

constexpr int32_t BarWidth = 16;     // face box width, px
constexpr int32_t BlockWidth = 20;   // px
constexpr int32_t BlockHeight = 30;  // px
constexpr int32_t LongestBar = 550;  // the level-10 bar, px

void PaintBarOn(SurfaceHandle layer, int32_t length);
void PaintBlockOn(SurfaceHandle layer, int32_t x, int32_t y, int32_t colour);
void EraseBlockOn(SurfaceHandle layer, int32_t x, int32_t y);
void PaintLauncherOn(SurfaceHandle layer);

// On the process-wide layers above. A bar longer than the longest draws the longest.
void PaintBar(int32_t length);
void PaintBlock(int32_t x, int32_t y, int32_t colour);
void EraseBlock(int32_t x, int32_t y);
void PaintLauncher();

void PaintShot(SurfaceHandle surface, int32_t x, int32_t y);
// Attaches the surface and clears it silver; it stays attached.
void BlankSurface(SurfaceHandle surface);
// BlankSurface, but for covered, which the caller covers whole straight after.
void BlankSurfaceAround(SurfaceHandle surface, Rect covered);
// Attaches the surface, sets the default ink on a silver back and clears it to that
// back: how every layer and the window's play area start out. It stays attached.
void ClearToSilverBack(SurfaceHandle surface, int32_t controlId);

}  // namespace render
