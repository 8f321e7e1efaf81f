// SPDX-License-Identifier: MIT
// The commands of zarpeta-script and the session they share.
//
// Owns: the names a script gives its bitmaps and fonts, and the tables of commands
// (drawing operations, painters). Each table is a list of small functions; the tool
// runs the union of them.
// Threads: the tool's main thread only; every drawing goes to its current surface.
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <span>
#include <string>

#include "render/surface.h"
#include "tools/script/script_parser.h"

namespace script {

// However long the script, what it asks of the drawing layer stays within these, so
// the tool's memory stays bounded: a line past one of them is an error.
constexpr int32_t MaxBitmapSide = 1 << 15;
constexpr int64_t MaxBitmapPixels = int64_t{1} << 25;  // every live bitmap together
constexpr size_t MaxFonts = 64;                        // distinct fonts the script makes
constexpr double MaxFontPoints = 768;                  // render::MaxPixelsPerEm, the largest drawn
constexpr int64_t MaxGlyphBytes = int64_t{64} << 20;   // the glyph caches, as estimated

// Glyphs drawn in a font the script did not make (a painter's, or whatever the game
// left selected) are reckoned at the largest size.
constexpr render::FontHandle UnknownFont = -1;

struct Bitmap {
    render::SurfaceHandle Handle = 0;
    int64_t Pixels = 0;
};

struct Session {
    std::map<std::string, Bitmap, std::less<>> Bitmaps;            // by script name
    std::map<std::string, render::FontHandle, std::less<>> Fonts;  // by script name
    std::ostream* Out = nullptr;                                   // where metrics go

    // What the limits are checked against.
    int64_t BitmapPixels = 0;                // the bitmaps in Bitmaps
    std::set<render::FontHandle> FontsMade;  // every font the script made
    // Each surface's text font as far as the script knows it; a surface not listed has
    // UnknownFont. Attached: the surface drawn on, 0 after a game command.
    std::map<render::SurfaceHandle, render::FontHandle> TextFonts;
    render::SurfaceHandle Attached = 0;
    std::set<std::pair<render::FontHandle, char32_t>> Glyphs;  // drawn so far
    int64_t GlyphBytes = 0;
};

// The drawing operations: bitmap, attach, clear, fore, back, box, pos, text, endline,
// font, usefont, copy, copyat, png, metrics.
std::span<const Command> DrawCommands();
// The painters: paint bar|block|erase|shot|launcher|blank|score|gameover|win|caption.
std::span<const Command> PaintCommands();
// The game, headless: seed, new, move, click, tick, frame, layer, state, tables, scale.
std::span<const Command> GameCommands();

// Puts the game on the test clock and the headless shell, before the first line runs.
void StartHeadlessGame();

// The bitmap a script named; false with an error naming it when there is none.
bool FindBitmap(const Session& session, std::string_view name, render::SurfaceHandle& bitmap,
                std::string& error);

// The game's commands may leave any surface current, with any font.
void ForgetAttachedSurface(Session& session);

}  // namespace script
