// SPDX-License-Identifier: MIT
// Colours: MakeRgb, and the current surface's fore and back colours.
#include <algorithm>

#include "render/control.h"

namespace render {

// ---- Public functions ----

int32_t MakeRgb(int32_t red, int32_t green, int32_t blue) {
    red = std::clamp(red, 0, 255);
    green = std::clamp(green, 0, 255);
    blue = std::clamp(blue, 0, 255);
    return blue * 65536 + green * 256 + red;
}

void SetForeColour(int32_t colour) {
    OnCurrentSurface([&](Surface& surface) {
        if (colour != ColourUnchanged) {
            surface.ForeColour = colour == ColourDefault ? DefaultForeColour : colour & 0xFFFFFF;
        }
    });
}

void SetBackColour(int32_t colour) {
    OnCurrentSurface([&](Surface& surface) {
        if (colour == ColourUnchanged) {
            return;
        }
        if (colour == ColourNone) {
            surface.BackColour = ColourNone;
        } else {
            surface.BackColour = colour == ColourDefault ? DefaultBackColour : colour & 0xFFFFFF;
        }
    });
}

}  // namespace render
