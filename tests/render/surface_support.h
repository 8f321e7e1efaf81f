// SPDX-License-Identifier: MIT
// Helpers of the render tests: surfaces as images, new bitmaps cleared and attached,
// and parts of images as rows of letters.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "render/surface.h"

namespace render::testing {

using Rows = std::vector<std::string>;
using Key = std::span<const std::pair<int32_t, char>>;  // a letter for each colour

// The pixel word (0xFFRRGGBB) that a colour (0x00BBGGRR) paints.
constexpr uint32_t PixelWord(int32_t colour) {
    const auto bgr = static_cast<uint32_t>(colour);
    return 0xFF000000u | (bgr & 0xFFu) << 16 | (bgr & 0xFF00u) | (bgr >> 16 & 0xFFu);
}

struct Image {
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t At(int32_t x, int32_t y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
    bool operator==(const Image&) const = default;
};
inline void PrintTo(const Image& image, std::ostream* out) {
    *out << image.Width << " x " << image.Height << " image";
}

// A rectangle's sides, to compare.
inline std::tuple<int32_t, int32_t, int32_t, int32_t> Sides(Rect rect) {
    return {rect.Left, rect.Top, rect.Right, rect.Bottom};
}

inline Image Snapshot(SurfaceHandle surface, int32_t controlId = 0) {
    Image image;
    EXPECT_TRUE(ReadPixels(surface, controlId, image.Pixels, image.Width, image.Height));
    return image;
}

// A new bitmap, attached on the calling thread and cleared to the colour.
inline SurfaceHandle Cleared(int32_t width, int32_t height, int32_t colour = ColourSilver) {
    const SurfaceHandle bitmap = NewBitmap(width, height);
    AttachSurface(bitmap, 0, 0);
    ClearSurface(colour, 0);
    return bitmap;
}

inline SurfaceMetrics Metrics() {
    SurfaceMetrics metrics;
    EXPECT_TRUE(CurrentMetrics(metrics));
    return metrics;
}

// The part of the image, one letter a pixel: its colour's letter in the key, or '?'.
inline Rows Figure(const Image& image, Rect part, Key key) {
    Rows rows;
    for (int32_t y = part.Top; y < part.Bottom; ++y) {
        std::string& row = rows.emplace_back();
        for (int32_t x = part.Left; x < part.Right; ++x) {
            row += '?';
            for (const auto& [colour, letter] : key) {
                row.back() = image.At(x, y) == PixelWord(colour) ? letter : row.back();
            }
        }
    }
    return rows;
}

// The smallest rectangle holding every pixel of the part whose word is (or, with
// matching false, is not) the given one; empty when there is none.
inline Rect Extent(const Image& image, Rect part, uint32_t word, bool matching) {
    Rect extent{part.Right, part.Bottom, part.Left, part.Top};
    for (int32_t y = part.Top; y < part.Bottom; ++y) {
        for (int32_t x = part.Left; x < part.Right; ++x) {
            if ((image.At(x, y) == word) == matching) {
                extent = {std::min(extent.Left, x), std::min(extent.Top, y),
                          std::max(extent.Right, x + 1), std::max(extent.Bottom, y + 1)};
            }
        }
    }
    return extent.IsEmpty() ? Rect{} : extent;
}

}  // namespace render::testing
