// SPDX-License-Identifier: MIT
// Surfaces: handles, copies, the graphic control's refresh, and threads drawing at once.
#include "render/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <thread>
#include <tuple>
#include <vector>

#include "tests/render/surface_support.h"

namespace render {
namespace {

using namespace render::testing;

constexpr SurfaceHandle Window = 0x40000009;  // far above any bitmap's handle
constexpr int32_t Red = 0x0000FF;
constexpr uint32_t RedWord = PixelWord(Red), SilverWord = PixelWord(ColourSilver);
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

// A bitmap whose pixels all differ: colour (x, y, 7).
SurfaceHandle Patterned(int32_t width, int32_t height) {
    const SurfaceHandle bitmap = Cleared(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            DrawBox(x, y, x + 1.0f, y + 2.0f, 0, MakeRgb(x, y, 7), ColourNone, 0);
        }
    }
    return bitmap;
}

TEST(Surfaces, BadAndFreedHandlesDrawNothingAndAreNeverReused) {
    EXPECT_EQ(NewBitmap(0, 5), 0);
    EXPECT_EQ(NewBitmap(1 << 20, 1 << 20), 0);
    const SurfaceHandle bitmap = Cleared(4, 4);
    FreeBitmap(bitmap);
    DrawBox(0, 0, 4, 4, 0, 0, 0, 0);  // still current: draws nowhere
    SurfaceMetrics metrics;
    EXPECT_FALSE(CurrentMetrics(metrics));
    Image image;
    EXPECT_FALSE(ReadPixels(bitmap, 0, image.Pixels, image.Width, image.Height));
    EXPECT_GT(NewBitmap(4, 4), bitmap);
    FreeBitmap(bitmap);  // a second time: no harm
    AttachSurface(0, 0, 0);
    EXPECT_EQ(LastError(), ErrorInvalidHandle);
}

TEST(CopyBitmapAt, ClipsAtEveryEdgeKeepsEachPixelsPlaceAndMayOverlapItself) {
    const SurfaceHandle source = Patterned(5, 4);
    const SurfaceHandle target = Cleared(6, 6);
    CopyBitmapAt(source, 0, -2, -1, RasterCopy);  // cut on the left and top
    CopyBitmapAt(source, 0, 4, 3, RasterCopy);    // and on the right and bottom
    const float off[][2] = {{-5, 0}, {6, 0}, {0, -4}, {0, 6}, {1e30f, NaN}, {-1e30f, -1e30f}};
    for (const auto& at : off) {  // wholly off the surface
        CopyBitmapAt(source, 0, at[0], at[1], RasterCopy);
    }
    const Image from = Snapshot(source), to = Snapshot(target);
    for (int32_t y = 0; y < 6; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            const uint32_t expected = x < 3 && y < 3     ? from.At(x + 2, y + 1)
                                      : x >= 4 && y >= 3 ? from.At(x - 4, y - 3)
                                                         : SilverWord;
            EXPECT_EQ(to.At(x, y), expected) << x << "," << y;
        }
    }
    AttachSurface(source, 0, 0);
    CopyBitmapAt(source, 0, 1, 2, RasterCopy);
    const Image moved = Snapshot(source);
    for (int32_t y = 2; y < 4; ++y) {
        for (int32_t x = 1; x < 5; ++x) {
            EXPECT_EQ(moved.At(x, y), from.At(x - 1, y - 2)) << x << "," << y;
        }
    }
}

// Every pixel outside the covered rectangle, clipped to the surface, takes the colour;
// every pixel inside keeps its own. An empty or inside-out rectangle covers nothing.
TEST(ClearSurface, LeavesTheKeptRectangleAsItWas) {
    const Rect covers[] = {{1, 1, 4, 3}, {-3, -2, 2, 2}, {4, 3, 99, 99},
                           {0, 1, 6, 3}, {0, 0, 6, 5},   {2, 0, 3, 5},
                           {},           {4, 3, 1, 1},   {7, 0, 9, 5}};
    for (const Rect& covered : covers) {
        const SurfaceHandle bitmap = Patterned(6, 5);
        const Image before = Snapshot(bitmap);
        AttachSurface(bitmap, 0, 0);
        ClearSurface(Red, 0, covered);
        const Image after = Snapshot(bitmap);
        for (int32_t y = 0; y < 5; ++y) {
            for (int32_t x = 0; x < 6; ++x) {
                const bool kept = x >= covered.Left && x < covered.Right && y >= covered.Top &&
                                  y < covered.Bottom;
                EXPECT_EQ(after.At(x, y), kept ? before.At(x, y) : RedWord)
                    << x << "," << y << " around " << ::testing::PrintToString(Sides(covered));
            }
        }
    }
}

// Records each refresh, and reads the image from inside it: that takes SurfaceLock,
// so it would never return if the lock were still held.
struct RecordingSink : ControlSink {
    std::vector<Rect> Refreshes;
    uint32_t Corner = 0;
    void Refresh(Rect dirty) override {
        Refreshes.push_back(dirty);
        ReadControlImage(Window, 1001, [&](const uint32_t* pixels, int32_t, int32_t, int32_t) {
            Corner = *pixels;
        });
    }
    std::tuple<int32_t, int32_t, int32_t, int32_t> Last() const {
        return Sides(Refreshes.empty() ? Rect{} : Refreshes.back());
    }
};

// Drawing refreshes the pen's whole extent clamped to the image; a copied frame only
// the part that differs from what the control shows, and nothing when it is the same.
TEST(GraphicControl, RefreshesWhatChangedOutsideTheLock) {
    RecordingSink sink;
    NewGraphicControl(Window, 1001, 40, 30, &sink);
    AttachSurface(Window, 1001, 0);
    DrawBox(5, 6, 10, 12, 0, Red, ColourNone, 0);
    EXPECT_EQ(sink.Last(), std::tuple(4, 5, 11, 13));
    DrawBox(-5, -5, 2, 2, 0, Red, ColourNone, 0);
    EXPECT_EQ(sink.Last(), std::tuple(0, 0, 3, 3));  // clamped to the image
    ClearSurface(Red, 0);
    EXPECT_EQ(sink.Corner, RedWord);

    const SurfaceHandle frame = Cleared(50, 40);
    AttachSurface(Window, 1001, 0);
    CopyBitmap(frame, 0, RasterSourceCopy);
    EXPECT_EQ(sink.Last(), std::tuple(0, 0, 40, 30));  // red everywhere before
    AttachSurface(frame, 0, 0);
    DrawBox(7, 3, 10, 12, 0, Red, Red, 0);
    DrawBox(30, 20, 31, 21, 0, Red, Red, 0);  // 1 x 1: draws nothing
    AttachSurface(Window, 1001, 0);
    CopyBitmap(frame, 0, RasterSourceCopy);
    EXPECT_EQ(sink.Last(), std::tuple(7, 3, 10, 12));
    const size_t refreshes = sink.Refreshes.size();
    CopyBitmapAt(frame, 0, 0, 0, RasterCopy);
    EXPECT_EQ(sink.Refreshes.size(), refreshes);
    const Image shown = Snapshot(Window, 1001);
    EXPECT_EQ(shown.At(7, 3), RedWord);
    EXPECT_EQ(shown.At(7, 2), SilverWord);
}

TEST(Threads, EachThreadDrawsOnItsOwnSurfaceAndOneThatNeverAttachedDrawsNothing) {
    const SurfaceHandle mine = Cleared(8, 8);
    const SurfaceHandle theirs = NewBitmap(8, 8);
    bool strangerHadSurface = true;
    std::thread([&] {
        AttachSurface(theirs, 0, 0);
        ClearSurface(Red, 0);
    }).join();
    std::thread([&] {
        ClearSurface(0, 0);
        DrawBox(0, 0, 8, 8, 0, 0, 0, 0);
        DrawText("Hola");
        CopyBitmap(theirs, 0, RasterCopy);
        SurfaceMetrics metrics;
        strangerHadSurface = CurrentMetrics(metrics);
    }).join();
    EXPECT_FALSE(strangerHadSurface);
    EXPECT_EQ(Snapshot(mine).Pixels, std::vector<uint32_t>(64, SilverWord));
    EXPECT_EQ(Snapshot(theirs).Pixels, std::vector<uint32_t>(64, RedWord));
}

// Four threads draw whole-surface boxes of their own colours while a fifth looks:
// every look sees the clear or one whole box, never a mixture.
TEST(Threads, BoxesDrawnAtOnceAreNeverSeenHalfDrawn) {
    constexpr int32_t Width = 40, Height = 30;
    const int32_t colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
    std::vector<Image> wholes;
    for (int32_t colour : colours) {
        const SurfaceHandle reference = Cleared(Width, Height);
        DrawBox(0, 0, Width, Height, 70, colour ^ 0x808080, colour, 0);
        wholes.push_back(Snapshot(reference));
    }
    const SurfaceHandle shared = Cleared(Width, Height);
    wholes.push_back(Snapshot(shared));
    std::atomic<int32_t> running{4}, mixtures{0};
    std::vector<std::thread> threads;
    for (int32_t colour : colours) {
        threads.emplace_back([&, colour] {
            AttachSurface(shared, 0, 0);
            for (int32_t i = 0; i < 300; ++i) {
                DrawBox(0, 0, Width, Height, 70, colour ^ 0x808080, colour, 0);
            }
            running.fetch_sub(1);
        });
    }
    threads.emplace_back([&] {
        do {
            const Image seen = Snapshot(shared);
            mixtures += std::find(wholes.begin(), wholes.end(), seen) == wholes.end() ? 1 : 0;
        } while (running.load() > 0);
    });
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mixtures.load(), 0);
}

}  // namespace
}  // namespace render
