// SPDX-License-Identifier: MIT
// Fonts inside the drawing layer: a font as made for drawing, a surface's font chosen.
// Nothing outside render/ includes it.
//
// Owns: the font table and its lock, FontLock (fonts.cpp), taken inside SurfaceLock
// and never the other way round; each font's face, made on first use.
// Threads: any, with SurfaceLock held by the caller.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include "render/glyphs.h"
#include "render/surface_table.h"

namespace render {

// A font made for drawing: its FreeType face at its size, its line metrics, and its
// glyphs (glyphs.h), which only the glyph unit reads and fills.
struct FontFace {
    FT_Face Face = nullptr;
    int32_t Scale = 0;  // font units to pixels, 16.16
    int32_t PixelsPerEm = 0;
    LineMetrics Metrics;
    GlyphCache Glyphs;
};

// Font units scaled to whole pixels as the desktop's TrueType rules round them.
int32_t ScaledUnits(const FontFace& font, int64_t units);

// Makes font the surface's font and reads its line metrics; an unknown font, or one
// that cannot be made, records ErrorInvalidHandle and leaves the surface's font as it is.
void SelectFontLocked(Surface& surface, FontHandle font);

// Makes the font's drawing face on first use and returns it; null when the font is not
// in the table or cannot be made.
FontFace* FaceForFontLocked(FontHandle font);

}  // namespace render
