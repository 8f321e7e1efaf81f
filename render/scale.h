// SPDX-License-Identifier: MIT
// The device scale of a surface: how many device pixels one logical pixel covers, as
// an exact ratio of integers, and how logical edges and lines become device pixels.
//
// Owns: no state; plain values and pure functions, callable from any thread.
#pragma once

#include <cstdint>

#include "render/rect.h"

namespace render {

constexpr int32_t MaxScaleTerm = 16;  // largest numerator or denominator

// Num / Den device pixels per logical pixel, in lowest terms: 1/1 is exactly the
// identity, 5/4 a quarter more, 4/5 a fifth less.
struct Scale {
    int32_t Num = 1, Den = 1;
    bool operator==(const Scale&) const = default;
};

// num / den in lowest terms; {0, 0}, which no surface takes, when a term lies outside
// 1..MaxScaleTerm.
Scale MakeScale(int32_t num, int32_t den);
bool IsValid(Scale scale);  // what MakeScale gives for terms within range

// A logical edge as a device edge: floor(logical * Num / Den). Every edge of every
// figure goes through this one rule from its own coordinate, so two figures that share
// a logical edge share the device edge, and the device pixels of logical pixels
// 0..n-1 are 0..ToDevice(n)-1 with no gap and no overlap.
inline int64_t ToDevice(int64_t logical, Scale scale) {
    const int64_t scaled = logical * scale.Num;
    if (scale.Den == 1) {
        return scaled;  // a whole scale, 1x above all: no division on every drawing
    }
    const int64_t quotient = scaled / scale.Den;  // rounded towards zero: floor it
    return quotient * scale.Den > scaled ? quotient - 1 : quotient;
}
// Each edge on its own, saturated to 32 bits.
Rect ToDevice(Rect logical, Scale scale);

// The device width of a line one logical pixel wide: the scale rounded half up, at
// least 1 (1 at 4/5 and 5/4, 2 at 3/2 and 2, 3 at 3). One width for every line of a
// surface, wherever it lies, where the edges' rule alone would give lines of two widths.
int32_t LineWidth(Scale scale);

}  // namespace render
