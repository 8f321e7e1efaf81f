// SPDX-License-Identifier: MIT
// Glyphs inside the drawing layer: each font's cache of rendered glyphs, and text drawn
// from it. Nothing outside render/ includes it but the text painters.
//
// Owns: the glyph caches, one in each made font at each em (fonts.h), filled on first
// use and kept.
// Threads: any, with SurfaceLock held by the caller (every public text operation takes it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace render {

struct FontFace;  // fonts.h
struct Surface;   // surface_table.h

// One rendered glyph: its coverage rows and where they sit relative to the pen.
struct Glyph {
    int32_t Left = 0;     // first column, from the pen
    int32_t Top = 0;      // first row, above the baseline
    int32_t Width = 0;    // coverage columns
    int32_t Rows = 0;     // coverage rows
    int32_t Advance = 0;  // whole pixels the pen moves
    size_t Offset = 0;    // first coverage byte in GlyphCache::Coverage
};

// The glyphs of one made font at one em, each rendered once.
struct GlyphCache {
    std::unordered_map<char32_t, Glyph> ByCharacter;
    std::vector<uint8_t> Coverage;  // every cached glyph's rows, one byte per pixel
};

// The width of the text in the font, rendering each glyph not yet cached.
int64_t TextWidthLocked(FontFace& font, std::string_view utf8);

// Renders in font every character from holds that font does not: the same font at
// another em starts with the glyphs its 1x face was readied with.
void CacheGlyphsLocked(FontFace& font, const FontFace& from);

// One pass of a text drawn around its anchor (x, y), logical pixels: drawn as DrawText
// at the anchor draws it, moved right by linesRight and down by linesDown lines of the
// surface (LineWidth), so that the passes around a text stand as evenly apart at every
// scale as a box's bevels. Its band and clip are those of the text at the pass's own
// place (x + linesRight, y + linesDown), where the position then is, as SetPosition there
// and DrawText leave it: at 1x the two are the same. Takes SurfaceLock.
void DrawTextShifted(int32_t x, int32_t y, int32_t linesRight, int32_t linesDown,
                     std::string_view utf8);

}  // namespace render
