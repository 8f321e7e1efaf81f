// SPDX-License-Identifier: MIT
// The game's side of the menu commands and of the mouse over the play area.
//
// Threads: the user-interface thread only (or the one thread that drives a
// headless game).
#pragma once

#include <cstdint>

#include "game/layout.h"
#include "game/state.h"

namespace game {

// Every worker's stack.
constexpr int64_t WorkerStack = 0x100000;  // 1 MiB

// "Nuevo": greys "Nuevo", seeds the generator from the clock, makes a new game with
// fresh tables, wall, layers and first frame, and starts its bar worker. Workers of
// an earlier game finish on their own game's data and never show a frame again.
void NewGame();

// Fills the colour table (901 draws) and the bar lengths of a new game.
void BuildTables(Game& game);

// Starts the game's bar worker; its handle goes to BarThread.
void StartBarThread(const std::shared_ptr<Game>& game);

// A mouse movement at y in the play area's client coordinates (inside its border).
// Stored at once when 0..503; anything else leaves the aim where it was.
void AimAt(int32_t clientY);

// A left-button press over the play area: fires the next shot of the current game.
// Before the first game, and beyond shot 500000 of a game, it fires nothing.
void FireShot();

}  // namespace game
