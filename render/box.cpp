// SPDX-License-Identifier: MIT
// Boxes: the 1-line-pen rectangle and rounded rectangle, filled or not, clipped to
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
//
// At a scale the figure keeps its edges' rule and its lines' width:
//   - at a whole scale k the figure above is drawn with each pixel a k x k block;
//   - at any other scale it is drawn on the device box itself, its corner ellipse the
//     same share of the device box, and its pen a ring one line wide: the device box
//     less the fill of the same figure set in by the line width less one.
// Either way an edge moved by a line (LineShift) moves by one line width.
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

// A rounded rectangle at one pixel per unit: columns L..R-1, rows T..B-1, its corners
// quarters of an Ew x Eh ellipse, walked into Quarter when Rounded.
struct RoundRect {
    int64_t L = 0, T = 0, R = 0, B = 0, Ew = 0, Eh = 0;
    bool Rounded = false;
    const std::vector<QuarterRun>* Quarter = nullptr;
};

// One row of a figure, columns inclusive: its extent, and the fill within it (none
// when FillFirst > FillLast); the pen is the extent less the fill.
struct RowRuns {
    int64_t First, Last, FillFirst, FillLast;
};

// ---- Module state (under SurfaceLock) ----

// The quarters of the last walks, row y at index y - h / 2, for a figure and for the
// figure set in that gives a ring its inside. Kept to avoid allocating.
std::vector<QuarterRun>& QuarterRows(int which) {
    static auto* rows = new std::vector<QuarterRun>[2];  // outlives exit
    return rows[which];
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

// The figure of the ordered box (l, t, r, b), not empty, its ellipse clamped to the box.
RoundRect MakeRoundRect(int64_t l, int64_t t, int64_t r, int64_t b, int64_t ew, int64_t eh,
                        std::vector<QuarterRun>& quarter) {
    RoundRect figure{l, t, r, b, std::min(r - l, ew), std::min(b - t, eh), false, &quarter};
    figure.Rounded = figure.Ew > 2 && figure.Eh > 2;
    if (figure.Rounded) {
        WalkQuarter(figure.Ew, figure.Eh, quarter);
    }
    return figure;
}

[[gnu::always_inline]] inline RowSpans SpansOfRow(const RoundRect& f, int64_t row) {
    RowSpans spans{f.L, f.L, f.R - 1, f.R - 1, row == f.T || row == f.B - 1};
    if (!f.Rounded) {
        return spans;
    }
    const int64_t zoneTop = f.B - f.Eh + f.Eh / 2;             // first row of the bottom corners
    const int64_t below = std::max(row, f.T + f.B - 1 - row);  // the row or its mirror below
    if (below < zoneTop) {
        return spans;
    }
    const QuarterRun& run = (*f.Quarter)[static_cast<size_t>(below - zoneTop)];
    spans.RightFirst = f.R - f.Ew + run.First;
    spans.RightLast = f.R - f.Ew + run.Last;
    spans.LeftFirst = f.L + f.Ew - 1 - run.Last;
    spans.LeftLast = f.L + f.Ew - 1 - run.First;
    return spans;
}

// Inlined: a box's cost is its rows, and a call per row costs a third of a small box.
[[gnu::always_inline]] inline RowRuns RunsOfRow(const RoundRect& figure, int64_t row) {
    const RowSpans spans = SpansOfRow(figure, row);
    if (spans.AllPen) {
        return {spans.LeftFirst, spans.RightLast, 1, 0};
    }
    return {spans.LeftFirst, spans.RightLast, spans.LeftLast + 1, spans.RightFirst - 1};
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

// One row of a figure: its fill, then its pen. fill or pen may be null for "not painted".
void PaintRow(Surface& surface, const Rect& area, int64_t row, RowRuns runs, const uint32_t* pen,
              const uint32_t* fill) {
    if (runs.FillFirst > runs.FillLast) {
        if (pen != nullptr) {
            FillRun(surface, area, row, runs.First, runs.Last, *pen);
        }
        return;
    }
    if (fill != nullptr) {
        FillRun(surface, area, row, runs.FillFirst, runs.FillLast, *fill);
    }
    if (pen != nullptr) {
        FillRun(surface, area, row, runs.First, runs.FillFirst - 1, *pen);
        FillRun(surface, area, row, runs.FillLast + 1, runs.Last, *pen);
    }
}

int64_t WithinReach(int64_t pixel) {
    return std::clamp<int64_t>(pixel, -BoxReach, BoxReach);
}

// A box's edges, and the paints of its pen and fill (null: not painted).
struct BoxPlan {
    int64_t Left, Top, Right, Bottom;
    int64_t CornerPercent;
    const uint32_t* Pen;
    const uint32_t* Fill;
};

// The box at a whole scale k: the figure of its logical edges, each pixel k x k.
void DrawBlownLocked(Surface& surface, const BoxPlan& box, int64_t k) {
    const int64_t ellipse =
        box.CornerPercent * std::min(box.Right - box.Left, box.Bottom - box.Top) / 100;
    const RoundRect figure =
        MakeRoundRect(box.Left, box.Top, box.Right, box.Bottom, ellipse, ellipse, QuarterRows(0));
    const Rect area = DeviceDrawableLocked(surface);
    const int64_t endRow = std::min<int64_t>(k * box.Bottom, area.Bottom);
    for (int64_t row = std::max<int64_t>(k * box.Top, area.Top); row < endRow; ++row) {
        if (k == 1) {  // 1x, the common case, without the blocks' arithmetic
            PaintRow(surface, area, row, RunsOfRow(figure, row), box.Pen, box.Fill);
            continue;
        }
        const RowRuns runs = RunsOfRow(figure, row / k);  // row >= 0
        PaintRow(
            surface, area, row,
            {k * runs.First, k * runs.Last + k - 1, k * runs.FillFirst, k * runs.FillLast + k - 1},
            box.Pen, box.Fill);
    }
}

// The box on its device edges, its pen a ring `line` pixels wide.
void DrawRingedLocked(Surface& surface, const BoxPlan& box, int64_t line) {
    const int64_t l = box.Left, t = box.Top, r = box.Right, b = box.Bottom;
    const int64_t ellipse = box.CornerPercent * std::min(r - l, b - t) / 100;
    const RoundRect outer = MakeRoundRect(l, t, r, b, ellipse, ellipse, QuarterRows(0));
    const int64_t in = line - 1;
    const bool hollow = r - l > 2 * in && b - t > 2 * in;  // else all pen
    const RoundRect inner = hollow ? MakeRoundRect(l + in, t + in, r - in, b - in, ellipse - 2 * in,
                                                   ellipse - 2 * in, QuarterRows(1))
                                   : RoundRect{};
    const Rect area = DeviceDrawableLocked(surface);
    const int64_t endRow = std::min<int64_t>(b, area.Bottom);
    for (int64_t row = std::max<int64_t>(t, area.Top); row < endRow; ++row) {
        RowRuns runs = RunsOfRow(outer, row);
        if (row >= inner.T && row < inner.B) {
            const RowRuns inside = RunsOfRow(inner, row);
            runs.FillFirst = std::max(inside.FillFirst, runs.First);
            runs.FillLast = std::min(inside.FillLast, runs.Last);
        } else {
            runs.FillFirst = 1;
            runs.FillLast = 0;
        }
        PaintRow(surface, area, row, runs, box.Pen, box.Fill);
    }
}

void Order(BoxPlan& box) {
    if (box.Right < box.Left) {
        std::swap(box.Left, box.Right);
    }
    if (box.Bottom < box.Top) {
        std::swap(box.Top, box.Bottom);
    }
}

// The box on the device at a scale that is not whole: each edge on its own coordinate's
// device edge, moved by whole lines.
void DrawPlacedLocked(Surface& surface, BoxPlan box, const Rect& edges, LineShift shift) {
    const Scale scale = surface.DeviceScale;
    const int64_t line = LineWidth(scale);
    const auto placed = [&](int32_t edge, int32_t lines) {
        return WithinReach(ToDevice(edge, scale) + int64_t{lines} * line);
    };
    box.Left = placed(edges.Left, shift.Left);
    box.Top = placed(edges.Top, shift.Top);
    box.Right = placed(edges.Right, shift.Right);
    box.Bottom = placed(edges.Bottom, shift.Bottom);
    Order(box);
    if (box.Right > box.Left && box.Bottom > box.Top) {
        DrawRingedLocked(surface, box, line);
    }
}

// The box with its edges moved by shift, on the surface's device pixels.
void DrawBoxLocked(Surface& surface, Rect edges, LineShift shift, int32_t cornerPercent,
                   int32_t outline, int32_t fill) {
    const auto reached = [](int32_t edge) { return static_cast<int32_t>(WithinReach(edge)); };
    edges = {reached(edges.Left), reached(edges.Top), reached(edges.Right), reached(edges.Bottom)};
    const auto moved = [](int32_t edge, int32_t lines) {
        return WithinReach(int64_t{edge} + lines);
    };
    const int32_t penColour = outline == ColourDefault ? surface.ForeColour : outline;
    const int32_t fillColour = fill == ColourDefault ? penColour : fill;
    const uint32_t penWord = PixelOf(penColour), fillWord = PixelOf(fillColour);
    BoxPlan box{moved(edges.Left, shift.Left),
                moved(edges.Top, shift.Top),
                moved(edges.Right, shift.Right),
                moved(edges.Bottom, shift.Bottom),
                std::clamp(cornerPercent, 0, 100),
                penColour == ColourNone ? nullptr : &penWord,
                fillColour == ColourNone ? nullptr : &fillWord};
    Order(box);
    const int64_t width = box.Right - box.Left, height = box.Bottom - box.Top;
    MarkDirtyLocked(surface, box.Left - 1, box.Top - 1, box.Right + 1, box.Bottom + 1);
    if (width <= 0 || height <= 0 || (width == 1 && height == 1)) {
        return;  // a 1 x 1 box: four pen segments of no length
    }
    if (surface.DeviceScale.Den == 1) {
        DrawBlownLocked(surface, box, surface.DeviceScale.Num);
    } else {
        DrawPlacedLocked(surface, box, edges, shift);
    }
}

}  // namespace

// ---- Public functions ----

void DrawBox(float x1, float y1, float x2, float y2, int32_t cornerPercent, int32_t outline,
             int32_t fill) {
    OnCurrentSurface([&](Surface& surface) {
        DrawBoxLocked(surface, {ToPixel(x1), ToPixel(y1), ToPixel(x2), ToPixel(y2)}, LineShift{},
                      cornerPercent, outline, fill);
    });
}

void DrawBoxShifted(Rect box, LineShift shift, int32_t cornerPercent, int32_t outline,
                    int32_t fill) {
    OnCurrentSurface([&](Surface& surface) {
        DrawBoxLocked(surface, box, shift, cornerPercent, outline, fill);
    });
}

}  // namespace render
