// SPDX-License-Identifier: MIT
// zarpeta-icon: paints the application icon with the game's own drawing layer, once
// for each size the desktop shows.
//
// Usage: zarpeta-icon FOLDER SIDE...    (writes FOLDER/SIDE.png for each side)
//
// The gold launcher stands before a few blocks of the wall, every element in the
// game's look (a white copy up-left, a maroon copy down-right, then the face), on a
// transparent ground. Each size is laid out for its own pixels: edges stay at least
// one pixel wide, and the small sizes show two by two blocks instead of three by
// three, so that each block still reads as one.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "game/rules.h"
#include "render/painters.h"
#include "render/png.h"
#include "render/surface.h"

namespace {

// ---- Constants ----------------------------------------------------------------
constexpr int32_t MinSide = 16, MaxSide = 1024;  // px
constexpr int32_t Design = 256;                  // the layout below is in 256ths of the side
constexpr int32_t Ground = 0xFF00FF;  // painted first, then made transparent; no element uses it

// The wall behind, from its upper-left corner; the launcher in front. 256ths.
constexpr int32_t WallLeft = 12, WallTop = 12, WallWide = 192, WallTall = 228;
constexpr int32_t LauncherLeft = 164, LauncherTop = 26, LauncherWide = 72, LauncherTall = 204;
constexpr int32_t LauncherCorner = 70;  // percent
// The diagonal is the wall's fixed colour, the game's own right-most column.
constexpr int32_t Fixed = game::FixedBlockColour;
constexpr int32_t WallColours[3][3] = {
    {Fixed, 0x3030D0, 0x50A030},
    {0x50A030, Fixed, 0x904080},
    {0x3030D0, 0x904080, Fixed},
};

// ---- Internal helpers -----------------------------------------------------------

// A length of the layout, in pixels of an icon of this side: rounded, never below min.
int32_t At(int32_t side, int32_t design, int32_t min = 0) {
    const int32_t pixels = (side * design + Design / 2) / Design;
    return pixels < min ? min : pixels;
}

void FillBox(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t corner,
             int32_t colour) {
    render::DrawBox(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                    static_cast<float>(bottom), corner, colour, colour);
}

// A block as it looks in the wall: white along its upper and left edges, maroon along
// its lower and right edges, its colour between.
void PaintIconBlock(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t edge,
                    int32_t colour) {
    FillBox(left, top, right, bottom, 0, render::ColourMaroon);
    FillBox(left, top, right - edge, bottom - edge, 0, render::ColourWhite);
    FillBox(left + edge, top + edge, right - edge, bottom - edge, 0, colour);
}

// The launcher: white copy, maroon copy one edge further down-right, then the gold
// face inside its grey outline.
void PaintIconLauncher(int32_t side, int32_t edge) {
    const int32_t left = At(side, LauncherLeft), top = At(side, LauncherTop);
    const int32_t right = left + At(side, LauncherWide, 3);
    const int32_t bottom = top + At(side, LauncherTall, 6);
    const int32_t ring = At(side, 3, 1);
    FillBox(left - edge, top - edge, right - edge, bottom - edge, LauncherCorner,
            render::ColourWhite);
    FillBox(left + edge, top + edge, right + edge, bottom + edge, LauncherCorner,
            render::ColourMaroon);
    FillBox(left, top, right, bottom, LauncherCorner, render::ColourGrey);
    FillBox(left + ring, top + ring, right - ring, bottom - ring, LauncherCorner,
            render::ColourGold);
}

void PaintIcon(render::SurfaceHandle icon, int32_t side) {
    render::BlankSurface(icon);
    FillBox(0, 0, side, side, 0, Ground);
    const int32_t edge = At(side, 4, 1);
    const int32_t blocks = side >= 48 ? 3 : 2;
    const int32_t left = At(side, WallLeft, 1), top = At(side, WallTop, 1);
    const int32_t wide = At(side, WallWide) / blocks, tall = At(side, WallTall) / blocks;
    for (int32_t row = 0; row < blocks; ++row) {
        for (int32_t column = 0; column < blocks; ++column) {
            const int32_t x = left + column * wide, y = top + row * tall;
            PaintIconBlock(x, y, x + wide, y + tall, edge, WallColours[row][column]);
        }
    }
    PaintIconLauncher(side, edge);
}

// An 8-bit RGBA PNG of the surface, the ground colour fully transparent.
bool WriteIconPng(render::SurfaceHandle icon, const std::string& path) {
    std::string png, error;
    if (!render::EncodeSurfacePng(icon, 0, png, error, Ground)) {
        return false;
    }
    std::ofstream file(path, std::ios::binary);
    return static_cast<bool>(file.write(png.data(), std::ssize(png)).flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: zarpeta-icon FOLDER SIDE...\n");
        return 2;
    }
    for (int index = 2; index < argc; ++index) {
        const int32_t side = std::atoi(argv[index]);
        if (side < MinSide || side > MaxSide) {
            std::fprintf(stderr, "zarpeta-icon: no icon of side %s\n", argv[index]);
            return 2;
        }
        const render::SurfaceHandle icon = render::NewBitmap(side, side);
        PaintIcon(icon, side);
        const std::string path = std::string(argv[1]) + "/" + std::to_string(side) + ".png";
        if (!WriteIconPng(icon, path)) {
            std::fprintf(stderr, "zarpeta-icon: cannot write %s\n", path.c_str());
            return 1;
        }
        render::FreeBitmap(icon);
    }
    return 0;
}
