// SPDX-License-Identifier: MIT
// The painters: the shot's figure in its three colours, the bar's lengths, the wall's
// erasure, the score line, Game Over and the caption.
#include "render/painters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "render/png.h"
#include "render/text_painters.h"
#include "runtime/pacing.h"
#include "tests/render/surface_support.h"

namespace render {
namespace {

using namespace render::testing;

constexpr std::pair<int32_t, char> Letters[] = {
    {ColourSilver, '.'}, {ColourWhite, 'W'}, {ColourMaroon, 'M'}, {ColourGrey, 'g'},
    {ColourGold, 'G'},   {ColourRed, 'R'},   {ColourOrange, 'O'},
};
constexpr int32_t WallColour = 0xB06043;
constexpr int32_t Green = 0x00FF00;  // a background no painter uses
const uint32_t Silver = PixelWord(ColourSilver);

// Compares the surface's pixels with tests/render/golden/<name>.png. With
// ZARPETA_WRITE_GOLDEN=1 in the environment it writes the file instead (to look at,
// then check in).
::testing::AssertionResult MatchesGolden(SurfaceHandle surface, std::string_view name) {
    const std::string path = std::string(ZARPETA_GOLDEN_DIR) + "/" + std::string(name) + ".png";
    const char* writing = std::getenv("ZARPETA_WRITE_GOLDEN");
    if (writing != nullptr && std::string_view(writing) == "1") {
        return ::testing::AssertionResult(WriteSurfacePng(surface, 0, path)) << path;
    }
    Image golden;
    if (!ReadPng(path, golden.Pixels, golden.Width, golden.Height)) {
        return ::testing::AssertionFailure() << "cannot read " << path;
    }
    return Snapshot(surface) == golden ? ::testing::AssertionSuccess()
                                       : ::testing::AssertionFailure() << "differs from " << path;
}

Image BarImage(int32_t length) {
    const SurfaceHandle layer = Cleared(17, 570);
    PaintBarOn(layer, length);
    return Snapshot(layer);
}

Image ShotImage(int32_t x) {
    const SurfaceHandle surface = Cleared(10, 8);
    PaintShot(surface, x, 2);
    return Snapshot(surface);
}

SurfaceHandle ScoreFrame(int16_t count) {
    const SurfaceHandle frame = Cleared(1000, 576);
    PaintScoreOn(frame, count);
    return frame;
}

TEST(PaintShot, IsTheFaceOverWhiteUpLeftAndMaroonDownRightClippedAtTheEdge) {
    const Image whole = ShotImage(2);
    EXPECT_EQ(Figure(whole, {0, 0, 10, 8}, Letters), (Rows{"..........",  //
                                                           "..WWWWW...",  //
                                                           ".W.RRRRM..",  //
                                                           ".WROOOORM.",  //
                                                           ".WROOOORM.",  //
                                                           "..MRRRR.M.",  //
                                                           "...MMMMM..",  //
                                                           ".........."}));
    // A shot that hit nothing is last painted at x = -5: only its right end is left.
    const Image clipped = ShotImage(-5);
    EXPECT_EQ(Figure(clipped, {0, 0, 2, 8}, Letters), Figure(whole, {7, 0, 9, 8}, Letters));
    EXPECT_TRUE(Extent(clipped, {2, 0, 10, 8}, Silver, false).IsEmpty());
    const SurfaceHandle current = Cleared(10, 8);
    PaintShot(0, 2, 2);  // no surface: nothing is painted, not even on the current one
    PaintShot(0x7FFF0000, 2, 2);
    EXPECT_TRUE(Extent(Snapshot(current), {0, 0, 10, 8}, Silver, false).IsEmpty());
}

TEST(PaintBar, TheLongestEndsOnRow550AndShorterCoverNothing) {
    const Image longest = BarImage(550);
    EXPECT_EQ(Figure(longest, {0, 548, 17, 552}, Letters), (Rows{".MgGGGGGGGGGGGg.M",  //
                                                                 "..Mggggggggggg.M.",  //
                                                                 "...MMMMMMMMMMMM..",  //
                                                                 "................."}));
    EXPECT_TRUE(Extent(BarImage(0), {0, 0, 17, 570}, Silver, false).IsEmpty());
    EXPECT_EQ(BarImage(-1000), BarImage(0));
    const SurfaceHandle layer = Cleared(17, 570);  // each level's bar covers the last
    for (int32_t level = 1; level <= 10; ++level) {
        PaintBarOn(layer, 55 * level);
    }
    EXPECT_EQ(Snapshot(layer), longest);
}

// A corner of the wall, painted row by row as the game does, with one block shot away.
TEST(EraseBlock, TurnsSilverExactlyTheBlocksAreaAndTheWallMatchesItsGolden) {
    const SurfaceHandle wall = Cleared(140, 180);
    for (int32_t row = 1; row <= 4; ++row) {
        for (int32_t column = 1; column <= 5; ++column) {
            PaintBlockOn(wall, 20 * column, 30 * row, WallColour + 0x10 * column);
        }
    }
    const Image before = Snapshot(wall);
    EraseBlockOn(wall, 60, 60);
    const Image after = Snapshot(wall);
    for (int32_t y = 0; y < after.Height; ++y) {
        for (int32_t x = 0; x < after.Width; ++x) {
            const bool erased = x >= 59 && x <= 79 && y >= 59 && y <= 89;
            ASSERT_EQ(after.At(x, y), erased ? Silver : before.At(x, y)) << x << ", " << y;
        }
    }
    EXPECT_TRUE(MatchesGolden(wall, "wall"));
}

// The golden image places "100" to the pixel: a leading blank would move it right.
TEST(PaintScore, TheNumberHasNoLeadingBlankAndMatchesItsGolden) {
    char buffer[8];
    EXPECT_EQ(ScoreText(7, buffer), "7");
    EXPECT_EQ(ScoreText(-32768, buffer), "-32768");  // the longest text fits the buffer
    EXPECT_TRUE(MatchesGolden(ScoreFrame(100), "score_100"));
}

TEST(PaintScore, AsksForTheSameTwoFontsEveryFrame) {
    const SurfaceHandle frame = ScoreFrame(0);
    const FontHandle before = NewFont("probe before", 10, 0, 0, 0, 0);
    for (int16_t count = 1; count < 20; ++count) {
        PaintScoreOn(frame, count);
    }
    EXPECT_EQ(NewFont("probe after", 10, 0, 0, 0, 0), before + 1);
}

TEST(PaintGameOver, MatchesItsGolden) {
    const SurfaceHandle frame = Cleared(1000, 576);
    PaintGameOver(frame);
    EXPECT_TRUE(MatchesGolden(frame, "gameover"));
}

std::atomic<int32_t> Pumped{0};
bool CountingPump() {
    Pumped.fetch_add(1);
    return true;  // an event was handled: the pause does not sleep
}

TEST(PaintCaption, PausesOnceThenClearsTheLayerSilver) {
    runtime::SetPumpHook(&CountingPump);
    const SurfaceHandle layer = Cleared(620, 550, Green);
    PaintCaption(layer, 0, CaptionText, NewCaptionFont());
    runtime::SetPumpHook(nullptr);
    EXPECT_EQ(Pumped.load(), 1);
    EXPECT_TRUE(Extent(Snapshot(layer), {0, 0, 620, 550}, PixelWord(Green), true).IsEmpty());
}

}  // namespace
}  // namespace render
