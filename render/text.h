// SPDX-License-Identifier: MIT
// Fonts and text inside the drawing layer: a surface's font chosen, and a font made
// for drawing. Nothing outside render/ includes it.
//
// Owns: the font table and its lock, FontLock (text.cpp), taken inside SurfaceLock
// and never the other way round.
// Threads: any, with SurfaceLock held by the caller.
#pragma once

#include "render/surface_table.h"

namespace render {

// Makes font the surface's font and reads its line metrics; an unknown font, or one
// that cannot be made, records ErrorInvalidHandle and leaves the surface's font as it is.
void SelectFontLocked(Surface& surface, FontHandle font);

// Makes the font's drawing face on first use and returns it with its metrics; null
// when the font is not in the table or cannot be made.
FontFace* FaceForFontLocked(FontHandle font, LineMetrics& metrics);

}  // namespace render
