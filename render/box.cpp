// SPDX-License-Identifier: MIT
// Boxes: the 1-pixel-pen rectangle and rounded rectangle, filled or not, clipped to
// the surface. Called with SurfaceLock held (DrawBox takes it).
//
// The rounded rectangle is drawn row by row. One quarter of the w x h corner ellipse
// is walked once (an integer midpoint walk); each of its rows gives a run of pen
// pixels on the right side of the bottom half, which mirrors left-right and top-bottom:
//
//            l                 r-1
//     t      . . # # # # # # . .        top row: one pen run, left corner to right
//            . # . . . . . . # .        corner rows: the quarter's run on the right,
//            # . . . . . . . . #          its mirror on the left, fill between
//            # . . . . . . . . #        side rows: pen at l and r-1, fill between
//            . # . . . . . . # .
//     b-1    . . # # # # # # . .        bottom row: like the top row
//
// With square corners (ellipse 2 or less) every row is a side row but the first and
// the last. Nothing is ever painted at column r or row b.
#include <algorithm>
#include <limits>
#include <vector>

#include "render/control.h"

namespace render {

namespace {

// ---- Constants ----

// Box coordinates are brought within this distance of the origin first. It lies far
// beyond any surface, so visible figures keep their shape, and it keeps the corner
// walk short and its arithmetic within 64 bits.
constexpr int64_t BoxReach = int64_t{1} << 16;

// ---- Types ----

// The pen of one row of the quarter, x relative to the quarter's box.
struct QuarterRun {
    int64_t First = std::numeric_limits<int64_t>::max();
    int64_t Last = std::numeric_limits<int64_t>::min();
};

// The pen and fill of one row of a box, absolute columns, inclusive.
struct RowSpans {
    int64_t LeftFirst, LeftLast, RightFirst, RightLast;
    bool AllPen;  // the top or bottom row
};

// ---- Module state (under SurfaceLock) ----

// The quarter of the last walk, row y at index y - h / 2. Kept to avoid allocating.
std::vector<QuarterRun>& QuarterRows() {
    static std::vector<QuarterRun>* rows = new std::vector<QuarterRun>;  // outlives exit
    return *rows;
}

// ---- Internal helpers ----

// Walks the bottom-right quarter of a w x h ellipse (w, h > 2) from the middle of its
// right edge to its bottom centre, recording each row's pen run.
void WalkQuarter(int64_t w, int64_t h, std::vector<QuarterRun>& rows) {
    const int64_t a = w - 1, b = h - 1;
    const int64_t q = b % 2;
    const int64_t sa = 8 * a * a, sb = 8 * b * b;
    int64_t dx = 4 * b * b * (1 - a), dy = 4 * a * a * (1 + q);
    int64_t err = dx + dy + a * a * q;
    int64_t x = a, y = h / 2;
    rows.assign(static_cast<size_t>(h - h / 2), QuarterRun{});
    while (x >= w / 2 && y < h) {
        QuarterRun& run = rows[static_cast<size_t>(y - h / 2)];
        run.First = std::min(run.First, x);
        run.Last = std::max(run.Last, x);
        const int64_t e2 = 2 * err;
        if (e2 >= dx) {
            x -= 1;
            dx += sb;
            err += dx;
        }
        if (e2 <= dy) {
            y += 1;
            dy += sa;
            err += dy;
        }
    }
    // A row the walk stepped over keeps the run above it, so the outline stays closed.
    for (size_t row = 1; row < rows.size(); ++row) {
        if (rows[row].First > rows[row].Last) {
            rows[row] = rows[row - 1];
        }
    }
}

RowSpans SpansOfRow(int64_t row, int64_t l, int64_t t, int64_t r, int64_t b, int64_t ew, int64_t eh,
                    bool rounded) {
    RowSpans spans{l, l, r - 1, r - 1, row == t || row == b - 1};
    if (!rounded) {
        return spans;
    }
    const int64_t zoneTop = b - eh + eh / 2;               // first row of the bottom corners
    const int64_t below = std::max(row, t + b - 1 - row);  // the row or its mirror below
    if (below < zoneTop) {
        return spans;
    }
    const QuarterRun& run = QuarterRows()[static_cast<size_t>(below - zoneTop)];
    spans.RightFirst = r - ew + run.First;
    spans.RightLast = r - ew + run.Last;
    spans.LeftFirst = l + ew - 1 - run.Last;
    spans.LeftLast = l + ew - 1 - run.First;
    return spans;
}

// Columns first..last of row, within the columns of area.
void FillRun(Surface& surface, const Rect& area, int64_t row, int64_t first, int64_t last,
             uint32_t word) {
    first = std::max<int64_t>(first, area.Left);
    last = std::min<int64_t>(last, area.Right - 1);
    if (first > last) {
        return;
    }
    uint32_t* start = surface.Pixels.data() + row * surface.Width + first;
    std::fill(start, start + (last - first + 1), word);
}

int64_t WithinReach(int32_t pixel) {
    return std::clamp<int64_t>(pixel, -BoxReach, BoxReach);
}

// The rounded rectangle covering columns l..r-1 and rows t..b-1 (ordered, empty or
// not), its corners quarters of an ew x eh ellipse; clipped to what the thread may draw.
// fill or pen may be null for "not painted".
void DrawRoundRectLocked(Surface& surface, int64_t l, int64_t t, int64_t r, int64_t b, int64_t ew,
                         int64_t eh, const uint32_t* pen, const uint32_t* fill) {
    const int64_t width = r - l, height = b - t;
    if (width <= 0 || height <= 0 || (width == 1 && height == 1)) {
        return;  // a 1 x 1 box: four pen segments of no length
    }
    ew = std::min(width, ew);
    eh = std::min(height, eh);
    const bool rounded = ew > 2 && eh > 2;
    if (rounded) {
        WalkQuarter(ew, eh, QuarterRows());
    }
    const Rect area = DrawableLocked(surface);
    const int64_t firstRow = std::max<int64_t>(t, area.Top);
    const int64_t endRow = std::min<int64_t>(b, area.Bottom);
    for (int64_t row = firstRow; row < endRow; ++row) {
        const RowSpans spans = SpansOfRow(row, l, t, r, b, ew, eh, rounded);
        if (spans.AllPen) {
            if (pen != nullptr) {
                FillRun(surface, area, row, spans.LeftFirst, spans.RightLast, *pen);
            }
            continue;
        }
        if (fill != nullptr) {
            FillRun(surface, area, row, spans.LeftLast + 1, spans.RightFirst - 1, *fill);
        }
        if (pen != nullptr) {
            FillRun(surface, area, row, spans.LeftFirst, spans.LeftLast, *pen);
            FillRun(surface, area, row, spans.RightFirst, spans.RightLast, *pen);
        }
    }
}

}  // namespace

// ---- Public functions ----

void DrawBox(float x1, float y1, float x2, float y2, int32_t cornerPercent, int32_t outline,
             int32_t fill) {
    OnCurrentSurface([&](Surface& surface) {
        int64_t left = WithinReach(ToPixel(x1)), top = WithinReach(ToPixel(y1));
        int64_t right = WithinReach(ToPixel(x2)), bottom = WithinReach(ToPixel(y2));
        if (right < left) {
            std::swap(left, right);
        }
        if (bottom < top) {
            std::swap(top, bottom);
        }
        const int32_t penColour = outline == ColourDefault ? surface.ForeColour : outline;
        const int32_t fillColour = fill == ColourDefault ? penColour : fill;
        const uint32_t penWord = PixelOf(penColour), fillWord = PixelOf(fillColour);
        const int64_t corner = std::clamp(cornerPercent, 0, 100);
        const int64_t ellipse = corner * std::min(right - left, bottom - top) / 100;
        DrawRoundRectLocked(surface, left, top, right, bottom, ellipse, ellipse,
                            penColour == ColourNone ? nullptr : &penWord,
                            fillColour == ColourNone ? nullptr : &fillWord);
        MarkDirtyLocked(surface, left - 1, top - 1, right + 1, bottom + 1);
    });
}

}  // namespace render
