// SPDX-License-Identifier: MIT
// Pixel geometry: coordinates as pixels, rectangles of pixels, and the changed parts of
// a frame or of the graphic control as a short list of rectangles.
//
// Owns: no state; plain values and pure functions, callable from any thread.
#pragma once

#include <array>
#include <cstdint>

namespace render {

struct Rect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;  // Right and Bottom excluded
    bool IsEmpty() const { return Left >= Right || Top >= Bottom; }
    bool operator==(const Rect&) const = default;
};

// The smallest rectangle holding both; an empty one adds nothing.
Rect UnionOf(Rect a, Rect b);
// The part both cover (empty when they do not meet).
Rect IntersectionOf(Rect a, Rect b);

// The changed parts of a frame or of the control: a few rectangles, kept apart so that
// two changes far from each other do not stand for everything between them. When the
// list is full a new rectangle joins the one it grows least. Never allocates.
struct DamageList {
    static constexpr int32_t Capacity = 32;
    std::array<Rect, Capacity> Rects{};
    int32_t Count = 0;
};
void AddDamage(DamageList& damage, Rect rect);

// A float coordinate as a pixel: nearest, ties to even; NaN and overflow saturate.
int32_t ToPixel(float coordinate);
// Rounds half to even without relying on the floating-point environment.
double RoundHalfEven(double value);

}  // namespace render
