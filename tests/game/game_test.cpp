// SPDX-License-Identifier: MIT
// The game, headless and driven tick by tick on the test clock, with the clock of day
// pinned to noon (the wall of the 12:00:00.000 seed): the bar, the shots, the wall,
// the ends of a game and whole frames pixel for pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>
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

TEST(MoveBar, StepsFiveAndTurnsWhereItsEndsMeetTheTopOrTheWallsBottom) {
    const struct {
        int32_t Level, Offset, Direction, NextOffset, NextDirection;
    } moves[] = {{1, 475, 1, 480, 1}, {1, 480, 1, 485, 0}, {9, 40, 1, 45, 0},
                 {2, 470, 1, 475, 0},  // a grown bar below its new turn steps once more
                 {11, 0, 1, 5, 0},     // levels past the table have the longest bar
                 {1, 10, 0, 5, 0},    {1, 5, 0, 0, 1}};
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

std::vector<uint32_t> PixelsOf(render::SurfaceHandle surface, int32_t control = 0) {
    std::vector<uint32_t> pixels;
    int32_t width = 0, height = 0;
    render::ReadPixels(surface, control, pixels, width, height);
    return pixels;
}

std::vector<uint32_t> WindowPixels() {
    return PixelsOf(HeadlessWindow, HeadlessControl);
}

// The x of every shot the window shows at row y: where the orange face of a mark
// starts on the face's second row, one pixel right of x.
std::vector<int32_t> ShotsShownAt(int32_t y) {
    const std::vector<uint32_t> pixels = WindowPixels();
    const int32_t width = ControlImageWidth;
    const uint32_t orange = 0xFF000000u | 0xFFA500u;
    std::vector<int32_t> shown;
    for (int32_t x = 0; x < width; ++x) {
        const size_t at = static_cast<size_t>((y + 1) * width + x);
        if (pixels[at] == orange && (x == 0 || pixels[at - 1] != orange)) {
            shown.push_back(x - 1);
        }
    }
    return shown;
}

// At the end of every tick the window holds each shot in flight where that tick's step
// put it: into an empty row, into the bar (up to the lane), into a block (gone with
// the block a tick later), two at once and two on one row.
TEST_F(Play, EveryShotInFlightIsShownWhereItsStepPutIt) {
    using Xs = std::vector<int32_t>;
    const struct {
        int32_t Y, Ticks;
        Xs Shown;
    } flights[] = {{25, 0, {970}}, {25, 1, {955}},  {25, 2, {940}},   {25, 22, {640}},
                   {25, 64, {10}}, {100, 1, {955}}, {120, 21, {655}}, {120, 22, {640}},
                   {120, 23, {}}};  // into the bar at the lane, then spent
    for (const auto& f : flights) {
        NewGame();
        FireAt(f.Y);
        Tick(f.Ticks);
        EXPECT_EQ(ShotsShownAt(f.Y), f.Shown) << f.Y << " after " << f.Ticks;
        Tick(70);
    }
    NewGame();
    FireAt(100);
    FireAt(25);
    Tick(24);
    EXPECT_EQ(std::tuple(ShotsShownAt(100), ShotsShownAt(25), State().BlocksDestroyed.load()),
              std::tuple(Xs{610}, Xs{610}, 1));
    Tick();  // the block, the mark over it and the count change together
    FireAt(25);
    EXPECT_EQ(std::tuple(ShotsShownAt(100), ShotsShownAt(25)), std::tuple(Xs{}, Xs{595, 970}));
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

TEST_F(Play, ShotsNeedAGameAndANumber) {
    FireShot();  // no game yet
    EXPECT_TRUE(ShotsInFlight.load() == 0 && Host().Cues.empty());
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
    EXPECT_EQ(std::tuple(Host().NewEnabled, State().BarOffset.load(), Host().FramesPresented),
              std::tuple(true, 0, before + 3));
    // "Ganaste" is gold and "Game Over" red. The bar and the launcher hold about 1,400
    // gold pixels, "Ganaste" some 9,700; the wall of this seed has neither colour.
    const std::vector<uint32_t> shown = WindowPixels();
    EXPECT_EQ(std::pair(std::ranges::count(shown, 0xFFFFD700u) > 5000,
                        std::ranges::count(shown, 0xFFFF0000u)),
              std::pair(true, std::ptrdiff_t{0}));
    Tick(5);
    EXPECT_EQ(Host().FramesPresented, before + 3);  // the worker has ended
}

TEST_F(Play, TheHundredthBlockWinsAfterTheBarsStepAndLaterShotsShowNothing) {
    NewGame();
    State().BlocksDestroyed = 99;
    FireAt(100);
    Tick(24);
    // The bar worker stepped before the shot.
    EXPECT_EQ(std::tuple(State().BlocksDestroyed.load(), Host().NewEnabled),
              std::tuple(100, false));
    Tick();
    EXPECT_TRUE(Host().NewEnabled);
    const int32_t frames = Host().FramesPresented;
    State().BlocksDestroyed = 32767;
    FireAt(100);  // the bar rests at 0..55 now; column 29 is hit at step 25
    Tick(25);
    // The count is 16 bits wide.
    EXPECT_EQ(std::tuple(State().BlocksDestroyed.load(), Host().FramesPresented),
              std::tuple(-32768, frames));
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

// ---- Composed only where it changed: the same frames as composed whole ----

// A scenario's name, seed and steps, the window's image taken after each: tN N ticks,
// aY aim at Y, fN fire N shots, n a new game, sN the score set to N, l the game lost.
struct Scenario {
    const char* Name;
    runtime::TimeOfDay Seed;
    const char* Steps;
};

const Scenario Scenarios[] = {
    {"moves, hits on blocks and on the bar, a longer bar",
     {12, 0, 0, 0},
     "n t3 a85 f2 t4 a300 f1 a503 f3 t10 a0 f1 t30 a250 t60"},
    {"a new game while shots fly", {7, 31, 12, 450}, "n a400 f4 t8 n t30 a20 f1 t25"},
    {"wide scores, shot marks, the end screens",
     {23, 59, 59, 999},
     "n t2 s-32768 t1 s-7 t1 a0 f1 t1 s99 a150 f1 t24 n t3 f2 t1 l t2"},
};

size_t Fingerprint(const std::vector<uint32_t>& image) {
    return std::hash<std::string_view>{}(std::string_view(
        reinterpret_cast<const char*>(image.data()), image.size() * sizeof image[0]));
}

constexpr render::Rect WholeFrame{0, 0, PlayAreaWidth, PlayAreaHeight};

// With whole set, every tick composes and presents the whole frame.
void Run(char step, int32_t value, bool whole) {
    const std::shared_ptr<Game> game = CurrentGame();
    switch (step) {
        case 't':
            for (int32_t tick = 0; tick < value; ++tick) {
                if (whole) {
                    ChangeFrame(*CurrentGame(), WholeFrame);
                }
                runtime::AdvanceTestClock(1);
            }
            return;
        case 'a':
            return AimAt(value);
        case 'n':
            return NewGame();
        case 's':
            game->State.BlocksDestroyed = static_cast<int16_t>(value);
            return ChangeFrame(*game, render::ScoreLineArea());
        case 'l':
            game->State.BarLevel = 10;
            return;
        case 'f':
            for (int32_t shot = 0; shot < value; ++shot) {
                FireShot();
            }
            return;
    }
    FAIL() << "no step '" << step << "'";
}

// What the window and the frame show after each step, from a fresh start.
std::vector<std::pair<size_t, size_t>> PlayThrough(const Scenario& scenario, bool whole) {
    MakeCurrentGame(nullptr);
    runtime::AdvanceTestClock(70);  // every earlier worker ends
    InstallHeadlessHost();
    runtime::SetFixedTimeOfDay(scenario.Seed);
    std::vector<std::pair<size_t, size_t>> shown;
    std::istringstream steps(scenario.Steps);
    for (std::string step; steps >> step;) {
        Run(step[0], step.size() > 1 ? std::stoi(step.substr(1)) : 1, whole);
        // The frame itself too: a composition that drew outside the damage could still
        // show the window the right image until the next present.
        shown.push_back({Fingerprint(WindowPixels()),
                         Fingerprint(PixelsOf(CurrentGame()->Surfaces.FrameBitmap))});
    }
    return shown;
}

TEST_F(Play, OnlyWhatChangedGivesTheWholeCompositionsImages) {
    for (const Scenario& scenario : Scenarios) {
        const auto whole = PlayThrough(scenario, true), damaged = PlayThrough(scenario, false);
        EXPECT_EQ(damaged, whole) << scenario.Name;
    }
}

}  // namespace
}  // namespace game
