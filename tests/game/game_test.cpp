// SPDX-License-Identifier: MIT
// The game, headless and driven tick by tick on the test clock, with the clock of day
// pinned to noon (the wall of the 12:00:00.000 seed), where a script cannot reach: the
// bar at any length, shots from many threads, both ends on one tick and an earlier
// game's workers. What the frames show as a game is played, every shot in flight
// included, is pinned by the game scenarios of tests/tools/scenarios/.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
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
#include "render/painters.h"
#include "render/scale.h"
#include "render/surface.h"
#include "render/text_painters.h"
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
        SetDeviceScale({});
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

    // The control's image, in device pixels.
    struct Image {
        std::vector<uint32_t> Words;
        int32_t Width = 0, Height = 0;
        uint32_t At(int32_t x, int32_t y) const { return Words[size_t(y * Width + x)]; }
    };
    static Image Shown() {
        Image image;
        render::ReadPixels(HeadlessWindow, HeadlessControl, image.Words, image.Width, image.Height);
        return image;
    }
    // Whether the frame composed again whole is what every composition of what changed
    // has left.
    static bool ShownWhole() {
        const Image shown = Shown();
        ChangeFrame(*CurrentGame(), {0, 0, PlayAreaWidth, PlayAreaHeight});
        ComposeFrame(*CurrentGame());
        return Shown().Words == shown.Words;
    }
    // A game with shots flying and landing, blocks erased, the bar grown and moved.
    static void PlayAWhile() {
        NewGame();
        for (int32_t y : {100, 400, 140, 250}) {
            FireAt(y);
        }
        Tick(20);
        FireAt(100);  // flies to column 29
        FireAt(480);
        Tick(6);
    }
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

// The scale changed as a game is played, shots in flight, or once it has ended: the
// game goes on as it would have, its frame is shown whole at the new scale, and back
// at 1x every pixel is as it would have been. At every scale a frame composed piece by
// piece as the game plays is its whole composition: what an erased block, the bar's
// move, a longer bar and the shots change maps onto every device pixel they drew (at
// 5/3 a block's maroon line begins a device pixel before its cell's edge less one). At
// a whole scale k the frame but for text is the 1x frame in k x k blocks. (The wall's
// lines, seams and faces at each scale: the render tests' scene.)
TEST_F(Play, AtEveryScaleTheFrameIsWholeAndTheGameGoesOn) {
    Image one, ended;
    for (const render::Scale scale :
         {render::Scale{1, 1}, {5, 4}, {3, 2}, {5, 3}, {2, 1}, {3, 1}}) {
        SCOPED_TRACE(std::to_string(scale.Num) + "/" + std::to_string(scale.Den));
        PlayAWhile();
        const auto counts = std::tuple(State().BlocksDestroyed.load(), State().BarLevel.load(),
                                       ShotsInFlight.load(),
                                       Host().FramesPresented + (scale == render::Scale{} ? 0 : 1));
        SetDeviceScale(scale);
        EXPECT_EQ(counts, std::tuple(State().BlocksDestroyed.load(), State().BarLevel.load(),
                                     ShotsInFlight.load(), Host().FramesPresented));
        Tick(20);  // the last two land
        const Image shown = Shown();
        EXPECT_EQ(shown.Width, render::ToDevice(ControlImageWidth, scale));
        EXPECT_TRUE(ShownWhole());
        one = scale == render::Scale{} ? shown : one;
        // The score line and the caption's white pass (left of the wall) are text.
        const render::Rect score = render::ScoreLineArea();
        int64_t differing = 0;
        for (int32_t y = 0; scale.Den == 1 && y < shown.Height; ++y) {
            for (int32_t x = 0; x < shown.Width; ++x) {
                const int32_t x1 = x / scale.Num, y1 = y / scale.Num;
                const bool text = x1 < CellWidth - 1 || (x1 >= score.Left && y1 < score.Bottom);
                differing += !text && shown.At(x, y) != one.At(x1, y1);
            }
        }
        EXPECT_EQ(differing, 0);
        SetDeviceScale({});
        EXPECT_TRUE(Shown().Words == one.Words);
        State().BlocksDestroyed = BlocksToWin;
        Tick();
        ended = scale == render::Scale{} ? Shown() : ended;
        SetDeviceScale(scale);
        FireShot();  // shows no more once the end screen is up
        Tick(2);
        SetDeviceScale({});
        EXPECT_TRUE(Shown().Words == ended.Words);
        MakeCurrentGame(nullptr);
    }
}

}  // namespace
}  // namespace game
