// Text: the line metrics and string widths of the score's face, where glyphs land,
// transparent and opaque backgrounds, lines, UTF-8, and the font table.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "tests/render/surface_support.h"

namespace render {
namespace {

using namespace render::testing;

constexpr std::string_view Face = "Times New Roman";
constexpr int32_t Blue = 0xFF0000;

// The pen's advance over the text in the current font.
int32_t WidthOf(std::string_view text) {
    SetPosition(0, 0);
    DrawText(text);
    return Metrics().X;
}

TEST(Text, BoldSerifMetricsAndWidthsMatchTheDesktop) {
    struct Row {
        float Points;
        int32_t Ascent, Descent, Height, Leading, Score, Hundred, GameOver, Won;
    };
    const Row table[] = {{14, 17, 4, 21, 1, 157, 30, 95, 67},
                         {24, 29, 7, 36, 1, 263, 48, 159, 112},
                         {48, 57, 14, 71, 3, 529, 96, 317, 224},
                         {84, 100, 24, 124, 5, 925, 168, 557, 392}};
    Cleared(1000, 200);
    for (const Row& row : table) {
        SCOPED_TRACE(row.Points);
        SetTextFont(NewFont(Face, row.Points, FontBold, 0, 0, 0));
        const SurfaceMetrics metrics = Metrics();
        EXPECT_EQ(metrics.Ascent, row.Ascent);
        EXPECT_EQ(metrics.Descent, row.Descent);
        EXPECT_EQ(metrics.Height, row.Height);
        EXPECT_EQ(metrics.ExternalLeading, row.Leading);
        EXPECT_EQ(WidthOf("Bloques Destruidos"), row.Score);
        EXPECT_EQ(WidthOf("100"), row.Hundred);
        EXPECT_EQ(WidthOf("Game Over"), row.GameOver);
        EXPECT_EQ(WidthOf("Ganaste"), row.Won);
    }
}

TEST(Text, TransparentTextChangesOnlyGlyphPixelsInsideItsLine) {
    const SurfaceHandle bitmap = Cleared(300, 100);
    SetTextFont(NewFont(Face, 24, FontBold, 0, 0, 0));
    SetBackColour(ColourNone);
    SetForeColour(0x000080);
    SetPosition(20, 30);
    DrawText("Game Over");  // 159 wide; ascent 29, descent 7
    const Image image = Snapshot(bitmap);
    int32_t changed = 0, solid = 0;
    Rect extent{300, 100, 0, 0};
    for (int32_t y = 0; y < 100; ++y) {
        for (int32_t x = 0; x < 300; ++x) {
            if (image.At(x, y) != SilverWord) {
                ++changed;
                solid += image.At(x, y) == 0xFF800000u ? 1 : 0;
                extent = {std::min(extent.Left, x), std::min(extent.Top, y),
                          std::max(extent.Right, x + 1), std::max(extent.Bottom, y + 1)};
            }
        }
    }
    EXPECT_GE(extent.Left, 20);
    EXPECT_LE(extent.Right, 20 + 159);
    EXPECT_GE(extent.Top, 30);
    EXPECT_LE(extent.Bottom, 30 + 29 + 7);
    EXPECT_GT(changed, 500);
    EXPECT_LT(changed, 159 * 36 / 2);
    EXPECT_GT(solid, 100);  // fully covered pixels take the text colour exactly
}

TEST(Text, AnOpaqueBackgroundFillsTheWholeBandClippedToTheSurface) {
    const SurfaceHandle bitmap = Cleared(300, 100);
    SetTextFont(NewFont(Face, 24, FontBold, 0, 0, 0));
    SetBackColour(Blue);
    SetForeColour(Blue);  // glyphs blended blue over blue: the band is all blue
    SetPosition(-10, 80);
    DrawText("Ganaste");  // 112 wide, line 37 high
    const Image image = Snapshot(bitmap);
    for (int32_t y = 0; y < 100; ++y) {
        for (int32_t x = 0; x < 300; ++x) {
            const bool inBand = x < -10 + 112 && y >= 80;
            ASSERT_EQ(image.At(x, y), inBand ? 0xFF0000FFu : SilverWord) << x << "," << y;
        }
    }
}

TEST(Text, DrawsContinueTheLineAndEndTextLineStepsDownToTheLeftEdge) {
    Cleared(400, 200);
    SetTextFont(NewFont(Face, 14, FontBold, 0, 0, 0));
    SetPosition(7, 5);
    DrawText("Bloques Destruidos");
    DrawText("100");
    DrawText("");
    EXPECT_EQ(Metrics().X, 7 + 157 + 30);
    EXPECT_EQ(Metrics().Y, 5);
    EndTextLine();
    EXPECT_EQ(Metrics().X, 0);
    EXPECT_EQ(Metrics().Y, 5 + 22);
}

TEST(Text, FarOutPositionsDrawNothingAndNeverOverflow) {
    const SurfaceHandle bitmap = Cleared(50, 40);
    const Image before = Snapshot(bitmap);
    SetTextFont(NewFont(Face, 84, FontBold, 0, 0, 0));
    for (auto [x, y] : {std::pair{2e9f, 0.0f}, {0.0f, 2e9f}, {-2e9f, -2e9f}, {0.0f, -200.0f}}) {
        SetPosition(x, y);
        DrawText("Game Over");
        EndTextLine();
    }
    EXPECT_EQ(Snapshot(bitmap), before);
    SetPosition(0, 3e9f);
    EndTextLine();
    EXPECT_EQ(Metrics().Y, INT32_MAX);
}

TEST(Text, Utf8IsDecodedAndMalformedBytesBecomeReplacementCharacters) {
    Cleared(300, 60);
    SetTextFont(NewFont(Face, 24, FontBold, 0, 0, 0));
    EXPECT_EQ(WidthOf("Versi\xC3\xB3n"), WidthOf("Version"));  // ó advances like o
    const int32_t replacement = WidthOf("\xEF\xBF\xBD");
    EXPECT_EQ(WidthOf("a\xFF"), WidthOf("a") + replacement);
    EXPECT_EQ(WidthOf("\xC3"), replacement);                  // cut short
    EXPECT_EQ(WidthOf("\xC0\xAF"), 2 * replacement);          // overlong
    EXPECT_EQ(WidthOf("\xED\xA0\x80"), 3 * replacement);      // a surrogate
    EXPECT_EQ(WidthOf("\xF4\x90\x80\x80"), 4 * replacement);  // beyond U+10FFFF
}

TEST(Text, AFaceTheMachineLacksStillDrawsWithoutAnError) {
    std::thread([] {  // a thread of its own, whose error number starts at 0
        const SurfaceHandle bitmap = Cleared(200, 60);
        const Image before = Snapshot(bitmap);
        SetTextFont(NewFont("No Such Face At All", 24, 0, 0, 0, 0));
        EXPECT_EQ(LastError(), 0);
        EXPECT_GT(WidthOf("Hola"), 20);
        EXPECT_NE(Snapshot(bitmap), before);
    })
        .join();
}

TEST(Text, NewBitmapsStartInFontOneAndUnknownFontsAreRefused) {
    Cleared(100, 30);
    const int32_t height = Metrics().Height;
    EXPECT_GT(height, 8);
    EXPECT_LT(height, 20);
    SetTextFont(NewFont(Face, 48, 0, 0, 0, 0));
    SetTextFont(0);  // font 1 again
    EXPECT_EQ(Metrics().Height, height);
    SetTextFont(99999);
    EXPECT_EQ(LastError(), ErrorInvalidHandle);
    EXPECT_EQ(Metrics().Height, height);
}

TEST(NewFont, ReturnsTheSameNumberForTheSameRequestOnly) {
    const FontHandle score = NewFont(Face, 14, FontBold, 0, 0, 0);
    EXPECT_GT(score, 1);
    EXPECT_EQ(NewFont(Face, 14, FontBold, 0, 0, 0), score);
    EXPECT_NE(NewFont(Face, 14, FontBold | FontItalic, 0, 0, 0), score);
    EXPECT_NE(NewFont("times new roman", 14, FontBold, 0, 0, 0), score);
    EXPECT_EQ(NewFont("MS Sans Serif", 0, 0, 0, 0, 0), 1);  // size 0 is 8 points
    const std::string longName(40, 'x');
    EXPECT_EQ(NewFont(longName, 9, 0, 0, 0, 0), NewFont(longName.substr(0, 31), 9, 0, 0, 0, 0));
}

TEST(NewFont, ACellHeightSizeGivesTheWholeCellThatHeight) {
    Cleared(100, 30);
    SetTextFont(NewFont(Face, 24, FontBold | FontCellHeight, 0, 0, 0));
    EXPECT_NEAR(Metrics().Height, 32, 1);
    SetTextFont(NewFont(Face, std::numeric_limits<float>::quiet_NaN(), 0, 0, 0, 0));
    EXPECT_GT(Metrics().Height, 0);
}

}  // namespace
}  // namespace render
