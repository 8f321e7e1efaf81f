// SPDX-License-Identifier: MIT
// The sound cues the game plays, and the one table that says what each one is.
//
// Owns: the cue ids and CueTable. Constants only: read from any thread, no lock.
//
// A row gives a cue's name, as the records of the game print it ("#210": its resource
// number), and the sound file the build synthesises for it: tools/cues/main.cpp writes
// the file, shell/ embeds it and plays it. The build learns the file names from
// tools/facts, so adding a cue is a row here and a synthesiser in tools/cues/main.cpp.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace game {

enum Cue : uint8_t { CueBlockHit, CueBarHit, CueShot };

struct CueRow {
    Cue Id;
    std::string_view Name;  // "#" and the resource number
    std::string_view File;  // the synthesised sound, 16-bit mono PCM at 44,100 Hz
};

// In the order of Cue.
constexpr CueRow CueTable[] = {
    {CueBlockHit, "#210", "210.wav"},  // a shot destroys a block
    {CueBarHit, "#211", "211.wav"},    // a shot meets the bar
    {CueShot, "#212", "212.wav"},      // a shot starts
};
constexpr int32_t CueCount = std::size(CueTable);

static_assert(std::ranges::all_of(CueTable,
                                  [](const CueRow& row) { return row.Id == &row - CueTable; }),
              "CueTable lists the cues in the order of Cue");

// The cue's name as records and scripts print it: "#210", "#211", "#212".
constexpr std::string_view CueName(Cue cue) {
    return CueTable[cue].Name;
}

}  // namespace game
