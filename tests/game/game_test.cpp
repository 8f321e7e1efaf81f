// SPDX-License-Identifier: MIT
// The game, headless and driven tick by tick on the test clock, with the clock of day
// pinned to noon (the wall of the 12:00:00.000 seed), where a script cannot reach: the
// bar at any length, shots from many threads, both ends on one tick and an earlier
// game's workers. What the frames show as a game is played, every shot in flight
// included, is pinned by the game scenarios of tests/tools/scenarios/.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <tuple>
#include <vector>

#include "game/bar.h"
#include "game/commands.h"
#include "game/frame.h"
#include "game/headless_host.h"
#include "game/layout.h"
#include "game/shot.h"
#include "game/state.h"
#include "render/surface.h"
#include "runtime/random.h"
#include "runtime/test_clock.h"

namespace game {
namespace {

class Play : public ::testing::Test {
  protected:
    void SetUp() override {
        runtime::UseTestClock(true);
        runtime::SetFixedTimeOfDay(runtime::TimeOfDay{12, 0, 0, 0});
        InstallHeadlessHost();
    }
    // Stops the bar worker (its game is no longer played) and lets every shot land.
    void TearDown() override {
        MakeCurrentGame(nullptr);
        Tick(70);
        EXPECT_EQ(runtime::TestClockWorkers(), 0);
        runtime::SetFixedTimeOfDay(std::nullopt);
        runtime::UseTestClock(false);
    }
    static GameState& State() { return CurrentGame()->State; }
    static auto& Cell(int row, int column) { return CurrentGame()->Grid->Cell(row, column); }
    static void Tick(int32_t ticks = 1) { runtime::AdvanceTestClock(ticks); }
    static void FireAt(int32_t y) {  // aims so that the shot flies at y
        AimAt(y - ShotBelowAim);
        FireShot();
    }
    static HeadlessRecord Host() { return HeadlessSnapshot(); }
};

// (A new game's bar turning at the wall's bottom and at the top: the game scenarios.)
TEST(MoveBar, AGrownBarTurnsWhereItsLowerEndMeetsTheWallsBottom) {
    const int32_t turn = WallBottom - 9 * BarStep;  // level 9's lower end on the wall's bottom
    const struct {
        int32_t Level, Offset, Direction, NextOffset, NextDirection;
    } moves[] = {{9, turn - BarSpeed, 1, turn, 0},
                 {2, 470, 1, 470 + BarSpeed, 0},  // a grown bar below its new turn steps once more
                 {11, 0, 1, BarSpeed, 0}};        // levels past the table have the longest bar
    for (const auto& m : moves) {
        std::shared_ptr<game::Game> game = CreateGame();
        BuildTables(*game);
        game->State.BarLevel = m.Level;
        game->State.BarOffset = m.Offset;
        game->State.BarDirection = m.Direction;
        MoveBar(*game);
        EXPECT_EQ(std::tuple(game->State.BarOffset.load(), game->State.BarDirection.load()),
                  std::tuple(m.NextOffset, m.NextDirection))
            << m.Level << " " << m.Offset;
    }
}

// (A shot on the edge between two rows takes the upper row: the script runner's game
// scenarios fire two at y 60.)
TEST_F(Play, OnEdgesTheLowerColumnGoesFirstAndEachBlockOnce) {
    NewGame();
    for (int32_t column : {28, 29, 0}) {
        EXPECT_EQ(ShotHitsBlock(*CurrentGame(), 580, 45), column != 0);
        EXPECT_TRUE(column == 0 || Cell(1, column).Destroyed.load() == 1) << column;
    }
    std::atomic<int32_t> hits{0};
    for (std::vector<std::jthread> shooters; shooters.size() < 8;) {  // joined as the loop ends
        shooters.emplace_back([&] { hits += ShotHitsBlock(*CurrentGame(), 610, 105) ? 1 : 0; });
    }
    EXPECT_EQ(std::tuple(hits.load(), State().BlocksDestroyed.load()), std::tuple(1, 2 + 1));
}

// (A click before the first game: the game scenarios.)
TEST_F(Play, ShotsStopAtTheLastNumber) {
    NewGame();
    State().ShotCount = ShotLimit;
    FireShot();
    EXPECT_EQ(std::tuple(ShotsInFlight.load(), State().ShotCount.load()), std::tuple(0, ShotLimit));
}

// A game lost or won by play ends as the script runner's game scenarios show. When both
// hold on one tick, lost is found first, then won: the last frame shows "Ganaste".
TEST_F(Play, BothEndsOnOneTickEndOnGanasteWithTheBarHome) {
    NewGame();
    Tick(40);
    State().BarLevel = 10;
    State().BlocksDestroyed = 100;
    const int32_t before = Host().FramesPresented;
    Tick();
    // The tick, then each end.
    EXPECT_EQ(std::tuple(Host().NewEnabled, State().BarOffset.load(), Host().FramesPresented,
                         State().ShownEnd.load().End),
              std::tuple(true, 0, before + 3, GameEnd::Won));
    // "Ganaste" is gold and "Game Over" red. The bar and the launcher hold about 1,400
    // gold pixels, "Ganaste" some 9,700; the wall of this seed has neither colour.
    std::vector<uint32_t> shown;
    int32_t width = 0, height = 0;
    render::ReadPixels(HeadlessWindow, HeadlessControl, shown, width, height);
    EXPECT_EQ(std::pair(std::ranges::count(shown, 0xFFFFD700u) > 5000,
                        std::ranges::count(shown, 0xFFFF0000u)),
              std::pair(true, std::ptrdiff_t{0}));
    Tick(5);
    EXPECT_EQ(Host().FramesPresented, before + 3);  // the worker has ended
}

// (The hundredth block, and a shot after the end: the game scenarios.) Once won, later
// hits still count, 16 bits wide, and show nothing: the end shown keeps its count.
TEST_F(Play, AfterTheEndHitsCountSixteenBitsWideAndShowNothing) {
    NewGame();
    State().BlocksDestroyed = 32767;  // won at the bar's first step
    FireAt(100);
    Tick();
    const int32_t frames = Host().FramesPresented;
    Tick(24);
    EXPECT_EQ(std::tuple(State().BlocksDestroyed.load(), Host().FramesPresented,
                         State().ShownEnd.load().Blocks),
              std::tuple(-32768, frames, 32767));
}

TEST_F(Play, AnEarlierGamesWorkersNeverPresentNorTouchTheNewGame) {
    NewGame();
    FireAt(100);
    FireAt(400);  // passes the bar, then hits row 13
    Tick(2);
    std::shared_ptr<game::Game> earlier = CurrentGame();
    NewGame();
    const int32_t frames = Host().FramesPresented;
    Tick();
    EXPECT_EQ(Host().FramesPresented, frames + 1);  // only the new game's tick
    Tick(70);
    EXPECT_EQ(earlier->State.BlocksDestroyed.load(), 2);
    EXPECT_EQ(earlier->Grid->Cell(3, 30).Destroyed + earlier->Grid->Cell(13, 30).Destroyed, 2);
    EXPECT_EQ(State().BlocksDestroyed.load(), 0);
    EXPECT_TRUE(
        std::ranges::none_of(CurrentGame()->Grid->Cells, [](auto& c) { return c.Destroyed == 1; }));
    const std::weak_ptr<game::Game> watched = std::exchange(earlier, nullptr);
    EXPECT_TRUE(watched.expired());  // nobody holds it once its workers have ended
}

}  // namespace
}  // namespace game
