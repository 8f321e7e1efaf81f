// SPDX-License-Identifier: MIT
#include "game_fixture.h"

#include <cstdlib>

#include "game/host.h"
#include "game/layout.h"
#include "render/png.h"

namespace game {

std::vector<uint32_t> WindowImage() {
    std::vector<uint32_t> pixels;
    int32_t width = 0, height = 0;
    render::ReadPixels(game::HeadlessWindow, game::HeadlessControl, pixels, width, height);
    return pixels;
}

int32_t WindowColourAt(const std::vector<uint32_t>& image, int32_t x, int32_t y) {
    const uint32_t word = image.at(static_cast<size_t>(y * game::ControlImageWidth + x));
    const uint32_t red = (word >> 16) & 0xFF, green = (word >> 8) & 0xFF, blue = word & 0xFF;
    return static_cast<int32_t>(blue << 16 | green << 8 | red);
}

::testing::AssertionResult WindowMatchesGolden(const std::string& name) {
    const std::string path = std::string(ZARPETA_GOLDEN_DIR) + "/" + name + ".png";
    const char* update = std::getenv("ZARPETA_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        render::WriteSurfacePng(game::HeadlessWindow, game::HeadlessControl, path);
        return ::testing::AssertionSuccess() << "wrote " << path;
    }
    std::vector<uint32_t> golden;
    int32_t width = 0, height = 0;
    if (!render::ReadPng(path, golden, width, height)) {
        return ::testing::AssertionFailure() << "cannot read " << path;
    }
    const std::vector<uint32_t> image = WindowImage();
    if (width != game::ControlImageWidth || height != game::ControlImageHeight) {
        return ::testing::AssertionFailure() << path << " is " << width << " x " << height;
    }
    for (size_t pixel = 0; pixel < image.size(); ++pixel) {
        if ((image[pixel] & 0xFFFFFFu) != (golden[pixel] & 0xFFFFFFu)) {
            return ::testing::AssertionFailure() << name << " differs first at (" << pixel % width
                                                 << ", " << pixel / width << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace game
