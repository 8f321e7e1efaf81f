// Helpers of the painter tests: surfaces as images, figures as letters, goldens.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "render/surface.h"

namespace render::testing {

// A copy of a surface's pixels, 0xFFRRGGBB words.
struct Image {
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;

    uint32_t At(int32_t x, int32_t y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
    bool operator==(const Image&) const = default;
};
inline void PrintTo(const Image& image, std::ostream* out) {
    *out << image.Width << " x " << image.Height << " image";
}

// A colour argument (0x00BBGGRR) as the pixel word it paints.
uint32_t PixelWord(int32_t colour);

// A new bitmap cleared to the colour, attached to the calling thread.
SurfaceHandle ClearedBitmap(int32_t width, int32_t height, int32_t colour = ColourSilver);
Image Snapshot(SurfaceHandle surface);

// The rows of the image from (left, top), one letter per pixel, each row ending in a
// newline: '.' silver, W white, M maroon, g grey, G gold, R red, O orange, B blue,
// '?' anything else.
std::string Figure(const Image& image, int32_t left, int32_t top, int32_t width, int32_t height);

// The smallest rectangle holding every pixel of `within` that is not `background`.
Rect Extent(const Image& image, uint32_t background, Rect within);
// How many pixels of the rectangle have the given word.
int64_t CountPixels(const Image& image, uint32_t word, Rect within);

// Compares the surface's pixels with tests/render/golden/<name>.png. With
// ZARPETA_WRITE_GOLDEN=1 in the environment it writes the file instead (to look at,
// then check in).
::testing::AssertionResult MatchesGolden(SurfaceHandle surface, std::string_view name);

}  // namespace render::testing
