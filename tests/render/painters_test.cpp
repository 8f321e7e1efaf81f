// The scene painters: each element's exact figure, the wall's edges and its erasure,
// the silver blank, and painting from several threads at once.
#include "render/painters.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/render/painters_support.h"

namespace render {
namespace {

using testing::ClearedBitmap;
using testing::Extent;
using testing::Figure;
using testing::Image;
using testing::MatchesGolden;
using testing::Snapshot;

const uint32_t Silver = testing::PixelWord(ColourSilver);
constexpr int32_t WallColour = 0xB06043;

Image BarImage(int32_t length) {
    const SurfaceHandle layer = ClearedBitmap(17, 570);
    PaintBarOn(layer, length);
    return Snapshot(layer);
}

Image ShotImage(int32_t x) {
    const SurfaceHandle surface = ClearedBitmap(10, 8);
    PaintShot(surface, x, 2);
    return Snapshot(surface);
}

// Blocks of rows 1..rows and columns 1..columns, painted as the wall is: row by row.
SurfaceHandle WallOf(int32_t rows, int32_t columns) {
    const SurfaceHandle layer = ClearedBitmap(20 * columns + 40, 30 * rows + 60);
    for (int32_t row = 1; row <= rows; ++row) {
        for (int32_t column = 1; column <= columns; ++column) {
            PaintBlockOn(layer, 20 * column, 30 * row, WallColour + 0x10 * column);
        }
    }
    return layer;
}

// ---- Figures: white up-left, maroon down-right, the face over both -------------

TEST(PaintShot, IsTheRoundedFaceWithWhiteUpLeftAndMaroonDownRightClippedAtTheEdge) {
    const Image whole = ShotImage(2);
    EXPECT_EQ(Figure(whole, 0, 0, 10, 8),
              "..........\n"
              "..WWWWW...\n"
              ".W.RRRRM..\n"
              ".WROOOORM.\n"
              ".WROOOORM.\n"
              "..MRRRR.M.\n"
              "...MMMMM..\n"
              "..........\n");
    // A shot that hit nothing is last painted at x = -5: only its right end is left.
    const Image clipped = ShotImage(-5);
    EXPECT_EQ(Figure(clipped, 0, 0, 2, 8), Figure(whole, 7, 0, 2, 8));
    EXPECT_TRUE(Extent(clipped, Silver, {2, 0, 10, 8}).IsEmpty());
}

TEST(PaintLauncher, IsTheRoundedGoldFaceAtTheLayersCorner) {
    const SurfaceHandle layer = ClearedBitmap(600, 510);
    PaintLauncherOn(layer);
    const Image image = Snapshot(layer);
    EXPECT_EQ(Figure(image, 0, 0, 20, 6),
              "....WWWWWWWWWW......\n"
              "..WWgggggggggggW....\n"
              ".W.gGGGGGGGGGGGgM...\n"
              ".WgGGGGGGGGGGGGGgM..\n"
              "WgGGGGGGGGGGGGGGGg..\n"
              "WgGGGGGGGGGGGGGGGgM.\n");
    EXPECT_EQ(Figure(image, 0, 46, 20, 7),
              "WgGGGGGGGGGGGGGGGgM.\n"
              ".gGGGGGGGGGGGGGGGgM.\n"
              ".WgGGGGGGGGGGGGGgM..\n"
              "..MgGGGGGGGGGGGg.M..\n"
              "...MgggggggggggMM...\n"
              ".....MMMMMMMMMM.....\n"
              "....................\n");
    const Rect extent = Extent(image, Silver, {0, 0, 600, 510});
    EXPECT_EQ(extent.Right, 19);  // the rest of the layer stays silver
    EXPECT_EQ(extent.Bottom, 52);
}

TEST(PaintBar, IsTheRoundedGoldFaceFromTheLayersTop) {
    const Image image = BarImage(55);
    EXPECT_EQ(Figure(image, 0, 0, 17, 4),
              "..WWWWWWWWWWWW...\n"
              ".W.gggggggggggM..\n"
              "W.gGGGGGGGGGGGgM.\n"
              "WgGGGGGGGGGGGGGgM\n");
    EXPECT_EQ(Figure(image, 0, 52, 17, 5),
              "WgGGGGGGGGGGGGGgM\n"
              ".MgGGGGGGGGGGGg.M\n"
              "..Mggggggggggg.M.\n"
              "...MMMMMMMMMMMM..\n"
              ".................\n");
    EXPECT_EQ(Extent(image, Silver, {0, 0, 17, 570}).Bottom, 56);
}

TEST(PaintBar, TheLongestEndsOnRow550LongerLengthsDrawItShorterOnesNothing) {
    const Image longest = BarImage(LongestBar);
    EXPECT_EQ(Figure(longest, 0, 550, 17, 1), "...MMMMMMMMMMMM..\n");
    EXPECT_TRUE(Extent(longest, Silver, {0, 551, 17, 570}).IsEmpty());
    EXPECT_EQ(BarImage(LongestBar + 1), longest);
    EXPECT_EQ(BarImage(100000), longest);
    EXPECT_TRUE(Extent(BarImage(0), Silver, {0, 0, 17, 570}).IsEmpty());
    EXPECT_EQ(BarImage(-1000), BarImage(0));
}

TEST(PaintBar, ALongerBarCoversTheShorterOneEntirely) {
    const SurfaceHandle layer = ClearedBitmap(17, 570);
    for (int32_t level = 1; level <= 10; ++level) {
        PaintBarOn(layer, 55 * level);
    }
    EXPECT_EQ(Snapshot(layer), BarImage(550));
}

// ---- The wall ---------------------------------------------------------------------

TEST(PaintBlock, InTheWallShowsWhiteUpperLeftAndMaroonLowerRightEdges) {
    // The block of row 1, column 1 covers (20, 30) to (39, 59); its neighbours'
    // maroon boxes lie on its last column and last row.
    const Image image = Snapshot(WallOf(2, 2));
    EXPECT_EQ(Figure(image, 20, 31, 20, 1), "W??????????????????M\n");
    EXPECT_EQ(Figure(image, 21, 30, 18, 1), "WWWWWWWWWWWWWWWWWW\n");
    EXPECT_EQ(Figure(image, 21, 59, 18, 1), "MMMMMMMMMMMMMMMMMM\n");
}

TEST(EraseBlock, TurnsSilverExactlyTheAreaTheBlockWasPaintedOn) {
    const SurfaceHandle layer = WallOf(3, 3);
    const Image before = Snapshot(layer);
    EraseBlockOn(layer, 40, 60);
    const Image after = Snapshot(layer);
    for (int32_t y = 0; y < after.Height; ++y) {
        for (int32_t x = 0; x < after.Width; ++x) {
            const bool erased = x >= 39 && x <= 59 && y >= 59 && y <= 89;
            ASSERT_EQ(after.At(x, y), erased ? Silver : before.At(x, y)) << x << ", " << y;
        }
    }
}

TEST(ScenePainters, MatchTheGoldenLayers) {
    // A bar, the launcher and a corner of the wall with one block shot away, each on
    // a layer of its game's size, and shots leaving and entering a surface.
    const SurfaceHandle bar = ClearedBitmap(17, 570);
    PaintBarOn(bar, 165);
    const SurfaceHandle launcher = ClearedBitmap(600, 510);
    PaintLauncherOn(launcher);
    const SurfaceHandle wall = WallOf(4, 5);
    EraseBlockOn(wall, 60, 60);
    const SurfaceHandle shots = ClearedBitmap(60, 20);
    for (int32_t x : {-5, 10, 25, 55}) {
        PaintShot(shots, x, 8);
    }
    EXPECT_TRUE(MatchesGolden(bar, "bar"));
    EXPECT_TRUE(MatchesGolden(launcher, "launcher"));
    EXPECT_TRUE(MatchesGolden(wall, "wall"));
    EXPECT_TRUE(MatchesGolden(shots, "shots"));
}

// ---- Targets ----------------------------------------------------------------------

TEST(BlankSurface, ClearsEverythingSilverAndStaysAttached) {
    const SurfaceHandle frame = ClearedBitmap(1000, 576, 0x00FF00);
    PaintShot(frame, 500, 300);
    BlankSurface(frame);
    EXPECT_TRUE(Extent(Snapshot(frame), Silver, {0, 0, 1000, 576}).IsEmpty());
    DrawBox(0, 0, 2, 2, 0, ColourWhite, ColourWhite, 0);
    EXPECT_EQ(Figure(Snapshot(frame), 0, 0, 1, 1), "W\n");
}

TEST(ScenePainters, ThePlainFormsPaintTheProcessWideLayers) {
    BarLayer = ClearedBitmap(17, 570);
    BlockLayer = ClearedBitmap(100, 100);
    LauncherLayer = ClearedBitmap(600, 510);
    const SurfaceHandle blocks = ClearedBitmap(100, 100), launcher = ClearedBitmap(600, 510);
    PaintBar(110);
    PaintLauncher();
    PaintLauncherOn(launcher);
    PaintBlock(20, 30, WallColour);
    PaintBlock(40, 30, WallColour);
    EraseBlock(40, 30);
    PaintBlockOn(blocks, 20, 30, WallColour);
    EraseBlockOn(blocks, 40, 30);
    EXPECT_EQ(Snapshot(BarLayer), BarImage(110));
    EXPECT_EQ(Snapshot(LauncherLayer), Snapshot(launcher));
    EXPECT_EQ(Snapshot(BlockLayer), Snapshot(blocks));
}

TEST(ScenePainters, ASurfaceThatCannotBeAttachedGetsNothingAndNothingElseDoes) {
    const SurfaceHandle previous = ClearedBitmap(10, 8);
    PaintShot(0, 2, 2);
    PaintShot(0x7FFF0000, 2, 2);
    BlankSurface(0);
    EXPECT_TRUE(Extent(Snapshot(previous), Silver, {0, 0, 10, 8}).IsEmpty());
}

TEST(ScenePainters, ThreadsPaintingOneFrameAtOnceEachFinishTheirFigures) {
    constexpr int32_t Threads = 4, Steps = 60;
    const SurfaceHandle frame = ClearedBitmap(1000, 576), serial = ClearedBitmap(1000, 576);
    std::vector<std::thread> threads;
    for (int32_t i = 0; i < Threads; ++i) {
        threads.emplace_back([frame, i] {
            for (int32_t step = 0; step < Steps; ++step) {
                PaintShot(frame, 970 - 15 * step, 20 + 40 * i);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int32_t i = 0; i < Threads; ++i) {
        for (int32_t step = 0; step < Steps; ++step) {
            PaintShot(serial, 970 - 15 * step, 20 + 40 * i);
        }
    }
    EXPECT_EQ(Snapshot(frame), Snapshot(serial));
}

}  // namespace
}  // namespace render
