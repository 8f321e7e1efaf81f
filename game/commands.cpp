// SPDX-License-Identifier: MIT
// The commands: a new game, the aim and the shots.
#include "game/commands.h"

#include "game/bar.h"
#include "game/frame.h"
#include "game/host.h"
#include "game/rules.h"
#include "game/shot.h"
#include "runtime/random.h"
#include "runtime/workers.h"

namespace game {

namespace {

void ResetState(GameState& state) {
    state.BlocksDestroyed.store(0);
    state.BarOffset.store(0);
    state.AimY.store(0);
    state.BarDirection.store(1);
    state.BarLevel.store(1);
    state.ShotCount.store(0);
    state.ShownEnd.store({});
}

}  // namespace

void BuildTables(Game& game) {
    for (int32_t& colour : game.Colours->Entries) {
        colour = runtime::RandomInt(LowestColourValue, HighestColourValue);
    }
    for (int32_t level = 1; level <= LevelCount; ++level) {
        game.BarLengths->At(level) = BarStep * level;
    }
}

void StartBarThread(const std::shared_ptr<Game>& game) {
    runtime::CreateWorker([game](int32_t) { RunBar(game); }, 1, WorkerStack, false, BarThread);
    if (BarThread.load() == 0) {
        // The game stops as it stands, like a finished one: "Nuevo" can try again.
        ReportFault(
            "no se puede iniciar el hilo de la barra; elija Nuevo para intentarlo otra vez");
        EnableNewIfCurrent(*game);
    }
}

void NewGame() {
    SetNewEnabled(false);
    runtime::SeedFromClock();
    std::shared_ptr<Game> game = CreateGame();
    BuildTables(*game);
    ResetState(game->State);
    SetUpLayers(*game);
    // The game is played only once its wall stands: the caption's pause may handle a
    // press, which must not fly at a wall still being built.
    MakeCurrentGame(game);
    SetUpFrame(*game);
    StartBarThread(game);
}

void AimAt(int32_t clientY) {
    if (clientY >= 0 && clientY <= AimLimit) {
        if (const std::shared_ptr<Game> game = CurrentGame()) {
            MoveLauncher(*game, clientY);
        }
    }
}

void FireShot() {
    std::shared_ptr<Game> game = CurrentGame();
    if (game == nullptr) {
        return;  // no game yet: no wall to fly at
    }
    const int32_t shot = game->State.ShotCount.load() + 1;
    if (shot > ShotLimit) {
        return;  // the game's shots are used up
    }
    game->State.ShotCount.store(shot);
    ShotsInFlight.fetch_add(1);
    std::atomic<int32_t>& slot = game->ShotThreads->Slot(shot);
    runtime::CreateWorker([game](int32_t number) { RunShot(game, number); }, shot, WorkerStack,
                          false, slot);
    if (slot.load() == 0) {
        ShotsInFlight.fetch_sub(1);  // no worker: the shot number stays used, nothing flies
    }
}

}  // namespace game
