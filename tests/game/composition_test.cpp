// SPDX-License-Identifier: MIT
// A frame composed only where it changed must be what the whole composition makes:
// every scenario runs both ways, and every frame and window image is compared.
#include <gtest/gtest.h>

#include <tuple>

#include "game/layout.h"
#include "game/shot.h"
#include "game_fixture.h"
#include "render/painters.h"
#include "render/text_painters.h"

namespace game {
namespace {

using Composition = HeadlessGame;

// One step of a scenario: the window's image is taken after each.
struct Step {
    char Do;  // t: ticks, a: aim at, f: fire shots, n: new game, s: set the score,
              // l: lose, m: a shot mark drawn on the frame and presented
    int32_t Value = 1;
};

struct Scenario {
    const char* Name;
    runtime::TimeOfDay Seed;
    std::vector<Step> Steps;
};

const Scenario Scenarios[] = {
    {"moves, hits on blocks and on the bar, a longer bar",
     {12, 0, 0, 0},
     {{'n'},
      {'t', 3},
      {'a', 85},
      {'f', 2},
      {'t', 4},
      {'a', 300},
      {'f', 1},
      {'a', 503},
      {'f', 3},
      {'t', 10},
      {'a', 0},
      {'f', 1},
      {'t', 30},
      {'a', 250},
      {'t', 60}}},
    {"a new game while shots fly",
     {7, 31, 12, 450},
     {{'n'}, {'a', 400}, {'f', 4}, {'t', 8}, {'n'}, {'t', 30}, {'a', 20}, {'f', 1}, {'t', 25}}},
    {"wide scores, shot marks, the end screens",
     {23, 59, 59, 999},
     {{'n'},
      {'t', 2},
      {'s', -32768},
      {'t', 1},
      {'m', 600},
      {'s', -7},
      {'t', 1},
      {'m', 200},
      {'t', 1},
      {'s', 99},
      {'a', 150},
      {'f', 1},
      {'t', 24},
      {'n'},
      {'t', 3},
      {'l'},
      {'t', 2}}},
};

uint64_t Fingerprint(const std::vector<uint32_t>& image) {
    uint64_t hash = 14695981039346656037u;  // FNV-1a
    for (const uint32_t word : image) {
        hash = (hash ^ (word & 0xFFFFFFu)) * 1099511628211u;
    }
    return hash;
}

void Run(const Step& step) {
    switch (step.Do) {
        case 't':
            runtime::AdvanceTestClock(step.Value);
            return;
        case 'a':
            AimAt(step.Value);
            return;
        case 'f':
            for (int32_t shot = 0; shot < step.Value; ++shot) {
                FireShot();
            }
            return;
        case 'n':
            NewGame();
            return;
        case 's':
            CurrentGame()->State.BlocksDestroyed = static_cast<int16_t>(step.Value);
            return;
        case 'l':
            CurrentGame()->State.BarLevel = 10;
            return;
        case 'm':
            render::PaintShot(CurrentGame()->Surfaces.FrameBitmap, step.Value, 300);
            PresentFrame(*CurrentGame());
            return;
    }
    FAIL() << "no step '" << step.Do << "'";
}

// What the window and the frame show after each step, from a fresh start.
std::vector<uint64_t> Play(const Scenario& scenario, bool whole) {
    MakeCurrentGame(std::make_shared<Game>());
    runtime::AdvanceTestClock(70);  // every earlier worker ends
    InstallHeadlessHost();
    runtime::SetFixedTimeOfDay(scenario.Seed);
    ComposeWholeFrames = whole;
    std::vector<uint64_t> shown;
    for (const Step& step : scenario.Steps) {
        Run(step);
        // The frame itself too: a composition that drew outside the damage could still
        // show the window the right image until the next present.
        std::vector<uint32_t> frame;
        int32_t width = 0, height = 0;
        render::ReadPixels(CurrentGame()->Surfaces.FrameBitmap, 0, frame, width, height);
        shown.push_back(Fingerprint(WindowImage()) ^ Fingerprint(frame) << 1);
    }
    ComposeWholeFrames = false;
    return shown;
}

TEST_F(Composition, OnlyWhatChangedGivesTheWholeCompositionsImages) {
    for (const Scenario& scenario : Scenarios) {
        const std::vector<uint64_t> whole = Play(scenario, true);
        const std::vector<uint64_t> damaged = Play(scenario, false);
        for (size_t step = 0; step < whole.size(); ++step) {
            EXPECT_EQ(damaged[step], whole[step]) << scenario.Name << ", step " << step + 1;
        }
    }
}

// A mark drawn after the composition is shown by the present and gone after the next.
TEST_F(Composition, AShotMarkLastsUntilTheNextComposition) {
    NewGame();
    const int32_t before = WindowColourAt(WindowImage(), 703, 302);  // the mark's face
    render::PaintShot(Current().Surfaces.FrameBitmap, 700, 300);
    PresentFrame(Current());
    EXPECT_EQ(WindowColourAt(WindowImage(), 703, 302), 0x00A5FF);  // orange
    Tick();
    EXPECT_EQ(WindowColourAt(WindowImage(), 703, 302), before);
}

// The score line's area is what its painter can touch, at the least.
TEST_F(Composition, TheScoreLineAreaHoldsTheScoreTightly) {
    const render::Rect area = render::ScoreLineArea();
    for (const int16_t count : {int16_t{-32768}, int16_t{0}, int16_t{100}}) {
        const render::SurfaceHandle frame = render::NewBitmap(PlayAreaWidth, PlayAreaHeight);
        render::PaintScoreOn(frame, count);
        render::DamageList drawn;
        render::TakeDamage(frame, drawn);
        render::Rect all;
        for (int32_t entry = 0; entry < drawn.Count; ++entry) {
            all = render::UnionOf(all, drawn.Rects[static_cast<size_t>(entry)]);
        }
        EXPECT_EQ(render::IntersectionOf(all, area).Right, all.Right) << count;
        EXPECT_EQ(std::tuple(all.Left, all.Top, all.Bottom),
                  std::tuple(area.Left, area.Top, area.Bottom))
            << count;
        render::FreeBitmap(frame);
    }
}

}  // namespace
}  // namespace game
