// SPDX-License-Identifier: MIT
// The bar worker's loop and the end of a game.
#include "game/bar.h"

#include "game/frame.h"
#include "render/text_painters.h"
#include "runtime/pacing.h"

namespace game {

namespace {

// One end sequence: "Nuevo" back, the bar home, a last frame with the end screen.
void ShowEnd(Game& game, GameEnd end, EndScreenPainter paintEndScreen) {
    EnableNewIfCurrent(game);
    game.State.BarOffset.store(0);
    game.State.ShownEnd.store({game.State.BlocksDestroyed.load(), end});
    ShowEndScreen(game, paintEndScreen);
}

// Lost first, then won: when both hold the last frame shows "Ganaste".
void EndGame(Game& game) {
    if (game.State.BarLevel.load() >= LevelLost) {
        ShowEnd(game, GameEnd::Lost, &render::PaintGameOver);
    }
    if (game.State.BlocksDestroyed.load() >= BlocksToWin) {
        ShowEnd(game, GameEnd::Won, &render::PaintWin);
    }
}

}  // namespace

void MoveBar(Game& game) {
    GameState& state = game.State;
    const int32_t offset =
        state.BarOffset.load() + (state.BarDirection.load() != 0 ? BarSpeed : -BarSpeed);
    state.BarOffset.store(offset);
    const int32_t length = game.BarLengths->LengthFor(state.BarLevel.load());
    if (offset + length >= WallBottom) {
        state.BarDirection.store(0);
    }
    if (offset <= 0) {
        state.BarDirection.store(1);  // wins when both ends apply
    }
}

bool GameGoesOn(const Game& game) {
    return game.State.BlocksDestroyed.load() < BlocksToWin &&
           game.State.BarLevel.load() < LevelLost;
}

void RunBar(std::shared_ptr<Game> game) {
    do {
        runtime::PumpOrSleep(1);
        if (!IsCurrentGame(*game)) {
            return;
        }
        const int32_t from = game->State.BarOffset.load();
        MoveBar(*game);
        BarMoved(*game, from, game->State.BarOffset.load());
        ComposeFrame(*game);
    } while (GameGoesOn(*game));
    EndGame(*game);
}

}  // namespace game
