// SPDX-License-Identifier: MIT
// A shot's flight: x = 955, 940, ... down to -5, at most 65 steps. The bar can only be
// met at x = 640; the wall from x = 610 (column 30) leftwards.
#include "game/shot.h"

#include "game/frame.h"
#include "game/host.h"
#include "render/painters.h"
#include "runtime/pacing.h"
#include "runtime/workers.h"

namespace game {

namespace {

bool CellHolds(const BlockCell& cell, int32_t x, int32_t y) {
    return cell.Left <= x && x <= cell.Right && cell.Top <= y && y <= cell.Bottom;
}

void HitBar(Game& game) {
    PlayCue(CueBarHit);
    const int32_t level = game.State.BarLevel.fetch_add(1) + 1;
    RepaintBar(game, game.BarLengths->LengthFor(level));
}

// One step: move and show, then the bar and the wall. Returns the new x (0: spent).
int32_t StepShot(Game& game, ShotMark& mark) {
    MoveShot(game, mark);
    const int32_t x = ShotXAt(mark.Step), y = mark.Y;
    if (ShotHitsBar(game, x, y)) {
        HitBar(game);
        return 0;
    }
    if (x > 0 && ShotHitsBlock(game, x, y)) {
        return 0;
    }
    return x;
}

}  // namespace

bool ShotHitsBar(const Game& game, int32_t x, int32_t y) {
    const int32_t offset = game.State.BarOffset.load();
    const int32_t length = game.BarLengths->LengthFor(game.State.BarLevel.load());
    return offset <= y && y <= offset + length && BarLaneLeft <= x && x <= BarLaneRight;
}

bool ShotHitsBlock(Game& game, int32_t x, int32_t y) {
    for (BlockCell& cell : game.Grid->Cells) {  // row by row, left to right
        if (cell.Destroyed.load() != 0 || !CellHolds(cell, x, y)) {
            continue;
        }
        if (cell.Destroyed.exchange(1) != 0) {
            continue;  // another shot took it a moment ago
        }
        PlayCue(CueBlockHit);
        game.State.BlocksDestroyed.fetch_add(1);
        EraseBlock(game, cell);
        return true;
    }
    return false;
}

void RunShot(std::shared_ptr<Game> game, int32_t shot) {
    ShotMark mark{0, game->State.AimY.load() + ShotBelowAim};
    PlayCue(CueShot);
    ShowShot(*game, mark);
    int32_t x = ShotStartX;
    do {
        runtime::PumpOrSleep(1);
        x = StepShot(*game, mark);
    } while (x > 0);
    EndShot(*game, mark);
    runtime::CloseWorkerHandle(game->ShotThreads->Slot(shot).load());
    ShotsInFlight.fetch_sub(1);
}

}  // namespace game
