// SPDX-License-Identifier: MIT
// Compares a surface with a checked-in PNG under ZARPETA_GOLDEN_DIR, pixel for pixel
// (alpha aside). With ZARPETA_UPDATE_GOLDEN=1 in the environment it writes the PNG
// instead, to look at and check in.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "render/png.h"
#include "render/surface.h"

inline ::testing::AssertionResult MatchesGolden(render::SurfaceHandle surface, int32_t control,
                                                const std::string& name) {
    const std::string path = std::string(ZARPETA_GOLDEN_DIR) + "/" + name + ".png";
    if (const char* update = std::getenv("ZARPETA_UPDATE_GOLDEN"); update && *update == '1') {
        std::string png, error;
        std::ofstream file(path, std::ios::binary);
        return ::testing::AssertionResult(render::EncodeSurfacePng(surface, control, png, error) &&
                                          file.write(png.data(), std::ssize(png)))
               << path << " " << error;
    }
    std::vector<uint32_t> golden, image;
    int32_t width = 0, height = 0, imageWidth = 0, imageHeight = 0;
    if (!render::ReadPng(path, golden, width, height) ||
        !render::ReadPixels(surface, control, image, imageWidth, imageHeight) ||
        width != imageWidth || height != imageHeight) {
        return ::testing::AssertionFailure() << "no image, or not the size of " << path;
    }
    const auto same = [](uint32_t a, uint32_t b) { return ((a ^ b) & 0xFFFFFFu) == 0; };
    const size_t pixel = std::ranges::mismatch(image, golden, same).in1 - image.begin();
    return pixel == image.size() ? ::testing::AssertionSuccess()
                                 : ::testing::AssertionFailure()
                                       << name << " differs first at (" << pixel % width << ", "
                                       << pixel / width << ")";
}
