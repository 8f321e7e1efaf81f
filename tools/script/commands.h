// SPDX-License-Identifier: MIT
// The commands of zarpeta-script and the session they share.
//
// Owns: the names a script gives its bitmaps and fonts, and the tables of commands
// (drawing operations, painters). Each table is a list of small functions; the tool
// runs the union of them.
// Threads: the tool's main thread only; every drawing goes to its current surface.
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <span>
#include <string>

#include "render/surface.h"
#include "tools/script/script_parser.h"

namespace script {

struct Session {
    std::map<std::string, render::SurfaceHandle, std::less<>> Bitmaps;  // by script name
    std::map<std::string, render::FontHandle, std::less<>> Fonts;       // by script name
    std::ostream* Out = nullptr;                                        // where metrics go
};

// The drawing operations: bitmap, attach, clear, fore, back, box, pos, text, endline,
// font, usefont, copy, copyat, png, metrics.
std::span<const Command> DrawCommands();
// The painters: paint bar|block|erase|shot|launcher|blank|score|gameover|win|caption.
std::span<const Command> PaintCommands();
// The game, headless: seed, new, move, click, tick, frame, layer, state.
std::span<const Command> GameCommands();

// Puts the game on the test clock and the headless shell, before the first line runs.
void StartHeadlessGame();

// The bitmap a script named; false with an error naming it when there is none.
bool FindBitmap(const Session& session, std::string_view name, render::SurfaceHandle& bitmap,
                std::string& error);

}  // namespace script
