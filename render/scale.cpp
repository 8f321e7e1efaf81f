// SPDX-License-Identifier: MIT
// Device scales: exact ratios, edges and line widths.
#include "render/scale.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace render {

namespace {

// ---- Internal helpers ----

int32_t Saturated(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

// ---- Public functions ----

Scale MakeScale(int32_t num, int32_t den) {
    if (num < 1 || num > MaxScaleTerm || den < 1 || den > MaxScaleTerm) {
        return {0, 0};
    }
    const int32_t common = std::gcd(num, den);
    return {num / common, den / common};
}

bool IsValid(Scale scale) {
    return scale.Num >= 1 && scale == MakeScale(scale.Num, scale.Den);
}

Rect ToDevice(Rect logical, Scale scale) {
    return {Saturated(ToDevice(logical.Left, scale)), Saturated(ToDevice(logical.Top, scale)),
            Saturated(ToDevice(logical.Right, scale)), Saturated(ToDevice(logical.Bottom, scale))};
}

int32_t LineWidth(Scale scale) {
    return std::max(1, (2 * scale.Num + scale.Den) / (2 * scale.Den));
}

}  // namespace render
