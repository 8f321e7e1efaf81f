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

// The boxes of a bevelled element, one line in from the edges of what it touches
// (outer): a white outline up-left, a maroon outline down-right, and the face within
// both, which covers most of them. At any scale each bevel is one line wide.
//   outer.Left,Top +--------+ white, to one line in from the right and bottom
//                  | +--------+ maroon, from one line in at the left and top
//                  | | face   | one line in from every edge
void PaintBevelled(Rect outer, int32_t corner, int32_t faceOutline, int32_t faceFill) {
    DrawBoxShifted(outer, {0, 0, -1, -1}, corner, ColourWhite, ColourNone);
    DrawBoxShifted(outer, {1, 1, 0, 0}, corner, ColourMaroon, ColourNone);
    DrawBoxShifted(outer, {1, 1, -1, -1}, corner, faceOutline, faceFill);
}

// The three boxes of a block cell in the given outline colours and fill. The white
// box is set in one line at the upper left and the maroon one set out, so in the
// wall each block's maroon line falls on its left and upper neighbours' last line. The
// face is the cell itself: neighbours share its edges, at any scale.
void BlockBoxes(int32_t x, int32_t y, int32_t inner, int32_t outer, int32_t face, int32_t fill) {
    const Rect cell{x, y, x + BlockWidth, y + BlockHeight};
    DrawBoxShifted(cell, {1, 1, 0, 0}, 0, inner, ColourNone);
    DrawBoxShifted(cell, {-1, -1, 0, 0}, 0, outer, ColourNone);
    DrawBoxShifted(cell, {}, 0, face, fill);
}

// The logical edge at or before edge - 1 whose device edge holds a line drawn one line
// out from edge.
int32_t LineOutside(int32_t edge, Scale scale) {
    const int64_t reach = ToDevice(edge, scale) - LineWidth(scale);
    int32_t outside = edge - 1;
    while (ToDevice(outside, scale) > reach) {
        --outside;
    }
    return outside;
}

}  // namespace

// ---- What each painter touches ---------------------------------------------------

Rect BarArea(int32_t length) {
    return {0, 0, BarWidth + 1, length + 1};
}

Rect BlockArea(int32_t x, int32_t y, Scale scale) {
    return {LineOutside(x, scale), LineOutside(y, scale), x + BlockWidth, y + BlockHeight};
}

Rect LauncherArea() {
    return {0, 0, LauncherRight + 1, LauncherBottom + 1};
}

Rect ShotArea(int32_t x, int32_t y) {
    return {x - 1, y - 1, x + ShotWidth + 1, y + ShotHeight + 1};
}

// ---- On a given layer ---------------------------------------------------------

// The bar: white (0,0)-(16, length), maroon (1,1)-(17, length + 1), then the gold
// face (1,1)-(16, length) over both.
void PaintBarOn(SurfaceHandle layer, int32_t length) {
    AttachSurface(layer, 0);
    if (length < 1) {
        return;
    }
    PaintBevelled(BarArea(length), BarCorner, ColourGrey, ColourGold);
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

// White (0,0)-(18,51), maroon (1,1)-(19,52), face (1,1)-(18,51).
void PaintLauncherOn(SurfaceHandle layer) {
    AttachSurface(layer, 0);
    PaintBevelled(LauncherArea(), LauncherCorner, ColourGrey, ColourGold);
}

// ---- On the surface given -------------------------------------------------------

// (x, y) is the face's upper-left corner; the white box starts one pixel up-left.
void PaintShot(SurfaceHandle surface, int32_t x, int32_t y) {
    AttachSurface(surface, 0);
    PaintBevelled(ShotArea(x, y), ShotCorner, ColourRed, ColourOrange);
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
