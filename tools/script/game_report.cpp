// SPDX-License-Identifier: MIT
// The state, the colour tables and a frame's summary as zarpeta-script prints them.
#include "tools/script/game_report.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "game/cue.h"
#include "game/frame.h"
#include "game/headless_host.h"
#include "game/rules.h"
#include "game/shot.h"
#include "game/state.h"
#include "render/painters.h"
#include "render/surface.h"
#include "runtime/random.h"

namespace script {

namespace {

std::string Hex(int32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(colour) & 0xFFFFFFu);
    return text;
}

// Consecutive numbers as runs: "3 5-9 12".
void WriteRuns(std::ostream& out, const std::vector<int32_t>& numbers) {
    for (size_t i = 0; i < numbers.size();) {
        size_t last = i;
        while (last + 1 < numbers.size() && numbers[last + 1] == numbers[last] + 1) {
            ++last;
        }
        out << (i == 0 ? "" : " ") << numbers[i];
        if (last > i) {
            out << '-' << numbers[last];
        }
        i = last + 1;
    }
}

void WriteDestroyed(std::ostream& out, const game::Game* shown) {
    out << "Destroyed";
    bool any = false;
    for (int32_t row = 1; shown != nullptr && shown->Grid && row <= game::RowCount; ++row) {
        std::vector<int32_t> columns;
        for (int32_t column = 1; column <= game::ColumnCount; ++column) {
            if (shown->Grid->Cell(row, column).Destroyed.load() != 0) {
                columns.push_back(column);
            }
        }
        if (!columns.empty()) {
            out << (any ? "; row " : " row ") << row << ": ";
            WriteRuns(out, columns);
            any = true;
        }
    }
    out << (any ? "\n" : " none\n");
}

// How many times the cues from at, period cues long, repeat one after another.
size_t Repeats(const std::vector<game::Cue>& cues, size_t at, size_t period) {
    size_t times = 1;
    while (at + (times + 1) * period <= cues.size() &&
           std::equal(cues.begin() + at, cues.begin() + at + period,
                      cues.begin() + at + times * period)) {
        ++times;
    }
    return times;
}

// A cue repeated as "#212 x3", a pair of cues repeated as "(#212 #210) x100".
void WriteCues(std::ostream& out, const game::HeadlessRecord& record) {
    const std::vector<game::Cue>& cues = record.Cues;
    out << "Cues";
    // Only a run that played more cues than the record lists says how many there were.
    if (record.CuesPlayed > static_cast<int64_t>(cues.size())) {
        out << ' ' << record.CuesPlayed << " played, the last " << cues.size() << ':';
    }
    for (size_t at = 0; at < cues.size();) {
        const size_t ones = Repeats(cues, at, 1);
        const size_t pairs =
            at + 1 < cues.size() && cues[at] != cues[at + 1] ? Repeats(cues, at, 2) : 1;
        if (pairs > 1 && 2 * pairs > ones) {
            out << " (" << game::CueName(cues[at]) << ' ' << game::CueName(cues[at + 1]) << ") x"
                << pairs;
            at += 2 * pairs;
            continue;
        }
        out << ' ' << game::CueName(cues[at]);
        if (ones > 1) {
            out << " x" << ones;
        }
        at += ones;
    }
    out << (cues.empty() ? " none\n" : "\n");
}

// A shot's face colours, as a frame's pixels.
constexpr uint32_t Red = render::PixelOf(render::ColourRed);
constexpr uint32_t Orange = render::PixelOf(render::ColourOrange);

// The shots' places in a frame, at any scale: each shot's face is a red ring around
// orange, and nothing else on the play area draws those colours side by side. A row
// that crosses it whole, red, orange, red, bounded by neither, gives the face's device
// columns, and its middle column, walked up, the face's top; the place is the logical
// one whose face has those device edges.
struct FramePixels {
    const std::vector<uint32_t>& Pixels;
    int32_t Width, Height;
    render::Scale Scale;

    uint32_t At(int32_t x, int32_t y) const {
        return Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
    }
    // The end of the run of word from x on the row, or x when it does not start there.
    int32_t RunEnd(int32_t x, int32_t y, uint32_t word) const {
        while (x < Width && At(x, y) == word) {
            ++x;
        }
        return x;
    }
    // The logical edge near device whose face edge (the edge less its outline's line,
    // moved by lines) lies there; INT32_MIN for none.
    int32_t LogicalEdge(int32_t device, int32_t lines) const {
        const int32_t near = static_cast<int32_t>(int64_t{device} * Scale.Den / Scale.Num);
        for (int32_t edge = near - 3; edge <= near + 3; ++edge) {
            if (render::ToDevice(edge, Scale) + int64_t{lines} * render::LineWidth(Scale) ==
                device) {
                return edge;
            }
        }
        return INT32_MIN;
    }
    // The device row below the face of a shot whose face's top is at y.
    int32_t FaceBottom(int32_t y) const {
        const int64_t bottom =
            render::ToDevice(y + render::ShotArea(0, 0).Bottom, Scale) - render::LineWidth(Scale);
        return static_cast<int32_t>(std::min<int64_t>(bottom, Height));
    }
    // Whether the row holds a face from left to end, red at both ends and neither
    // red nor orange beside: a row through a corner starts further in.
    bool CrossesWhole(int32_t left, int32_t end, int32_t y) const {
        const auto neither = [&](int32_t x) {
            return x < 0 || x >= Width || (At(x, y) != Red && At(x, y) != Orange);
        };
        return y >= 0 && y < Height && At(left, y) == Red && At(end - 1, y) == Red &&
               neither(left - 1) && neither(end);
    }
};

std::set<std::pair<int32_t, int32_t>> ShotPlaces(const FramePixels& frame) {
    std::set<std::pair<int32_t, int32_t>> places;  // (y, x): row by row, as at 1x
    for (int32_t y = 0; y < frame.Height; ++y) {
        for (int32_t x = 0; x < frame.Width; ++x) {
            const int32_t inside = frame.RunEnd(x, y, Red);
            const int32_t right = frame.RunEnd(inside, y, Orange);
            const int32_t end = frame.RunEnd(right, y, Red);
            if (inside == x || right == inside || end == right || !frame.CrossesWhole(x, end, y)) {
                continue;
            }
            // The face box is (x - 1, y - 1)-(x + 7, y + 5) set in by a line.
            const int32_t left = frame.LogicalEdge(x, 1);
            int32_t top = y, middle = (x + end) / 2;
            while (top > 0 && frame.At(middle, top - 1) == Orange) {
                --top;
            }
            while (top > 0 && frame.At(middle, top - 1) == Red) {
                --top;
            }
            const int32_t upper = frame.LogicalEdge(top, 1);
            if (left != INT32_MIN && upper != INT32_MIN &&
                frame.LogicalEdge(end, -1) == left + 1 + render::ShotArea(0, 0).Right &&
                frame.CrossesWhole(x, end, (top + frame.FaceBottom(upper + 1)) / 2)) {
                places.insert({upper + 1, left + 1});
            }
            x = end - 1;
        }
    }
    return places;
}

// Whether any pixel inside the cell's outline still has its block's colour.
bool BlockShows(const std::vector<uint32_t>& pixels, int32_t width, int32_t height,
                const game::BlockCell& cell, render::Scale scale) {
    const uint32_t colour = render::PixelOf(cell.Colour);
    const render::Rect inside = render::ToDevice(
        render::Rect{cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1}, scale);
    for (int32_t y = inside.Top; y < inside.Bottom && y < height; ++y) {
        for (int32_t x = inside.Left; x < inside.Right && x < width; ++x) {
            if (pixels[static_cast<size_t>(y) * width + x] == colour) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

void WriteGameState(std::ostream& out) {
    const std::shared_ptr<game::Game> current = game::CurrentGame();
    static const game::Game none;  // before the first game: every count 0
    const game::GameState& state = (current ? *current : none).State;
    const game::HeadlessRecord record = game::HeadlessSnapshot();
    out << "BlocksDestroyed " << state.BlocksDestroyed.load() << "  BarOffset "
        << state.BarOffset.load() << "  BarDirection " << state.BarDirection.load() << "  BarLevel "
        << state.BarLevel.load() << "  AimY " << state.AimY.load() << "  ShotCount "
        << state.ShotCount.load() << "  ShotsInFlight " << game::ShotsInFlight.load() << "  Nuevo "
        << (record.NewEnabled ? "on" : "off") << '\n';
    WriteDestroyed(out, current.get());
    WriteCues(out, record);
    out << "FramesPresented " << record.FramesPresented << "  RandomState " << runtime::RandomState
        << '\n';
}

void WriteColourTables(std::ostream& out) {
    const std::shared_ptr<game::Game> current = game::CurrentGame();
    if (!current || !current->Grid || !current->Colours) {
        out << "no game: no colour tables\n";
        return;
    }
    for (int32_t row = 1; row <= game::RowCount; ++row) {
        out << "Colours row " << row << ':';
        for (int32_t column = 1; column <= game::ColumnCount; ++column) {
            out << ' ' << Hex(current->Grid->Cell(row, column).Colour);
        }
        out << '\n';
    }
    for (int32_t index = 0; index < game::ColourCount; ++index) {
        if (index % 10 == 0) {
            out << (index == 0 ? "" : "\n") << "ColourTable " << index << ':';
        }
        out << ' ' << Hex(current->Colours->At(index));
    }
    out << '\n';
}

void WriteFrameSummary(std::ostream& out, std::string_view name) {
    std::vector<uint32_t> pixels;
    int32_t width = 0, height = 0;
    if (!render::ReadPixels(game::HeadlessWindow, game::HeadlessControl, pixels, width, height)) {
        return;
    }
    const render::Scale scale = game::DeviceScale();
    out << "frame " << name << ": shots";
    bool any = false;
    for (const auto& [y, x] : ShotPlaces({pixels, width, height, scale})) {
        out << " (" << x << ", " << y << ')';
        any = true;
    }
    out << (any ? "" : " none");
    const std::shared_ptr<game::Game> current = game::CurrentGame();
    if (current && current->Grid) {
        out << "; blocks by row";
        for (int32_t row = 1; row <= game::RowCount; ++row) {
            int32_t shown = 0;
            for (int32_t column = 1; column <= game::ColumnCount; ++column) {
                shown += BlockShows(pixels, width, height, current->Grid->Cell(row, column), scale)
                             ? 1
                             : 0;
            }
            out << ' ' << shown;
        }
    }
    out << '\n';
}

}  // namespace script
