// SPDX-License-Identifier: MIT
// The scene painters: bar, blocks, shot, launcher, and the silver blank.
//
// Every element is three boxes: a white outline up-left, a maroon outline
// down-right, then the face. Each painter attaches its own target first, so it may
// run on any thread; a painter's three boxes are not one atomic unit.
#pragma once

#include <cstdint>

#include "render/surface.h"

namespace render {

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

// The pixels each painter touches, relative to where it paints: what must be shown
// again after it painted, or after what it painted moved. At a scale each maps edge by
// edge (ToDevice) onto every device pixel the painter touches.
Rect BarArea(int32_t length);  // PaintBarOn, on its layer
// PaintBlockOn and EraseBlockOn at (x, y). A block's maroon line lies one line out from
// its cell, which at some scales (5/3, 2/3) begins a device pixel before the cell's
// logical edge less one: the area then begins a logical pixel further up or left.
Rect BlockArea(int32_t x, int32_t y, Scale scale = {});
Rect LauncherArea();                  // PaintLauncherOn, on its layer
Rect ShotArea(int32_t x, int32_t y);  // PaintShot at (x, y)
// The rows at either end of a painted bar that differ from its middle rows: a bar that
// moves up or down changes only those, where it was and where it is.
constexpr int32_t BarEndRows = 5;

void PaintBarOn(SurfaceHandle layer, int32_t length);
void PaintBlockOn(SurfaceHandle layer, int32_t x, int32_t y, int32_t colour);
void EraseBlockOn(SurfaceHandle layer, int32_t x, int32_t y);
void PaintLauncherOn(SurfaceHandle layer);

void PaintShot(SurfaceHandle surface, int32_t x, int32_t y);
// Attaches the surface and fills it silver but for keep; inks and fonts stay as they
// were. The surface stays attached.
void BlankSurface(SurfaceHandle surface, Rect keep = {});
// Attaches the surface, sets the default ink on a silver back and fills it silver: how
// every layer and the window's play area start out. The surface stays attached.
void ResetSurfaceToSilver(SurfaceHandle surface, int32_t controlId);

}  // namespace render
