// SPDX-License-Identifier: MIT
// Compares a surface with a checked-in PNG under ZARPETA_GOLDEN_DIR, pixel for pixel
// (alpha aside). With ZARPETA_UPDATE_GOLDEN=1 in the environment it writes the PNG
// instead, to look at and check in.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "render/png.h"
#include "render/surface.h"

inline ::testing::AssertionResult MatchesGolden(render::SurfaceHandle surface, int32_t control,
                                                const std::string& name) {
    const std::string path = std::string(ZARPETA_GOLDEN_DIR) + "/" + name + ".png";
    if (const char* update = std::getenv("ZARPETA_UPDATE_GOLDEN"); update && *update == '1') {
        return ::testing::AssertionResult(render::WriteSurfacePng(surface, control, path)) << path;
    }
    std::vector<uint32_t> golden, image;
    int32_t width = 0, height = 0, imageWidth = 0, imageHeight = 0;
    if (!render::ReadPng(path, golden, width, height) ||
        !render::ReadPixels(surface, control, image, imageWidth, imageHeight) ||
        width != imageWidth || height != imageHeight) {
        return ::testing::AssertionFailure() << "no image, or not the size of " << path;
    }
    for (size_t pixel = 0; pixel < image.size(); ++pixel) {
        if (((image[pixel] ^ golden[pixel]) & 0xFFFFFFu) != 0) {
            return ::testing::AssertionFailure() << name << " differs first at (" << pixel % width
                                                 << ", " << pixel / width << ")";
        }
    }
    return ::testing::AssertionSuccess();
}
