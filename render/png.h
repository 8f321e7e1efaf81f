// SPDX-License-Identifier: MIT
// PNG files of surfaces, for the tools.
//
// Owns: nothing; reads a surface's pixels under SurfaceLock and writes the file after
// the lock is released. Threads: any.
#pragma once

#include <cstdint>
#include <string>

#include "render/surface.h"

namespace render {

// The surface (handle, controlId) as the bytes of an 8-bit PNG, encoded in memory
// (the caller writes them where and how it wants): RGB, or RGBA with every pixel of
// the colour transparent fully transparent. False, with the reason in error, when the
// handle names no surface or the image cannot be encoded.
bool EncodeSurfacePng(SurfaceHandle handle, int32_t controlId, std::string& encoded,
                      std::string& error, int32_t transparent = ColourNone);

}  // namespace render
