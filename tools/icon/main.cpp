// SPDX-License-Identifier: MIT
// zarpeta-icon: paints the application icon with the game's own drawing layer.
//
// Usage: zarpeta-icon OUTPUT.png
//
// The gold launcher stands before a few blocks of the wall, on silver, every element
// in the game's look (a white copy up-left, a maroon copy down-right, then the face)
// scaled up so that the 256 x 256 icon is filled.
#include <cstdio>

#include "render/painters.h"
#include "render/png.h"
#include "render/surface.h"

namespace {

// ---- Constants ----------------------------------------------------------------
constexpr int32_t IconSide = 256;  // px
constexpr int32_t Scale = 4;       // one game pixel of edge, in icon pixels

// The wall behind: three by three blocks, each with square corners.
constexpr int32_t WallLeft = 12, WallTop = 12;     // px
constexpr int32_t BlockWide = 64, BlockTall = 76;  // px
constexpr int32_t WallColours[3][3] = {
    {0xB06043, 0x3030D0, 0x50A030},
    {0x50A030, 0xB06043, 0x904080},
    {0x3030D0, 0x904080, 0xB06043},
};

// The launcher in front: the game's 18 x 51 face box, corner 70, scaled.
constexpr int32_t LauncherLeft = 160, LauncherTop = 22;  // px
constexpr int32_t LauncherCorner = 70;                   // percent
constexpr int32_t LauncherOutline = 3;                   // grey ring, px

// ---- Internal helpers -----------------------------------------------------------

void FillBox(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t corner,
             int32_t colour) {
    render::DrawBox(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                    static_cast<float>(bottom), corner, colour, colour, 0);
}

// A block as it looks in the wall: white along its upper and left edges, maroon along
// its lower and right edges, its colour between.
void PaintIconBlock(int32_t left, int32_t top, int32_t colour) {
    const int32_t right = left + BlockWide, bottom = top + BlockTall;
    FillBox(left, top, right, bottom, 0, render::ColourMaroon);
    FillBox(left, top, right - Scale, bottom - Scale, 0, render::ColourWhite);
    FillBox(left + Scale, top + Scale, right - Scale, bottom - Scale, 0, colour);
}

// The launcher: white copy, maroon copy one edge further down-right, then the gold
// face inside its grey outline.
void PaintIconLauncher(int32_t left, int32_t top) {
    const int32_t right = left + 18 * Scale, bottom = top + 51 * Scale;
    FillBox(left - Scale, top - Scale, right - Scale, bottom - Scale, LauncherCorner,
            render::ColourWhite);
    FillBox(left + Scale, top + Scale, right + Scale, bottom + Scale, LauncherCorner,
            render::ColourMaroon);
    FillBox(left, top, right, bottom, LauncherCorner, render::ColourGrey);
    FillBox(left + LauncherOutline, top + LauncherOutline, right - LauncherOutline,
            bottom - LauncherOutline, LauncherCorner, render::ColourGold);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zarpeta-icon OUTPUT.png\n");
        return 2;
    }
    const render::SurfaceHandle icon = render::NewBitmap(IconSide, IconSide);
    render::BlankSurface(icon);
    for (int32_t row = 0; row < 3; ++row) {
        for (int32_t column = 0; column < 3; ++column) {
            PaintIconBlock(WallLeft + column * BlockWide, WallTop + row * BlockTall,
                           WallColours[row][column]);
        }
    }
    PaintIconLauncher(LauncherLeft + Scale, LauncherTop + Scale);
    if (!render::WriteSurfacePng(icon, 0, argv[1])) {
        std::fprintf(stderr, "zarpeta-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
