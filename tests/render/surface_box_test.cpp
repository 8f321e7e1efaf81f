// SPDX-License-Identifier: MIT
// Boxes: every pixel of the game's boxes and of the small and degenerate ones,
// clipping, and coordinates far out of range.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "tests/render/surface_support.h"

namespace render {
namespace {

using namespace render::testing;

constexpr int32_t White = 0xFFFFFF, Red = 0x0000FF;
constexpr std::pair<int32_t, char> Letters[] = {{White, '#'}, {Red, '.'}, {ColourSilver, ' '}};

// The box (x1, y1)-(x2, y2), white on red, on a silver surface of width x height.
Rows Drawn(int32_t width, int32_t height, float x1, float y1, float x2, float y2, int32_t corner,
           int32_t fill = Red) {
    const SurfaceHandle bitmap = Cleared(width, height);
    DrawBox(x1, y1, x2, y2, corner, White, fill, 0);
    return Figure(Snapshot(bitmap), {0, 0, width, height}, Letters);
}

// A width x height box at (1, 1) of a surface one pixel larger on every side, so that
// anything painted outside the box shows.
Rows BoxFigure(int32_t width, int32_t height, int32_t corner) {
    return Drawn(width + 2, height + 2, 1, 1, 1.0f + width, 1.0f + height, corner);
}

// The expected figure in its silver frame: the top rows as given, the last of them
// repeated down the sides, the bottom rows mirrored.
Rows Framed(const Rows& top, int32_t height) {
    const size_t width = top.back().size();
    Rows rows{std::string(width + 2, ' ')};
    for (int32_t y = 0; y < height; ++y) {
        const size_t fromEdge = std::min(y, height - 1 - y);
        rows.push_back(' ' + top[std::min(fromEdge, top.size() - 1)] + ' ');
    }
    rows.push_back(std::string(width + 2, ' '));
    return rows;
}

TEST(DrawBox, TheGamesBoxesArePixelExact) {
    EXPECT_EQ(BoxFigure(18, 51, 70), Framed({"    ##########    ",  // launcher, d 12
                                             "  ##..........##  ",  //
                                             " #..............# ",  //
                                             " #..............# ",  //
                                             "#................#"},
                                            51));
    EXPECT_EQ(BoxFigure(16, 55, 40), Framed({"  ############  ",  // bar, d 6
                                             " #............# ",  //
                                             "#..............#"},
                                            55));
    const Rows block = Framed({std::string(20, '#'), '#' + std::string(18, '.') + '#'}, 30);
    EXPECT_EQ(BoxFigure(20, 30, 0), block);
}

TEST(DrawBox, SmallAndEmptyBoxesFollowThePensSegments) {
    EXPECT_EQ(BoxFigure(1, 1, 0), Framed({" "}, 1));  // four segments of no length
    EXPECT_EQ(BoxFigure(1, 4, 0), Framed({"#"}, 4));  // one column of pen
    EXPECT_EQ(BoxFigure(4, 1, 50), Framed({"####"}, 1));
    EXPECT_EQ(BoxFigure(2, 5, 100), Framed({"##"}, 5));  // all pen, no fill
    EXPECT_EQ(BoxFigure(5, 2, 100), Framed({"#####"}, 2));
    EXPECT_EQ(BoxFigure(3, 3, 0), Framed({"###", "#.#"}, 3));
    EXPECT_EQ(Drawn(6, 6, 2, 1, 2, 5, 0), Rows(6, "      "));   // no width
    EXPECT_EQ(Drawn(6, 6, 1, 3, 5, 3, 50), Rows(6, "      "));  // no height
    EXPECT_EQ(Drawn(5, 4, 0, 0, 5, 4, 0, ColourNone), (Rows{"#####", "#   #", "#   #", "#####"}));
}

TEST(DrawBox, CornersAreOrderedClampedAndSquareUpToTwoPixels) {
    const Rows ordered = Drawn(30, 20, 3, 2, 21, 17, 70);
    EXPECT_EQ(Drawn(30, 20, 21, 2, 3, 17, 70), ordered);
    EXPECT_EQ(Drawn(30, 20, 21, 17, 3, 2, 70), ordered);
    EXPECT_EQ(BoxFigure(18, 51, 150), BoxFigure(18, 51, 100));
    EXPECT_EQ(BoxFigure(12, 9, -20), BoxFigure(12, 9, 0));
    EXPECT_EQ(BoxFigure(20, 10, 20), BoxFigure(20, 10, 0));  // ellipse 2: square
    EXPECT_NE(BoxFigure(20, 10, 30), BoxFigure(20, 10, 0));  // ellipse 3: rounded
}

TEST(DrawBox, IsClippedLikeTheSameBoxSeenThroughAWindow) {
    for (auto [x, y] : {std::pair{-9, -20}, {-17, 3}, {4, -50}, {10, 12}, {1, 40}, {-5, 44}}) {
        SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
        const Rows clipped = Drawn(20, 60, x, y, x + 18.0f, y + 51.0f, 70);
        const Rows whole = Drawn(80, 180, x + 30.0f, y + 60.0f, x + 48.0f, y + 111.0f, 70);
        for (int32_t row = 0; row < 60; ++row) {
            ASSERT_EQ(clipped[row], whole[row + 60].substr(30, 20));
        }
    }
}

// Run under the address sanitizer, this also shows that nothing lands outside the buffer.
TEST(DrawBox, HugeAndNonFiniteCoordinatesStayInsideTheBuffer) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float boxes[][4] = {{-3e38f, -3e38f, 3e38f, 3e38f},
                              {nan, nan, 5, 5},
                              {1e9f, 1e9f, 2e9f, 2e9f},
                              {-2e9f, 2, 9, 3e9f},
                              {inf, nan, -inf, 4},
                              {-1e6f, 3, 1e6f, 7}};
    for (const auto& box : boxes) {
        for (int32_t corner : {0, 70, 100}) {
            EXPECT_EQ(Drawn(8, 6, box[0], box[1], box[2], box[3], corner).size(), 6u);
        }
    }
    // A box around the whole surface has its outline off it: only the fill shows.
    EXPECT_EQ(Drawn(8, 6, -inf, -inf, inf, inf, 0), Rows(6, "........"));
    EXPECT_EQ(Drawn(8, 6, -1e9f, -1e9f, 1e9f, 1e9f, 70), Rows(6, "........"));
    EXPECT_EQ(Drawn(8, 6, nan, nan, 3, 3, 0), Drawn(8, 6, 0, 0, 3, 3, 0));  // NaN is 0
}

}  // namespace
}  // namespace render
