// SPDX-License-Identifier: MIT
// The files a script writes: PNG images of surfaces and text dumps.
//
// Owns: nothing. A regular file, or a new one, is written to a temporary file beside
// it and renamed over it only once complete and flushed, so a failed write (a full
// disk, a surface that is gone) leaves the old file as it was, never a truncated one.
// A device, pipe or socket (/dev/null, /dev/full, /dev/stdout) is written directly,
// every write checked. Threads: the tool's main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "render/surface.h"

namespace script {

// False and an error naming the file and the reason when it was not written whole.
bool WriteOutputFile(const std::string& path, std::string_view bytes, std::string& error);

// The surface (handle, controlId) as an 8-bit RGB PNG, encoded in memory and then
// written as above: libpng's own file writer deletes its target when it fails.
bool WritePngFile(render::SurfaceHandle handle, int32_t controlId, const std::string& path,
                  std::string& error);

}  // namespace script
