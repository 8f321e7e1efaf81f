// SPDX-License-Identifier: MIT
// Real threads at full speed: the pause only yields, so thousands of shots and many
// new games overlap as much as they can. Run in the sanitizer builds too.
#include <gtest/gtest.h>

#include <thread>

#include "game/commands.h"
#include "game/frame.h"
#include "game/headless_host.h"
#include "game/shot.h"
#include "game/state.h"
#include "runtime/pacing.h"

namespace game {
namespace {

constexpr int Games = 20;
constexpr int ShotsPerGame = 150;

void YieldInsteadOfSleeping(int64_t) {
    std::this_thread::yield();
}

int32_t CountDestroyed(const Game& game) {
    int32_t destroyed = 0;
    for (const BlockCell& cell : game.Grid->Cells) {
        destroyed += cell.Destroyed.load();
    }
    return destroyed;
}

void WaitUntilOnlyWeHold(const std::vector<std::shared_ptr<Game>>& games) {
    for (const auto& game : games) {
        while (game.use_count() > 1) {
            std::this_thread::yield();
        }
    }
}

TEST(GameStress, ThousandsOfShotsOverTwentyGamesCountEveryHitOnce) {
    game::InstallHeadlessHost();
    runtime::SetPaceClock({runtime::SystemPaceClock().Now, &YieldInsteadOfSleeping});
    std::vector<std::shared_ptr<Game>> games;
    for (int round = 0; round < Games; ++round) {
        NewGame();
        games.push_back(CurrentGame());
        for (int shot = 0; shot < ShotsPerGame; ++shot) {
            AimAt((shot * 37 + round * 11) % 504);
            FireShot();
        }
    }
    MakeCurrentGame(std::make_shared<Game>());  // the last bar worker stops too
    WaitUntilOnlyWeHold(games);
    runtime::SetPaceClock(runtime::SystemPaceClock());

    int64_t blockHits = 0, barHits = 0;
    for (const auto& game : games) {
        EXPECT_EQ(game->State.ShotCount.load(), ShotsPerGame);
        EXPECT_EQ(game->State.BlocksDestroyed.load(), CountDestroyed(*game));
        blockHits += game->State.BlocksDestroyed.load();
        barHits += game->State.BarLevel.load() - 1;
    }
    const std::vector<std::string> cues = game::HeadlessSnapshot().Cues;
    EXPECT_EQ(std::count(cues.begin(), cues.end(), "#212"), Games * ShotsPerGame);
    EXPECT_EQ(std::count(cues.begin(), cues.end(), "#210"), blockHits);
    EXPECT_EQ(std::count(cues.begin(), cues.end(), "#211"), barHits);
    EXPECT_EQ(ShotsInFlight.load(), 0);
}

}  // namespace
}  // namespace game
