// SPDX-License-Identifier: MIT
// PNG files through libpng's simplified interface, which reports errors by return
// value rather than by long jumps.
#include "render/png.h"

#include <png.h>

#include <cstring>
#include <vector>

#include "render/surface_table.h"

namespace render {

// ---- Public functions ----

bool EncodeSurfacePng(SurfaceHandle handle, int32_t controlId, std::string& encoded,
                      std::string& error, int32_t transparent) {
    std::vector<uint32_t> pixels;
    int32_t width = 0, height = 0;
    if (!ReadPixels(handle, controlId, pixels, width, height)) {
        error = "the surface is gone";
        return false;
    }
    const bool alpha = transparent != ColourNone;
    const uint32_t clear = PixelOf(transparent) & 0xFFFFFFu;
    const size_t channels = alpha ? 4 : 3;
    std::vector<uint8_t> bytes(pixels.size() * channels);
    for (size_t i = 0; i < pixels.size(); ++i) {
        uint8_t* pixel = bytes.data() + channels * i;
        pixel[0] = static_cast<uint8_t>(pixels[i] >> 16);
        pixel[1] = static_cast<uint8_t>(pixels[i] >> 8);
        pixel[2] = static_cast<uint8_t>(pixels[i]);
        if (alpha) {
            pixel[3] = (pixels[i] & 0xFFFFFFu) == clear ? 0 : 255;
        }
    }
    const auto stride = static_cast<png_int_32>(width * static_cast<int32_t>(channels));
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    bool good =
        png_image_write_to_memory(&image, nullptr, &size, 0, bytes.data(), stride, nullptr) != 0;
    if (good) {
        encoded.resize(size);
        good = png_image_write_to_memory(&image, encoded.data(), &size, 0, bytes.data(), stride,
                                         nullptr) != 0;
        encoded.resize(size);
    }
    if (!good) {
        error = image.message;
    }
    png_image_free(&image);
    return good;
}

}  // namespace render
