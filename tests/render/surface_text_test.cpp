// SPDX-License-Identifier: MIT
// Text: the line metrics and string widths of the score's face, opaque backgrounds,
// positions far out, UTF-8, and the font table.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <tuple>
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

TEST(Text, BoldSerifMetricsWidthsAndLineStepsMatchTheDesktop) {
    struct Row {
        float Points;
        int32_t Ascent, Descent, Height, Leading, Step, Score, Hundred, GameOver, Won;
    };
    const Row table[] = {{14, 17, 4, 21, 1, 22, 157, 30, 95, 67},
                         {24, 29, 7, 36, 1, 37, 263, 48, 159, 112},
                         {48, 57, 14, 71, 3, 74, 529, 96, 317, 224},
                         {84, 100, 24, 124, 5, 129, 925, 168, 557, 392}};
    Cleared(1000, 200);
    for (const Row& row : table) {
        SCOPED_TRACE(row.Points);
        SetTextFont(NewFont(Face, row.Points, FontBold, 0, 0, 0));
        const SurfaceMetrics m = Metrics();
        EXPECT_EQ(std::tuple(m.Ascent, m.Descent, m.Height, m.ExternalLeading),
                  std::tuple(row.Ascent, row.Descent, row.Height, row.Leading));
        EXPECT_EQ(std::tuple(WidthOf("Bloques Destruidos"), WidthOf("100"), WidthOf("Game Over"),
                             WidthOf("Ganaste")),
                  std::tuple(row.Score, row.Hundred, row.GameOver, row.Won));
        SetPosition(7, 5);
        EndTextLine();
        EXPECT_EQ(Metrics().X, 0);
        EXPECT_EQ(Metrics().Y, 5 + row.Step);
    }
}

// Transparent text is checked pixel for pixel by the painters' golden images.
TEST(Text, OpaqueTextFillsItsLinesBandClippedToTheSurface) {
    const SurfaceHandle band = Cleared(300, 100);
    SetTextFont(NewFont(Face, 24, FontBold, 0, 0, 0));
    SetBackColour(Blue);
    SetForeColour(Blue);  // glyphs blended blue over blue: the band is all blue
    SetPosition(-10, 80);
    DrawText("Ganaste");  // 112 wide, line 36 high
    const Image opaque = Snapshot(band);
    EXPECT_EQ(Sides(Extent(opaque, {0, 0, 300, 100}, PixelWord(Blue), true)),
              std::tuple(0, 80, 102, 100));
    EXPECT_EQ(std::ranges::count(opaque.Pixels, PixelWord(Blue)), 102 * 20);
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

TEST(Text, MalformedUtf8BecomesOneReplacementCharacterPerByte) {
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

TEST(NewFont, ReusesTheNumberOfTheSameRequestAndUnknownFontsAreRefused) {
    const FontHandle score = NewFont(Face, 14, FontBold, 0, 0, 0);
    EXPECT_GT(score, 1);
    EXPECT_EQ(NewFont(Face, 14, FontBold, 0, 0, 0), score);
    EXPECT_NE(NewFont(Face, 14, FontBold | FontItalic, 0, 0, 0), score);
    EXPECT_EQ(NewFont("MS Sans Serif", 0, 0, 0, 0, 0), 1);  // size 0 is 8 points
    const std::string longName(40, 'x');
    EXPECT_EQ(NewFont(longName, 9, 0, 0, 0, 0), NewFont(longName.substr(0, 31), 9, 0, 0, 0, 0));

    Cleared(100, 30);
    SetTextFont(score);
    SetTextFont(99999);
    EXPECT_EQ(LastError(), ErrorInvalidHandle);
    EXPECT_EQ(Metrics().Height, 21);
    SetTextFont(NewFont("No Such Face At All", 24, 0, 0, 0, 0));  // falls back, still draws
    EXPECT_GT(WidthOf("Hola"), 20);
}

}  // namespace
}  // namespace render
