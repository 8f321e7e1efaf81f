// SPDX-License-Identifier: MIT
// The state, the colour tables and a frame's summary as zarpeta-script prints them.
#include "tools/script/game_report.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "game/cue.h"
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

// The shot's face, two rows of red, four orange, red, sits one row below its upper-left
// corner: nothing else on the play area draws those colours side by side.
bool ShotFaceAt(const std::vector<uint32_t>& pixels, int32_t width, int32_t x, int32_t y) {
    static const uint32_t red = render::PixelOf(render::ColourRed);
    static const uint32_t orange = render::PixelOf(render::ColourOrange);
    for (int32_t row = y; row < y + 2; ++row) {
        const uint32_t* at = &pixels[static_cast<size_t>(row) * width + x];
        if (at[0] != red || at[5] != red || at[1] != orange || at[2] != orange || at[3] != orange ||
            at[4] != orange) {
            return false;
        }
    }
    return true;
}

// Whether any pixel inside the cell's outline still has its block's colour.
bool BlockShows(const std::vector<uint32_t>& pixels, int32_t width, int32_t height,
                const game::BlockCell& cell) {
    const uint32_t colour = render::PixelOf(cell.Colour);
    for (int32_t y = cell.Top + 1; y < cell.Bottom - 1 && y < height; ++y) {
        for (int32_t x = cell.Left + 1; x < cell.Right - 1 && x < width; ++x) {
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
    out << "frame " << name << ": shots";
    bool any = false;
    for (int32_t y = 1; y + 1 < height; ++y) {
        for (int32_t x = 0; x + 6 <= width; ++x) {
            if (ShotFaceAt(pixels, width, x, y)) {
                out << " (" << x << ", " << y - 1 << ')';
                any = true;
            }
        }
    }
    out << (any ? "" : " none");
    const std::shared_ptr<game::Game> current = game::CurrentGame();
    if (current && current->Grid) {
        out << "; blocks by row";
        for (int32_t row = 1; row <= game::RowCount; ++row) {
            int32_t shown = 0;
            for (int32_t column = 1; column <= game::ColumnCount; ++column) {
                shown +=
                    BlockShows(pixels, width, height, current->Grid->Cell(row, column)) ? 1 : 0;
            }
            out << ' ' << shown;
        }
    }
    out << '\n';
}

}  // namespace script
