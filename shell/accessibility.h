// SPDX-License-Identifier: MIT
// What assistive technology (a screen reader, over AT-SPI) learns of the window: the
// roles of the main window and the play area, and the play area's description, the
// words for what the game shows.
//
// Done:     the window a frame, the play area a canvas; the description carries the
//           score line and, once a game has ended, "Ganaste" or "Game Over".
// Not done: the wall and the bar themselves (only the score and the end are told).
//
// Owns: the accessibility factory Qt asks for the two widgets.
// Threads: the user-interface thread only; ReadGameSpoken reads the game's atomics.
#pragma once

#include <QString>

#include <cstdint>

#include "game/state.h"

class QAction;

namespace shell {

// What the description tells of the game: compared every frame, so plain values.
struct GameSpoken {
    int32_t Blocks = -1;  // blocks destroyed; -1 before the first game
    game::GameEnd End = game::GameEnd::None;
    bool operator==(const GameSpoken&) const = default;
};

// Gives the main window and the play area their roles; before either is shown.
void InstallAccessibleRoles();

// The current game as the description tells it: once an end screen is up, the end
// and the count that screen shows.
GameSpoken ReadGameSpoken();

// Tells assistive technology that a menu item was greyed or enabled: Qt's menus do
// not tell it of their items' states.
void TellEnabledChanged(QAction* item);

// The play area's description, in the words the screen shows; empty before a game.
QString DescribeGame(GameSpoken spoken);

}  // namespace shell
