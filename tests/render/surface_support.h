// Helpers of the surface tests: surfaces as images, created cleared and attached.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/surface.h"

namespace render::testing {

constexpr uint32_t SilverWord = 0xFFC0C0C0u;  // pixel words are 0xFFRRGGBB

struct Image {
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t At(int32_t x, int32_t y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
    bool operator==(const Image&) const = default;
};

inline Image Snapshot(SurfaceHandle surface) {
    Image image;
    EXPECT_TRUE(ReadPixels(surface, 0, image.Pixels, image.Width, image.Height));
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

}  // namespace render::testing
