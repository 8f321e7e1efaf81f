// SPDX-License-Identifier: MIT
// The scene painters: each element is three boxes drawn on a layer the painter
// attaches itself, so any thread may paint.
#include "render/painters.h"

namespace render {

namespace {

constexpr int32_t BarCorner = 40;       // percent of the bar's width
constexpr int32_t LauncherCorner = 70;  // percent of the launcher's width
constexpr int32_t ShotCorner = 90;      // percent of the shot's height
constexpr int32_t LauncherRight = 18;   // the face box is (1, 1)-(18, 51), px
constexpr int32_t LauncherBottom = 51;  // px
constexpr int32_t ShotWidth = 6;        // face box, px
constexpr int32_t ShotHeight = 4;       // px

// One box with integer corners; the fill, if any, is solid.
void Box(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t corner, int32_t outline,
         int32_t fill) {
    DrawBox(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
            static_cast<float>(y2), corner, outline, fill);
}

// The three boxes of a block cell in the given outline colours and fill. The white
// box is set in one pixel at the upper left and the maroon one set out, so in the
// wall each block's maroon line falls on its left and upper neighbours' last pixels.
void BlockBoxes(int32_t x, int32_t y, int32_t inner, int32_t outer, int32_t face, int32_t fill) {
    const int32_t right = x + BlockWidth;
    const int32_t bottom = y + BlockHeight;
    Box(x + 1, y + 1, right, bottom, 0, inner, ColourNone);
    Box(x - 1, y - 1, right, bottom, 0, outer, ColourNone);
    Box(x, y, right, bottom, 0, face, fill);
}

}  // namespace

// ---- What each painter touches ---------------------------------------------------

Rect BarArea(int32_t length) {
    return {0, 0, BarWidth + 1, length + 1};
}

Rect BlockArea(int32_t x, int32_t y) {
    return {x - 1, y - 1, x + BlockWidth, y + BlockHeight};
}

Rect LauncherArea() {
    return {0, 0, LauncherRight + 1, LauncherBottom + 1};
}

Rect ShotArea(int32_t x, int32_t y) {
    return {x - 1, y - 1, x + ShotWidth + 1, y + ShotHeight + 1};
}

// ---- On a given layer ---------------------------------------------------------

// The bar: white up-left, maroon down-right, then the gold face over both.
//   (0,0)+--------+ white, to (16, length)
//        |(1,1)+--------+ maroon, to (17, length + 1)
//        |     | face   | grey outline, gold fill, (1,1)-(16, length)
void PaintBarOn(SurfaceHandle layer, int32_t length) {
    AttachSurface(layer, 0);
    if (length < 1) {
        return;
    }
    Box(0, 0, BarWidth, length, BarCorner, ColourWhite, ColourNone);
    Box(1, 1, BarWidth + 1, length + 1, BarCorner, ColourMaroon, ColourNone);
    Box(1, 1, BarWidth, length, BarCorner, ColourGrey, ColourGold);
}

void PaintBlockOn(SurfaceHandle layer, int32_t x, int32_t y, int32_t colour) {
    AttachSurface(layer, 0);
    BlockBoxes(x, y, ColourWhite, ColourMaroon, ColourWhite, colour);
}

// Silver over exactly the pixels PaintBlockOn drew: columns x-1..x+19, rows y-1..y+29.
void EraseBlockOn(SurfaceHandle layer, int32_t x, int32_t y) {
    AttachSurface(layer, 0);
    BlockBoxes(x, y, ColourSilver, ColourSilver, ColourSilver, ColourSilver);
}

void PaintLauncherOn(SurfaceHandle layer) {
    AttachSurface(layer, 0);
    Box(0, 0, LauncherRight, LauncherBottom, LauncherCorner, ColourWhite, ColourNone);
    Box(1, 1, LauncherRight + 1, LauncherBottom + 1, LauncherCorner, ColourMaroon, ColourNone);
    Box(1, 1, LauncherRight, LauncherBottom, LauncherCorner, ColourGrey, ColourGold);
}

// ---- On the surface given -------------------------------------------------------

// (x, y) is the face's upper-left corner; the white box starts one pixel up-left.
void PaintShot(SurfaceHandle surface, int32_t x, int32_t y) {
    AttachSurface(surface, 0);
    const int32_t right = x + ShotWidth;
    const int32_t bottom = y + ShotHeight;
    Box(x - 1, y - 1, right, bottom, ShotCorner, ColourWhite, ColourNone);
    Box(x, y, right + 1, bottom + 1, ShotCorner, ColourMaroon, ColourNone);
    Box(x, y, right, bottom, ShotCorner, ColourRed, ColourOrange);
}

void BlankSurface(SurfaceHandle surface, Rect keep) {
    AttachSurface(surface, 0);
    ClearSurface(ColourSilver, keep);
}

void ResetSurfaceToSilver(SurfaceHandle surface, int32_t controlId) {
    AttachSurface(surface, controlId);
    SetForeColour(ColourDefault);
    SetBackColour(ColourSilver);
    ClearSurface(ColourDefault);
}

}  // namespace render
