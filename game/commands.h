// The game's side of the menu commands and the mouse over the play area.
//
// Threads: the user-interface thread only (or the one thread that drives a
// headless game).
#pragma once

#include <cstdint>

namespace game {

// The largest y over the play area that aims the launcher.
constexpr int32_t AimLimit = 503;

// "Nuevo": a freshly coloured wall, a reset state, the first frame, a moving bar.
void NewGame();

// A mouse movement at y in the play area's client coordinates (inside its border).
// Stored at once when 0..503; anything else leaves the aim where it was.
void AimAt(int32_t clientY);

// A left-button press over the play area: fires the next shot of the current game.
// Before the first game, and beyond shot 500000 of a game, it fires nothing.
void FireShot();

}  // namespace game
