// SPDX-License-Identifier: MIT
// Real threads at full speed: the pause only yields, so thousands of shots and many
// new games overlap as much as they can. Run in the sanitizer builds too.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "game/commands.h"
#include "game/frame.h"
#include "game/headless_host.h"
#include "game/shot.h"
#include "game/state.h"
#include "render/scale.h"
#include "runtime/pacing.h"

namespace game {
namespace {

// The device scale changes in every game while its shots fly: they erase blocks and
// grow the bar on surfaces being made again.
TEST(GameStress, ThousandsOfShotsOverTwentyGamesCountEveryHitOnce) {
    constexpr int Games = 20, ShotsPerGame = 150;
    InstallHeadlessHost();
    runtime::SetPaceClock(
        {runtime::SystemPaceClock().Now, [](int64_t) { std::this_thread::yield(); }});
    std::vector<std::shared_ptr<Game>> games;
    for (int round = 0; round < Games; ++round) {
        NewGame();
        games.push_back(CurrentGame());
        for (int shot = 0; shot < ShotsPerGame; ++shot) {
            AimAt((shot * 37 + round * 11) % 504);
            FireShot();
            if (shot % 50 == 25) {
                SetDeviceScale(render::MakeScale(2 + shot % 3, 2));
            }
        }
    }
    MakeCurrentGame(nullptr);  // the last bar worker stops too
    SetDeviceScale({});
    int64_t blockHits = 0, barHits = 0;
    for (const auto& game : games) {
        while (game.use_count() > 1) {  // until its workers have ended
            std::this_thread::yield();
        }
        EXPECT_EQ(game->State.ShotCount.load(), ShotsPerGame);
        EXPECT_EQ(
            game->State.BlocksDestroyed.load(),
            std::ranges::count_if(game->Grid->Cells, [](auto& c) { return c.Destroyed == 1; }));
        blockHits += game->State.BlocksDestroyed.load();
        barHits += game->State.BarLevel.load() - 1;
    }
    runtime::SetPaceClock(runtime::SystemPaceClock());
    // A cue for each shot and each hit, however many the record lists.
    EXPECT_EQ(HeadlessSnapshot().CuesPlayed, Games * ShotsPerGame + blockHits + barHits);
    EXPECT_EQ(ShotsInFlight.load(), 0);
}

}  // namespace
}  // namespace game
