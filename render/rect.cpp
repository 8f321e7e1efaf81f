// SPDX-License-Identifier: MIT
// Rectangles, the list of changed parts, and coordinates rounded to pixels.
#include "render/rect.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace render {

namespace {

// ---- Internal helpers ----

int64_t AreaOf(Rect rect) {
    return rect.IsEmpty() ? 0
                          : static_cast<int64_t>(rect.Right - rect.Left) * (rect.Bottom - rect.Top);
}

}  // namespace

// ---- Public functions ----

Rect UnionOf(Rect a, Rect b) {
    if (a.IsEmpty()) {
        return b;
    }
    if (b.IsEmpty()) {
        return a;
    }
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
}

Rect IntersectionOf(Rect a, Rect b) {
    const Rect both{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                    std::min(a.Bottom, b.Bottom)};
    return both.IsEmpty() ? Rect{} : both;
}

void AddDamage(DamageList& damage, Rect rect) {
    if (rect.IsEmpty()) {
        return;
    }
    // The entries the new rectangle covers go; it may cover the list whole.
    const auto held = damage.Rects.begin();
    const auto kept = std::remove_if(held, held + damage.Count,
                                     [&](Rect entry) { return UnionOf(entry, rect) == rect; });
    damage.Count = static_cast<int32_t>(kept - held);
    int64_t leastGrowth = INT64_MAX;
    Rect* nearest = nullptr;
    for (Rect* entry = held; entry != kept; ++entry) {
        const int64_t growth = AreaOf(UnionOf(*entry, rect)) - AreaOf(*entry);
        if (growth < leastGrowth) {
            leastGrowth = growth;
            nearest = entry;
        }
    }
    if (leastGrowth == 0) {
        return;  // already covered
    }
    if (damage.Count < DamageList::Capacity) {
        damage.Rects[static_cast<size_t>(damage.Count++)] = rect;
        return;
    }
    *nearest = UnionOf(*nearest, rect);
}

int32_t ToPixel(float coordinate) {
    if (std::isnan(coordinate)) {
        return 0;
    }
    const double rounded = RoundHalfEven(static_cast<double>(coordinate));
    if (rounded >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (rounded <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(rounded);
}

double RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) {
        return floor + 1.0;
    }
    return floor;
}

}  // namespace render
