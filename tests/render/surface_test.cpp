// Surfaces: colours and coordinates, attaching and freeing, clearing, copies, the
// graphic control's refresh, several threads at once, and PNG files.
#include "render/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <limits>
#include <thread>
#include <vector>

#include "render/png.h"
#include "runtime/workers.h"
#include "tests/render/surface_support.h"

namespace render {
namespace {

using namespace render::testing;

constexpr SurfaceHandle Window = 0x40000009;  // far above any bitmap's handle
constexpr int32_t Red = 0x0000FF;
constexpr uint32_t RedWord = 0xFFFF0000u;

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

// Every pixel inside the rectangle changed, and none outside it.
bool OnlyChanged(const Image& before, const Image& after, Rect inside) {
    for (int32_t y = 0; y < before.Height; ++y) {
        for (int32_t x = 0; x < before.Width; ++x) {
            const bool within =
                x >= inside.Left && x < inside.Right && y >= inside.Top && y < inside.Bottom;
            if (within == (before.At(x, y) == after.At(x, y))) {
                return false;
            }
        }
    }
    return true;
}

TEST(MakeRgbAndToPixel, ClampPackRoundHalvesToEvenAndSaturate) {
    EXPECT_EQ(MakeRgb(300, -4, 128), 0x8000FF);
    EXPECT_EQ(MakeRgb(0x12, 0x34, 0x56), 0x563412);
    EXPECT_EQ(ToPixel(2.5f), 2);
    EXPECT_EQ(ToPixel(3.5f), 4);
    EXPECT_EQ(ToPixel(-2.5f), -2);
    EXPECT_EQ(ToPixel(2.51f), 3);
    EXPECT_EQ(ToPixel(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(ToPixel(std::numeric_limits<float>::infinity()), INT32_MAX);
    EXPECT_EQ(ToPixel(-3e9f), INT32_MIN);
    Cleared(4, 4);
    SetPosition(2.5f, 3.5f);
    EXPECT_EQ(Metrics().X, 2);
    EXPECT_EQ(Metrics().Y, 4);
}

TEST(ClearSurface, FillsWithTheMaskedColourOrTheBackgroundAndHomesThePosition) {
    const SurfaceHandle bitmap = Cleared(3, 2, 0x336699);
    EXPECT_EQ(Snapshot(bitmap).At(2, 1), 0xFF996633u);
    ClearSurface(static_cast<int32_t>(0x7F0000FF), 0);  // the top byte is ignored
    EXPECT_EQ(Snapshot(bitmap).Pixels, std::vector<uint32_t>(6, RedWord));
    SetBackColour(ColourSilver);
    SetPosition(5, 6);
    ClearSurface(ColourDefault, 0);
    EXPECT_EQ(Snapshot(bitmap).Pixels, std::vector<uint32_t>(6, SilverWord));
    EXPECT_EQ(Metrics().X + Metrics().Y, 0);
    SetBackColour(ColourNone);
    ClearSurface(ColourDefault, 0);  // a transparent background paints nothing
    ClearSurface(ColourNone, 0);
    EXPECT_EQ(Snapshot(bitmap).Pixels, std::vector<uint32_t>(6, SilverWord));
}

TEST(AttachSurface, ToNothingFailsWithError5AndLeavesNoCurrentSurface) {
    Cleared(2, 2);
    AttachSurface(0, 0, 0);
    EXPECT_EQ(LastError(), ErrorInvalidHandle);
    SurfaceMetrics metrics;
    EXPECT_FALSE(CurrentMetrics(metrics));
    EXPECT_EQ(runtime::CurrentThreadState().CurrentSurface, 0);
    EXPECT_EQ(NewBitmap(0, 5), 0);
    EXPECT_EQ(NewBitmap(1 << 20, 1 << 20), 0);
}

TEST(FreeBitmap, ReleasesTheHandleForGoodAndItsUsersDrawNothing) {
    const SurfaceHandle bitmap = Cleared(4, 4);
    FreeBitmap(bitmap);
    std::vector<uint32_t> pixels;
    int32_t width = 0, height = 0;
    EXPECT_FALSE(ReadPixels(bitmap, 0, pixels, width, height));
    DrawBox(0, 0, 4, 4, 0, 0, 0, 0);  // still attached to it: draws nowhere
    SurfaceMetrics metrics;
    EXPECT_FALSE(CurrentMetrics(metrics));
    EXPECT_GT(NewBitmap(4, 4), bitmap);  // never reused
    FreeBitmap(0);
    FreeBitmap(bitmap);
}

TEST(CopyBitmapAt, ClipsAtEveryEdgeAndKeepsEachPixelsPlace) {
    const SurfaceHandle layer = Cleared(600, 510, 0x00D7FF);
    const SurfaceHandle frame = Cleared(1000, 576);
    const Image before = Snapshot(frame);
    CopyBitmapAt(layer, 0, 979, 100, RasterCopy);
    EXPECT_TRUE(OnlyChanged(before, Snapshot(frame), {979, 100, 1000, 576}));

    const SurfaceHandle source = Patterned(5, 4);
    const SurfaceHandle target = Cleared(6, 6);
    CopyBitmapAt(source, 0, -2, -1, RasterCopy);
    const Image from = Snapshot(source), to = Snapshot(target);
    for (int32_t y = 0; y < 6; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            EXPECT_EQ(to.At(x, y), x < 3 && y < 3 ? from.At(x + 2, y + 1) : SilverWord);
        }
    }
    CopyBitmapAt(source, 0, -5, 0, RasterCopy);  // wholly off the surface
    CopyBitmapAt(source, 0, 1e30f, std::numeric_limits<float>::quiet_NaN(), RasterCopy);
    CopyBitmapAt(source, 0, -1e30f, -1e30f, RasterCopy);
    EXPECT_EQ(Snapshot(target), to);
}

TEST(CopyBitmap, CopiesTheCommonTopLeftPartAlikeInBothPlainModes) {
    const SurfaceHandle source = Patterned(7, 3);
    const SurfaceHandle byCode = Cleared(5, 4);
    CopyBitmap(source, 0, RasterCopy);
    const SurfaceHandle byName = Cleared(5, 4);
    CopyBitmap(source, 0, RasterSourceCopy);
    CopyBitmap(0, 0, RasterCopy);  // names nothing: copies nothing
    EXPECT_EQ(Snapshot(byCode), Snapshot(byName));
    EXPECT_TRUE(OnlyChanged(Snapshot(Cleared(5, 4)), Snapshot(byCode), {0, 0, 5, 3}));
}

TEST(CopyBitmapAt, OntoItselfMovesThePixelsIntact) {
    const SurfaceHandle bitmap = Patterned(6, 5);
    const Image before = Snapshot(bitmap);
    CopyBitmapAt(bitmap, 0, 1, 2, RasterCopy);
    const Image after = Snapshot(bitmap);
    for (int32_t y = 2; y < 5; ++y) {
        for (int32_t x = 1; x < 6; ++x) {
            EXPECT_EQ(after.At(x, y), before.At(x - 1, y - 2)) << x << "," << y;
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
    bool Last(Rect want) const {
        const Rect got = Refreshes.empty() ? Rect{} : Refreshes.back();
        return got.Left == want.Left && got.Top == want.Top && got.Right == want.Right &&
               got.Bottom == want.Bottom;
    }
};

TEST(GraphicControl, HandsEachDirtyPartToItsSinkOutsideTheLock) {
    RecordingSink sink;
    NewGraphicControl(Window, 1001, 40, 30, &sink);
    ReadControlImage(Window, 1001, [](const uint32_t* pixels, int32_t w, int32_t h, int32_t s) {
        EXPECT_EQ(w * 1000 + h, 40030);
        EXPECT_EQ(s, 40);
        EXPECT_EQ(*pixels, 0xFFF0F0F0u);  // made in the background colour
    });
    AttachSurface(Window, 1001, 0);
    DrawBox(5, 6, 10, 12, 0, Red, ColourNone, 0);
    EXPECT_TRUE(sink.Last({4, 5, 11, 13}));
    DrawBox(-5, -5, 2, 2, 0, Red, ColourNone, 0);
    EXPECT_TRUE(sink.Last({0, 0, 3, 3}));  // clamped to the image
    ClearSurface(Red, 0);
    EXPECT_TRUE(sink.Last({0, 0, 40, 30}));
    EXPECT_EQ(sink.Corner, RedWord);
    SetForeColour(0x00FF00);  // no pixel changed: no refresh
    EXPECT_EQ(sink.Refreshes.size(), 3u);

    AttachSurface(Window, 1001, 1);  // deferred: the parts gather for the next refresh
    DrawBox(5, 6, 10, 12, 0, Red, ColourNone, 0);
    DrawBox(20, 2, 22, 4, 0, Red, ColourNone, 0);
    EXPECT_EQ(sink.Refreshes.size(), 3u);
    AttachSurface(Window, 1001, 0);
    DrawBox(1, 20, 2, 21, 0, Red, ColourNone, 0);
    EXPECT_TRUE(sink.Last({0, 1, 23, 22}));
    DrawBox(30, 25, 31, 26, 0, Red, ColourNone, 0);  // and are then gone
    EXPECT_TRUE(sink.Last({29, 24, 32, 27}));
}

TEST(GraphicControl, BitmapsAlwaysDeferAndAControlIsNamedByWindowAndId) {
    RecordingSink sink;
    NewGraphicControl(Window, 1001, 10, 10, &sink);
    const SurfaceHandle bitmap = NewBitmap(4, 4);
    AttachSurface(bitmap, 1001, 0);  // no control (bitmap, 1001): the bitmap itself
    ClearSurface(Red, 0);
    EXPECT_TRUE(sink.Refreshes.empty());
    EXPECT_EQ(Snapshot(bitmap).At(0, 0), RedWord);
    AttachSurface(Window, 1002, 0);  // a window is no bitmap
    EXPECT_EQ(LastError(), ErrorInvalidHandle);
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
    const Image blank = Snapshot(shared);
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
            if (seen != blank && std::find(wholes.begin(), wholes.end(), seen) == wholes.end()) {
                mixtures.fetch_add(1);
            }
        } while (running.load() > 0);
    });
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mixtures.load(), 0);
    EXPECT_NE(std::find(wholes.begin(), wholes.end(), Snapshot(shared)), wholes.end());
}

TEST(Png, RoundTripsTheExactPixelsAndReportsFailures) {
    const SurfaceHandle bitmap = Patterned(9, 7);
    const std::string path = ::testing::TempDir() + "zarpeta_surface_test.png";
    ASSERT_TRUE(WriteSurfacePng(bitmap, 0, path));
    Image read;
    ASSERT_TRUE(ReadPng(path, read.Pixels, read.Width, read.Height));
    EXPECT_EQ(read, Snapshot(bitmap));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fputs("not a picture", file);
    std::fclose(file);
    EXPECT_FALSE(ReadPng(path, read.Pixels, read.Width, read.Height));
    std::remove(path.c_str());
    EXPECT_FALSE(WriteSurfacePng(0, 0, path));
    EXPECT_FALSE(WriteSurfacePng(bitmap, 0, "/nonexistent-dir/x.png"));
}

}  // namespace
}  // namespace render
