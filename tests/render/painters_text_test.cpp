// The text painters: the score number's text, where the score line and the end
// screens land, their transparent passes, the fonts they ask for, and the caption.
#include "render/text_painters.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "render/painters.h"
#include "runtime/pacing.h"
#include "tests/render/painters_support.h"

namespace render {
namespace {

using testing::ClearedBitmap;
using testing::CountPixels;
using testing::Extent;
using testing::Image;
using testing::PixelWord;
using testing::Snapshot;

constexpr int32_t Green = 0x00FF00;  // a background no painter uses
constexpr Rect WholeFrame{0, 0, 1000, 576};
constexpr Rect ScoreNumberBand{800, 34, 1000, 80};

SurfaceHandle ScoreSurface(int16_t count, int32_t background = ColourSilver) {
    const SurfaceHandle frame = ClearedBitmap(1000, 576, background);
    PaintScoreOn(frame, count);
    return frame;
}

Image ScoreFrame(int16_t count, int32_t background = ColourSilver) {
    return Snapshot(ScoreSurface(count, background));
}

// The pixels in the exact colour, as a rectangle of their extent.
Rect ExtentOf(const Image& image, int32_t colour, Rect within) {
    Image mask = image;
    for (uint32_t& pixel : mask.Pixels) {
        pixel = pixel == PixelWord(colour) ? 1 : 0;
    }
    return Extent(mask, 0, within);
}

std::string Text(int16_t count) {
    char buffer[8];
    return std::string(ScoreText(count, buffer));
}

// ---- The score line -------------------------------------------------------------

TEST(ScoreText, IsTheDecimalCountWithNoBlanks) {
    EXPECT_EQ(Text(0), "0");
    EXPECT_EQ(Text(7), "7");
    EXPECT_EQ(Text(100), "100");
    EXPECT_EQ(Text(32767), "32767");
    EXPECT_EQ(Text(-1), "-1");
    EXPECT_EQ(Text(-32768), "-32768");  // the longest text still fits the buffer
}

TEST(PaintScore, TheNumberIsLeftAnchoredAt828AndGrowsToTheRight) {
    const Rect nine = ExtentOf(ScoreFrame(9), ColourOrange, ScoreNumberBand);
    const Rect hundred = ExtentOf(ScoreFrame(100), ColourOrange, ScoreNumberBand);
    const Rect zero = ExtentOf(ScoreFrame(0), ColourOrange, ScoreNumberBand);
    for (const Rect& number : {zero, nine, hundred}) {
        EXPECT_GE(number.Left, 828);
        EXPECT_LE(number.Left, 834);  // a leading blank would start it some 8 px later
        EXPECT_GE(number.Top, 35);
    }
    EXPECT_GT(hundred.Right, nine.Right + 20);
    EXPECT_LE(hundred.Right, 828 + 48);  // "100" advances 48 px at 24 points
}

TEST(PaintScore, EveryPassLeavesTheBackgroundBetweenTheLetters) {
    const Image image = ScoreFrame(100, Green);
    const Rect text = Extent(image, PixelWord(Green), WholeFrame);
    EXPECT_GE(text.Left, 759);  // nothing outside the score line's passes changed
    EXPECT_GE(text.Top, 13);
    EXPECT_LE(text.Bottom, 80);
    const Rect label{759, 13, 920, 36};
    EXPECT_GT(CountPixels(image, PixelWord(Green), label), (920 - 759) * (36 - 13) / 2);
    for (int32_t colour : {ColourWhite, ColourMaroon, ColourBlue, ColourOrange}) {
        EXPECT_GT(CountPixels(image, PixelWord(colour), text), 20) << std::hex << colour;
    }
}

TEST(PaintScore, MatchesTheGoldenFrames) {
    EXPECT_TRUE(testing::MatchesGolden(ScoreSurface(0), "score_0"));
    EXPECT_TRUE(testing::MatchesGolden(ScoreSurface(100), "score_100"));
}

TEST(PaintScore, DrawsOnTheFrameWhateverSurfaceIsCurrent) {
    FrameBitmap = ClearedBitmap(1000, 576);
    const SurfaceHandle other = ClearedBitmap(1000, 576);
    PaintScore(42);
    EXPECT_TRUE(Extent(Snapshot(other), PixelWord(ColourSilver), WholeFrame).IsEmpty());
    EXPECT_EQ(Snapshot(FrameBitmap), ScoreFrame(42));
}

TEST(PaintScore, AsksForTheSameTwoFontsEveryFrame) {
    const SurfaceHandle frame = ScoreSurface(0);  // the first frame makes the two fonts
    const FontHandle before = NewFont("probe before", 10, 0, 0, 0, 0);
    for (int16_t count = 1; count < 20; ++count) {
        PaintScoreOn(frame, count);
    }
    EXPECT_EQ(NewFont("probe after", 10, 0, 0, 0, 0), before + 1);
}

// ---- The end screens --------------------------------------------------------------

TEST(EndScreens, MatchTheGoldenFramesAndShareTheirAnchor) {
    const SurfaceHandle lost = ClearedBitmap(1000, 576);
    const SurfaceHandle won = ClearedBitmap(1000, 576);
    PaintGameOver(lost);
    PaintWin(won);
    const Image lostImage = Snapshot(lost), wonImage = Snapshot(won);
    EXPECT_TRUE(testing::MatchesGolden(lost, "gameover"));
    EXPECT_TRUE(testing::MatchesGolden(won, "win"));
    // Both texts begin with the same letter at the same place.
    const Rect lostText = Extent(lostImage, PixelWord(ColourSilver), WholeFrame);
    const Rect wonText = Extent(wonImage, PixelWord(ColourSilver), WholeFrame);
    EXPECT_EQ(lostText.Left, wonText.Left);
    EXPECT_EQ(lostText.Top, wonText.Top);
    EXPECT_GT(lostText.Right, wonText.Right);
    EXPECT_GT(CountPixels(lostImage, PixelWord(ColourRed), lostText), 500);
    EXPECT_GT(CountPixels(wonImage, PixelWord(ColourGold), wonText), 500);
}

// ---- The caption --------------------------------------------------------------------

std::atomic<int32_t> Pumped{0};
bool CountingPump() {
    Pumped.fetch_add(1);
    return true;  // an event was handled: the pause does not sleep
}

TEST(PaintCaption, PausesOnceThenClearsSilverAndDrawsTheText) {
    runtime::SetPumpHook(&CountingPump);
    Pumped = 0;
    const SurfaceHandle layer = ClearedBitmap(620, 550, Green);
    CaptionFont = NewFont(TextFace, 48, FontBold, 0, 0, 0);
    PaintCaption(layer, 0, CaptionText, CaptionFont);
    runtime::SetPumpHook(nullptr);
    EXPECT_EQ(Pumped.load(), 1);
    const Image image = Snapshot(layer);
    EXPECT_EQ(CountPixels(image, PixelWord(Green), {0, 0, 620, 550}), 0);
    EXPECT_TRUE(testing::MatchesGolden(layer, "caption"));
    EXPECT_EQ(NewFont(TextFace, 48, FontBold, 0, 0, 0), CaptionFont.load());
}

}  // namespace
}  // namespace render
