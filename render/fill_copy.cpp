// SPDX-License-Identifier: MIT
// Fills and copies: ClearSurface and the fills the other units share, CopyBitmap and
// CopyBitmapAt. Every fill and copy keeps to what the calling thread may draw of its
// surface, and a control hears of what a copy covered. At a scale a kept rectangle and
// a copy's position are mapped edge by edge, and a copy moves device pixels one to one
// between surfaces of the same scale.
#include "render/fill_copy.h"

#include <algorithm>
#include <cstring>

#include "render/control.h"

namespace render {

namespace {

// ---- Internal helpers ----

// Stores count copies of word. The processor's string store writes whole cache lines
// as memset does, where a loop of word stores runs about half as fast; the sanitizer
// builds take the plain loop, whose stores they can see.
void StoreWords(uint32_t* pixels, size_t count, uint32_t word) {
#if defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    asm volatile("rep stosl" : "+D"(pixels), "+c"(count) : "a"(word) : "memory");
#else
    std::fill(pixels, pixels + count, word);
#endif
}

// Fills the rows of area with word, but for the pixels of kept.
void FillAreaLocked(Surface& surface, uint32_t word, Rect area, Rect kept) {
    kept = IntersectionOf(kept, area);
    for (int64_t row = area.Top; row < area.Bottom; ++row) {
        uint32_t* line = surface.Pixels.data() + row * surface.Width;
        if (row >= kept.Top && row < kept.Bottom) {
            std::fill(line + area.Left, line + kept.Left, word);
            std::fill(line + kept.Right, line + area.Right, word);
        } else {
            std::fill(line + area.Left, line + area.Right, word);
        }
    }
}

bool IsWhole(const Surface& surface, Rect area) {
    return area.Left == 0 && area.Top == 0 && area.Right == surface.Width &&
           area.Bottom == surface.Height;
}

// The part of within that a source of width x height placed at (x, y) covers; empty
// when nothing of it lies there.
Rect Covered(Rect within, int64_t x, int64_t y, int64_t width, int64_t height) {
    const auto clamped = [](int64_t value, int32_t low, int32_t high) {
        return static_cast<int32_t>(std::clamp<int64_t>(value, low, high));
    };
    const Rect placed{clamped(x, within.Left, within.Right), clamped(y, within.Top, within.Bottom),
                      clamped(x + width, within.Left, within.Right),
                      clamped(y + height, within.Top, within.Bottom)};
    return placed.IsEmpty() ? Rect{} : placed;
}

// Copies source onto surface with the source's top-left at (x, y), only within the
// rectangle, and marks what the copy covered. A surface copied onto itself moves its
// rows in a safe order.
void CopyLocked(Surface& surface, const Surface& source, int64_t x, int64_t y, int64_t width,
                int64_t height, Rect within) {
    const Rect area = Covered(within, x, y, width, height);
    if (area.IsEmpty()) {
        return;
    }
    const size_t bytes = static_cast<size_t>(area.Right - area.Left) * sizeof(uint32_t);
    const bool same = &surface == &source;
    const bool upwards = same && y > 0;  // rows move down: copy the bottom one first
    for (int64_t step = 0; step < area.Bottom - area.Top; ++step) {
        const int64_t row = upwards ? area.Bottom - 1 - step : area.Top + step;
        uint32_t* to = surface.Pixels.data() + row * surface.Width + area.Left;
        const uint32_t* from = source.Pixels.data() + (row - y) * source.Width + (area.Left - x);
        if (same) {
            std::memmove(to, from, bytes);
        } else {
            std::memcpy(to, from, bytes);
        }
    }
    MarkDeviceDirtyLocked(surface, area);
}

// Copies the source's top-left part that fits onto the surface's, within the rectangle.
void CopyCornerLocked(Surface& surface, const Surface& source, Rect within) {
    CopyLocked(surface, source, 0, 0, std::min(source.Width, surface.Width),
               std::min(source.Height, surface.Height), within);
}

// The source named, if it has the surface's scale; a source of another scale is
// refused rather than copied at the wrong size.
const Surface* SameScaleSourceLocked(const Surface& surface, SurfaceHandle source,
                                     int32_t sourceId) {
    const Surface* from = ResolveSurfaceLocked(source, sourceId);
    if (from != nullptr && from->DeviceScale != surface.DeviceScale) {
        RecordError(ErrorNotAtScale);
        return nullptr;
    }
    return from;
}

}  // namespace

// ---- Shared inside the layer ----

void FillLocked(Surface& surface, uint32_t word, Rect kept) {
    const Rect area = DeviceDrawableLocked(surface);
    kept = ToDevice(kept, surface.DeviceScale);
    if (!IsWhole(surface, area)) {
        FillAreaLocked(surface, word, area, kept);
        return;
    }
    const int64_t width = surface.Width;
    const int64_t keptTop = std::clamp<int64_t>(kept.Top, 0, surface.Height);
    const int64_t keptBottom = std::clamp<int64_t>(kept.Bottom, keptTop, surface.Height);
    const int64_t keptLeft = std::clamp<int64_t>(kept.Left, 0, width);
    const int64_t keptRight = std::clamp<int64_t>(kept.Right, keptLeft, width);
    uint32_t* pixels = surface.Pixels.data();
    if (keptLeft == keptRight || keptTop == keptBottom) {
        StoreWords(pixels, surface.Pixels.size(), word);
        return;
    }
    StoreWords(pixels, static_cast<size_t>(keptTop * width + keptLeft), word);
    for (int64_t row = keptTop; row < keptBottom; ++row) {
        // From the right of kept on this row to its left on the next: one run.
        const int64_t runStart = row * width + keptRight;
        const int64_t runEnd = row + 1 < keptBottom ? (row + 1) * width + keptLeft
                                                    : static_cast<int64_t>(surface.Pixels.size());
        StoreWords(pixels + runStart, static_cast<size_t>(runEnd - runStart), word);
    }
}

void FillRectLocked(Surface& surface, uint32_t word, Rect area) {
    FillAreaLocked(surface, word, area, Rect{});
}

// ---- Public functions ----

void ClearSurface(int32_t colour, Rect keep) {
    OnCurrentSurface([&](Surface& surface) {
        const int32_t fill = colour == ColourDefault ? surface.BackColour : colour;
        if (fill != ColourNone) {
            FillLocked(surface, PixelOf(fill), keep);
        }
        MarkDirtyLocked(surface, 0, 0, surface.LogicalWidth, surface.LogicalHeight);
        surface.X = 0;
        surface.Y = 0;
    });
}

void CopyBitmap(SurfaceHandle source, int32_t sourceId) {
    OnCurrentSurface([&](Surface& surface) {
        const Surface* from = SameScaleSourceLocked(surface, source, sourceId);
        if (from != nullptr) {
            CopyCornerLocked(surface, *from, DeviceDrawableLocked(surface));
        }
    });
}

void CopyBitmapAt(SurfaceHandle source, int32_t sourceId, float x, float y) {
    OnCurrentSurface([&](Surface& surface) {
        const Surface* from = SameScaleSourceLocked(surface, source, sourceId);
        if (from != nullptr) {
            const Scale scale = surface.DeviceScale;
            CopyLocked(surface, *from, ToDevice(ToPixel(x), scale), ToDevice(ToPixel(y), scale),
                       from->Width, from->Height, DeviceDrawableLocked(surface));
        }
    });
}

}  // namespace render
