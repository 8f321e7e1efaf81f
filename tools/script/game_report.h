// SPDX-License-Identifier: MIT
// What the game commands of zarpeta-script print, written for a reader of a diff: one
// fact to a line, the same facts in the same order every time.
//
// Owns: nothing; reads the game being played and the headless host's record.
// Threads: the tool's main thread, while the game's workers are parked on the test clock.
#pragma once

#include <ostream>
#include <string_view>

namespace script {

// The game's counters, the destroyed blocks by row, the cues played (a run of one cue
// as "#212 x3"), the frames presented and the generator's state.
void WriteGameState(std::ostream& out);

// The wall's colours, row by row, and the colour table, ten entries a line: 0xBBGGRR
// values as six hexadecimal digits.
void WriteColourTables(std::ostream& out);

// One line on the frame the control shows, read from its pixels: where each shot's
// mark stands, and how many blocks of each row still show.
void WriteFrameSummary(std::ostream& out, std::string_view name);

}  // namespace script
