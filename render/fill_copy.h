// SPDX-License-Identifier: MIT
// Fills inside the drawing layer, for the units that fill beside ClearSurface.
// Nothing outside render/ includes it.
//
// Owns: no state.
// Threads: any, with SurfaceLock held by the caller.
#pragma once

#include <cstdint>

#include "render/surface_table.h"

namespace render {

// Fills what the thread may draw of the surface with word, all but the pixels of kept
// (logical pixels).
void FillLocked(Surface& surface, uint32_t word, Rect kept = {});

// Fills area, device pixels within the surface, with word.
void FillRectLocked(Surface& surface, uint32_t word, Rect area);

}  // namespace render
