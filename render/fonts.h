// SPDX-License-Identifier: MIT
// Fonts inside the drawing layer: a font as made for drawing, at its own em and at the
// em of each device scale it is drawn at, and a surface's font chosen. Nothing outside
// render/ includes it.
//
// Owns: the font table and its lock, FontLock (fonts.cpp), taken inside SurfaceLock
// and never the other way round; each font's face, made on first use, and its sizes.
// Threads: any, with SurfaceLock held by the caller.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H

#include <memory>
#include <vector>

#include "render/glyphs.h"
#include "render/surface_table.h"

namespace render {

// A font made for drawing at one em: its FreeType face and that face's size at the em,
// its line metrics, and its glyphs (glyphs.h), which only the glyph unit reads and fills.
// The font at its own em (1x) owns the face; each other em it is drawn at is a size of
// the same face with glyphs of its own, so texts at two scales never share a glyph.
struct FontFace {
    FT_Face Face = nullptr;
    FT_Size Size = nullptr;  // activated before a glyph is loaded: the face has one at a time
    int32_t Scale = 0;       // font units to pixels, 16.16
    int32_t PixelsPerEm = 0;
    LineMetrics Metrics;
    GlyphCache Glyphs;
    std::vector<std::unique_ptr<FontFace>> OtherEms;  // the 1x face's: each scaled em made
};

// Font units scaled to whole pixels as the desktop's TrueType rules round them.
int32_t ScaledUnits(const FontFace& font, int64_t units);

// Makes font the surface's font and reads its line metrics; an unknown font, or one
// that cannot be made, records ErrorInvalidHandle and leaves the surface's font as it is.
void SelectFontLocked(Surface& surface, FontHandle font);

// Makes the font's drawing face on first use and returns it; null when the font is not
// in the table or cannot be made.
FontFace* FaceForFontLocked(FontHandle font);

// The em a font of pixelsPerEm at 1x is drawn at on a surface of the scale: scaled and
// rounded to the nearest pixel, halves up, as a line's width is (19 px gives 24 at 5/4,
// 29 at 3/2, 38 at 2), and 1 to MaxPixelsPerEm.
int32_t PixelsPerEmAt(int32_t pixelsPerEm, Scale scale);

// The font (a 1x face) as drawn on a surface of the scale: itself at its own em, else
// the same face hinted and rendered at PixelsPerEmAt, made on first use with every glyph
// the 1x face holds, so that a scale's first frame is the last to allocate. Null when
// FreeType cannot make the size.
FontFace* FaceAtScaleLocked(FontFace& font, Scale scale);

}  // namespace render
