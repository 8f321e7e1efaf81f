#include "tests/render/painters_support.h"

#include <algorithm>
#include <cstdlib>

#include "render/png.h"

namespace render::testing {

namespace {

char LetterOf(uint32_t word) {
    constexpr std::pair<int32_t, char> Letters[] = {
        {ColourSilver, '.'}, {0xFFFFFF, 'W'}, {0x000080, 'M'}, {0x808080, 'g'},
        {0x00D7FF, 'G'},     {0x0000FF, 'R'}, {0x00A5FF, 'O'}, {0xFF0000, 'B'},
    };
    for (const auto& [colour, letter] : Letters) {
        if (PixelWord(colour) == word) {
            return letter;
        }
    }
    return '?';
}

bool WritingGoldens() {
    const char* flag = std::getenv("ZARPETA_WRITE_GOLDEN");
    return flag != nullptr && std::string_view(flag) == "1";
}

}  // namespace

uint32_t PixelWord(int32_t colour) {
    const uint32_t bgr = static_cast<uint32_t>(colour);
    return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

SurfaceHandle ClearedBitmap(int32_t width, int32_t height, int32_t colour) {
    const SurfaceHandle bitmap = NewBitmap(width, height);
    AttachSurface(bitmap, 0, 0);
    ClearSurface(colour, 0);
    return bitmap;
}

Image Snapshot(SurfaceHandle surface) {
    Image image;
    EXPECT_TRUE(ReadPixels(surface, 0, image.Pixels, image.Width, image.Height));
    return image;
}

std::string Figure(const Image& image, int32_t left, int32_t top, int32_t width, int32_t height) {
    std::string rows;
    for (int32_t y = top; y < top + height; ++y) {
        for (int32_t x = left; x < left + width; ++x) {
            rows.push_back(LetterOf(image.At(x, y)));
        }
        rows.push_back('\n');
    }
    return rows;
}

Rect Extent(const Image& image, uint32_t background, Rect within) {
    Rect extent{within.Right, within.Bottom, within.Left, within.Top};
    for (int32_t y = within.Top; y < within.Bottom; ++y) {
        for (int32_t x = within.Left; x < within.Right; ++x) {
            if (image.At(x, y) != background) {
                extent = {std::min(extent.Left, x), std::min(extent.Top, y),
                          std::max(extent.Right, x + 1), std::max(extent.Bottom, y + 1)};
            }
        }
    }
    return extent.IsEmpty() ? Rect{} : extent;
}

int64_t CountPixels(const Image& image, uint32_t word, Rect within) {
    int64_t count = 0;
    for (int32_t y = within.Top; y < within.Bottom; ++y) {
        for (int32_t x = within.Left; x < within.Right; ++x) {
            count += image.At(x, y) == word ? 1 : 0;
        }
    }
    return count;
}

::testing::AssertionResult MatchesGolden(SurfaceHandle surface, std::string_view name) {
    const std::string path = std::string(ZARPETA_GOLDEN_DIR) + "/" + std::string(name) + ".png";
    if (WritingGoldens()) {
        return WriteSurfacePng(surface, 0, path) ? ::testing::AssertionSuccess()
                                                 : ::testing::AssertionFailure() << path;
    }
    Image golden;
    if (!ReadPng(path, golden.Pixels, golden.Width, golden.Height)) {
        return ::testing::AssertionFailure() << "cannot read " << path;
    }
    const Image image = Snapshot(surface);
    if (image.Width != golden.Width || image.Height != golden.Height) {
        return ::testing::AssertionFailure() << "the size differs from " << path;
    }
    const auto differing = std::ranges::mismatch(image.Pixels, golden.Pixels).in1;
    if (differing != image.Pixels.end()) {
        const auto index = differing - image.Pixels.begin();
        return ::testing::AssertionFailure()
               << "differs from " << path << " first at (" << index % image.Width << ", "
               << index / image.Width << ")";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace render::testing
