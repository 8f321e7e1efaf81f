// SPDX-License-Identifier: MIT
// The drawing layer where a script does not reach: handles, kept rectangles, positions
// far out, the graphic control's changes, boxes against the same box seen through a
// window, the font table, and what the painters touch. The images and advances a
// script can draw are pinned by the scenarios of tests/tools/scenarios/.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <numeric>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "render/painters.h"
#include "render/surface.h"
#include "render/text_painters.h"

namespace render {
namespace {

constexpr int32_t Red = 0x0000FF, Blue = 0xFF0000;
constexpr float Inf = std::numeric_limits<float>::infinity();
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

// The pixel word (0xFFRRGGBB) that a colour (0x00BBGGRR) paints.
constexpr uint32_t Word(int32_t colour) {
    const auto bgr = static_cast<uint32_t>(colour);
    return 0xFF000000u | (bgr & 0xFFu) << 16 | (bgr & 0xFF00u) | (bgr >> 16 & 0xFFu);
}

struct Image {
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t At(int32_t x, int32_t y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
    bool operator==(const Image&) const = default;
};

Image Snapshot(SurfaceHandle surface, int32_t control = 0) {
    Image image;
    EXPECT_TRUE(ReadPixels(surface, control, image.Pixels, image.Width, image.Height));
    return image;
}

// A new bitmap, attached on the calling thread and cleared to the colour.
SurfaceHandle Cleared(int32_t width, int32_t height, int32_t colour = ColourSilver) {
    const SurfaceHandle bitmap = NewBitmap(width, height);
    AttachSurface(bitmap, 0);
    ClearSurface(colour);
    return bitmap;
}

bool AllOf(const Image& image, int32_t colour = ColourSilver) {
    return std::ranges::all_of(image.Pixels, [&](uint32_t p) { return p == Word(colour); });
}

bool Holds(Rect area, int32_t x, int32_t y) {
    return x >= area.Left && x < area.Right && y >= area.Top && y < area.Bottom;
}

TEST(Surfaces, BadAndFreedHandlesDrawNothingAndAreNeverReused) {
    EXPECT_EQ(std::pair(NewBitmap(0, 5), NewBitmap(1 << 20, 1 << 20)), std::pair(0, 0));
    const SurfaceHandle bitmap = Cleared(4, 4);
    FreeBitmap(bitmap);
    DrawBox(0, 0, 4, 4, 0, 0, 0);  // still current: draws nowhere
    SurfaceMetrics metrics;
    Image image;
    EXPECT_FALSE(CurrentMetrics(metrics) ||
                 ReadPixels(bitmap, 0, image.Pixels, image.Width, image.Height));
    EXPECT_GT(NewBitmap(4, 4), bitmap);
    FreeBitmap(bitmap);                                        // a second time: no harm
    for (const SurfaceHandle none : {0, NewWindowHandle()}) {  // a window: only its controls
        Cleared(1, 1);
        AttachSurface(none, 0);
        EXPECT_FALSE(CurrentMetrics(metrics)) << none;
    }
    EXPECT_EQ(LastError(), ErrorInvalidHandle);
}

// Outside the kept rectangle, clipped to the surface, the colour; inside, as it was.
TEST(Surfaces, ClearsKeepTheirRectangle) {
    const Rect keeps[] = {{1, 1, 4, 3}, {-3, -2, 2, 2}, {4, 3, 99, 99},
                          {0, 1, 6, 3}, {0, 0, 6, 5},   {2, 0, 3, 5},
                          {},           {4, 3, 1, 1},   {7, 0, 9, 5}};
    for (const Rect& kept : keeps) {
        const SurfaceHandle bitmap = Cleared(6, 5);
        ClearSurface(MakeRgb(0x57, -9, 300), kept);  // each part clamped to 0..255
        const Image after = Snapshot(bitmap);
        for (int32_t at = 0, x = 0, y = 0; at < 30; ++at, x = at % 6, y = at / 6) {
            EXPECT_EQ(after.At(x, y), Word(Holds(kept, x, y) ? ColourSilver : 0xFF0057))
                << x << "," << y << " keeping " << kept.Left << "," << kept.Top;
        }
    }
}

const SurfaceHandle Window = NewWindowHandle();

// Hears of changes and, when taking, takes them from inside Changed: that takes the
// surfaces' lock, so it would never return if the lock were still held.
struct RecordingSink : ControlSink {
    bool Taking = true;
    int32_t Told = 0;
    DamageList Parts;  // the last parts taken
    void Changed() override {
        ++Told;
        if (Taking) {
            TakeControlChanges(Window, 1001, Parts);
        }
    }
    std::tuple<int32_t, int32_t, int32_t, int32_t> Last() const {
        const Rect r = std::accumulate(Parts.Rects.begin(), Parts.Rects.begin() + Parts.Count,
                                       Rect{}, UnionOf);
        return {r.Left, r.Top, r.Right, r.Bottom};
    }
    static uint32_t At(int32_t x, int32_t y) {
        return ControlImage(Window, 1001).Words[y * 40 + x];
    }
};

void Tell(ControlSink* sink) {
    if (sink != nullptr) {
        sink->Changed();
    }
}

// A drawing marks the pen's whole extent clamped to the image, a copy what it covered,
// and parts far apart stay apart; the sink is told outside the lock, once until the
// changes are taken. A presented bitmap reaches the image at the take, within its
// areas only, and in order with drawings on the control before and after it.
TEST(GraphicControl, TellsOfItsChangesOnceAndShowsThemInOrder) {
    RecordingSink sink;
    NewGraphicControl(Window, 1001, 40, 30, &sink);
    EXPECT_EQ(sink.Last(), std::tuple(0, 0, 40, 30));  // a new control is all changed
    AttachSurface(Window, 1001);
    DrawBox(5, 6, 10, 12, 0, Red, ColourNone);
    EXPECT_EQ(sink.Last(), std::tuple(4, 5, 11, 13));
    DrawBox(-5, -5, 2, 2, 0, Red, ColourNone);
    EXPECT_EQ(sink.Last(), std::tuple(0, 0, 3, 3));  // clamped to the image
    const SurfaceHandle frame = Cleared(50, 40);
    DrawBox(1, 1, 3, 3, 0, Blue, Blue);
    DrawBox(35, 25, 38, 28, 0, Blue, Blue);
    AttachSurface(Window, 1001);
    CopyBitmapAt(frame, 0, 30, 20);
    EXPECT_EQ(sink.Last(), std::tuple(30, 20, 40, 30));
    ClearSurface(Red);
    sink.Taking = false;
    const int32_t told = sink.Told;
    DamageList areas;
    AddDamage(areas, {0, 0, 4, 4});
    AddDamage(areas, {34, 24, 40, 30});
    areas.Rects[2] = {4, 0, 8, 4};  // past the count: not one of the areas
    Tell(PresentBitmap(Window, 1001, frame, areas));
    Tell(PresentBitmap(Window, 1001, frame, areas));
    EXPECT_EQ(std::pair(sink.Told, sink.At(2, 2)), std::pair(told + 1, Word(Red)));  // not yet
    TakeControlChanges(Window, 1001, sink.Parts);
    // Copied within its areas only: (4, 0), just right of the first, stays red.
    EXPECT_EQ(std::tuple(sink.Parts.Count, sink.At(2, 2), sink.At(5, 5), sink.At(4, 0)),
              std::tuple(2, Word(Blue), Word(Red), Word(Red)));
    Tell(PresentBitmap(Window, 1001, frame, areas));
    ClearSurface(Red);  // a drawing after a presentation covers it
    TakeControlChanges(Window, 1001, sink.Parts);
    EXPECT_EQ(std::tuple(sink.Told, sink.Last(), sink.At(36, 26)),
              std::tuple(told + 2, std::tuple(0, 0, 40, 30), Word(Red)));
    ClearSurface(Red);
    Tell(PresentBitmap(Window, 1001, frame, areas));  // a presentation after a drawing covers it
    sink.Taking = true;
    TakeControlChanges(Window, 1001, sink.Parts);
    EXPECT_EQ(std::tuple(sink.At(2, 2), sink.At(5, 5)), std::tuple(Word(Blue), Word(Red)));
    // The record keeps its old parts past its count: a take copies in only the new one.
    DrawBox(35, 25, 38, 28, 0, Red, Red);
    DamageList one;
    AddDamage(one, {10, 10, 12, 12});
    Tell(PresentBitmap(Window, 1001, frame, one));
    EXPECT_EQ(std::pair(sink.Parts.Count, sink.At(36, 26)), std::pair(1, Word(Red)));
}

// Full, the list joins each new part to an entry and never drops one: a tick with many
// shots ending at once still shows each of their places again.
TEST(DamageList, PastItsCapacityEveryPartStaysCovered) {
    DamageList list;
    const auto part = [](int32_t i) { return Rect{i * 3, 0, i * 3 + 4, 2}; };  // meets the next
    const auto covered = [&](Rect area) {
        return std::ranges::any_of(list.Rects, [&](Rect r) { return UnionOf(r, area) == r; });
    };
    for (int32_t i = 0; i < 3 * DamageList::Capacity; ++i) {
        AddDamage(list, part(i));
    }
    for (int32_t i = 0; i < 3 * DamageList::Capacity; ++i) {
        EXPECT_TRUE(covered(part(i))) << i;
    }
}

// The box (x1, y1)-(x2, y2), white on red, on a silver surface of width x height.
Image Drawn(int32_t width, int32_t height, float x1, float y1, float x2, float y2, int32_t corner) {
    const SurfaceHandle bitmap = Cleared(width, height);
    DrawBox(x1, y1, x2, y2, corner, ColourWhite, Red);
    return Snapshot(bitmap);
}

// Run under the address sanitizer, this also shows that nothing lands outside the buffer.
TEST(DrawBox, IsClippedLikeTheSameBoxSeenThroughAWindowEvenFarOut) {
    for (auto [x, y] : {std::pair{-9, -20}, {-17, 3}, {4, -50}, {10, 12}, {1, 40}, {-5, 44}}) {
        const Image clipped = Drawn(20, 60, x, y, x + 18.0f, y + 51.0f, 70);
        const Image whole = Drawn(80, 180, x + 30.0f, y + 60.0f, x + 48.0f, y + 111.0f, 70);
        for (size_t at = 0; at < clipped.Pixels.size(); ++at) {
            ASSERT_EQ(clipped.Pixels[at], whole.At(at % 20 + 30, at / 20 + 60)) << x << ", " << y;
        }
    }
    const float far[] = {-3e38f, -3e38f, 3e38f, 3e38f, NaN, NaN, 5,    5, 1e9f,  1e9f, 2e9f, 2e9f,
                         -2e9f,  2,      9,     3e9f,  Inf, NaN, -Inf, 4, -1e6f, 3,    1e6f, 7};
    for (size_t at = 0; at < std::size(far); at += 4) {  // a box's two corners at a time
        for (int32_t corner : {0, 70, 100}) {
            Drawn(8, 6, far[at], far[at + 1], far[at + 2], far[at + 3], corner);
        }
    }
    // A box around the whole surface has its outline off it: only the fill shows.
    EXPECT_TRUE(AllOf(Drawn(8, 6, -Inf, -Inf, Inf, Inf, 0), Red));
    EXPECT_TRUE(AllOf(Drawn(8, 6, -1e9f, -1e9f, 1e9f, 1e9f, 70), Red));
    EXPECT_EQ(Drawn(8, 6, NaN, NaN, 3, 3, 0), Drawn(8, 6, 0, 0, 3, 3, 0));  // NaN is 0
}

constexpr std::string_view Face = "Times New Roman";

FontHandle Bold(float points) {
    return NewFont(Face, points, FontBold);
}

// Copies and text placed far beyond the surface, further than a script can place
// them, draw nothing; a line ended that far down stops at the last row there is.
TEST(Surfaces, FarOutCopiesAndTextDrawNothing) {
    const SurfaceHandle source = Cleared(5, 4, Red);
    const SurfaceHandle bitmap = Cleared(50, 40);
    for (auto [x, y] : {std::pair{1e30f, NaN}, {-1e30f, 0.0f}, {NaN, 3e9f}}) {
        CopyBitmapAt(source, 0, x, y);
    }
    SetTextFont(Bold(84));
    for (auto [x, y] : {std::pair{2e9f, 0.0f}, {0.0f, 2e9f}, {-2e9f, -2e9f}, {0.0f, -200.0f}}) {
        SetPosition(x, y);
        DrawText("Game Over");
        EndTextLine();
    }
    EXPECT_TRUE(AllOf(Snapshot(bitmap)));
    SetPosition(0, 3e9f);
    EndTextLine();
    SurfaceMetrics metrics;
    EXPECT_TRUE(CurrentMetrics(metrics) && metrics.Y == INT32_MAX);
}

// The same request gets the same number: the score asks for its two fonts each frame,
// and the table does not grow. Unknown handles are refused and leave the font as it was.
TEST(NewFont, ReusesTheNumberOfTheSameRequestAndUnknownFontsAreRefused) {
    const FontHandle score = Bold(14);
    EXPECT_TRUE(score > 1 && Bold(14) == score);
    EXPECT_NE(NewFont(Face, 14, FontBold | FontItalic), score);
    EXPECT_EQ(NewFont("MS Sans Serif", 0, 0), 1);  // size 0 is 8 points
    const std::string longName(40, 'x');
    EXPECT_EQ(NewFont(longName, 9, 0), NewFont(longName.substr(0, 31), 9, 0));
    const SurfaceHandle frame = Cleared(1000, 576);
    SetTextFont(score);
    SetTextFont(99999);
    EXPECT_EQ(LastError(), ErrorInvalidHandle);
    SurfaceMetrics metrics;
    EXPECT_TRUE(CurrentMetrics(metrics) && metrics.Height == 21);
    EXPECT_EQ(
        std::tuple(MakeFontNow(score, "Hola"), MakeFontNow(99999, "Hola"), MakeFontNow(0, "")),
        std::tuple(true, false, false));
    PaintScoreOn(frame, 0);
    const FontHandle before = NewFont("probe before", 10, 0);
    for (int16_t count = 1; count < 20; ++count) {
        PaintScoreOn(frame, count);
    }
    EXPECT_EQ(NewFont("probe after", 10, 0), before + 1);
}

// ---- The painters --------------------------------------------------------------

// Whether every pixel that is not silver lies in one of the areas.
bool PaintedWithin(const Image& image, std::initializer_list<Rect> areas) {
    for (int32_t at = 0, x = 0, y = 0; at < std::ssize(image.Pixels);
         ++at, x = at % image.Width, y = at / image.Width) {
        if (image.Pixels[static_cast<size_t>(at)] != Word(ColourSilver) &&
            std::ranges::none_of(areas, [&](Rect area) { return Holds(area, x, y); })) {
            return false;
        }
    }
    return true;
}

// What a painter touches lies in its area, the score line's whatever the count, and a
// bar's rows between its end rows are all alike: the window shows them again only from
// those. A shot with no surface, or one that names none, paints nothing, not even on
// the current surface.
TEST(Painters, PaintWithinTheirAreasAndABarsMiddleRowsAreAlike) {
    const SurfaceHandle wall = Cleared(60, 70);
    PaintBlockOn(wall, 20, 30, Red);
    EXPECT_TRUE(PaintedWithin(Snapshot(wall), {BlockArea(20, 30)}));
    const SurfaceHandle frame = Cleared(1000, 80);
    PaintScoreOn(frame, -32768);  // the widest count
    EXPECT_TRUE(PaintedWithin(Snapshot(frame), {ScoreLineArea()}));
    EraseBlockOn(wall, 20, 30);
    PaintShot(0, 22, 32);
    PaintShot(0x7FFF0000, 22, 32);
    EXPECT_TRUE(AllOf(Snapshot(wall)));
    for (int32_t length = 55; length <= 550; length += 55) {
        const SurfaceHandle layer = Cleared(17, 570);
        PaintBarOn(layer, length);
        const Image bar = Snapshot(layer);
        EXPECT_TRUE(PaintedWithin(bar, {BarArea(length)})) << length;
        for (int32_t y = BarEndRows; y < length + 1 - BarEndRows; ++y) {
            ASSERT_TRUE(std::equal(&bar.Pixels[y * 17], &bar.Pixels[y * 17 + 17],
                                   &bar.Pixels[BarEndRows * 17]))
                << length << " row " << y;
        }
    }
}

// ---- At a device scale ---------------------------------------------------------

// The bar at the origin, a shot, and nine blocks at odd places, where an edge and its
// neighbour one pixel away lie one device pixel apart at 3/2 as often as two.
void PaintScene(SurfaceHandle target, Scale) {
    PaintBarOn(target, 55);
    PaintShot(target, 100, 20);
    for (int32_t y = 31; y <= 91; y += 30) {
        for (int32_t x = 21; x <= 61; x += 20) {
            PaintBlockOn(target, x, y, x == 41 ? ColourGold : Blue);
        }
    }
}

// The scene, then boxes, fills and copies over it, cut at the edges and at a clip.
void PaintAll(SurfaceHandle target, Scale scale) {
    PaintScene(target, scale);
    EraseBlockOn(target, 41, 61);
    DrawBox(-3, 2, 9, 40, 0, ColourWhite, Red);
    DrawBox(114, 135, 60, 50, 100, ColourWhite, ColourNone);  // reversed
    DrawBox(5, 50, 6, 51, 0, Red, Red);                       // 1 x 1: nothing
    DrawBox(10, 50, 11, 70, 0, Blue, Red);
    ClipDrawing({7, 9, 53, 61});
    ClearSurface(ColourWhite, {20, 30, 40, 45});
    DrawBox(20, -5, 38, 46, 70, Blue, Red);
    UnclipDrawing();
    const OwnedBitmap layer(NewBitmap(30, 60, scale));
    PaintLauncherOn(layer);
    AttachSurface(target, 0);
    CopyBitmap(layer, 0);
    CopyBitmapAt(layer, 0, 95, 90);
}

// Drawn on a silver surface of 110 x 125 logical pixels at the scale.
Image DrawnAt(void (*draw)(SurfaceHandle, Scale), Scale scale) {
    const SurfaceHandle target = NewBitmap(110, 125, scale);
    ResetSurfaceToSilver(target, 0);
    draw(target, scale);
    return Snapshot(target);
}

TEST(Scale, AtAWholeScaleEverythingIsItsDrawingAt1xWithEachPixelABlock) {
    const Image once = DrawnAt(PaintAll, {});
    for (const int32_t k : {2, 3}) {
        Image blown{110 * k, 125 * k, {}};
        for (int32_t at = 0; at < blown.Width * blown.Height; ++at) {
            blown.Pixels.push_back(once.At(at % blown.Width / k, at / blown.Width / k));
        }
        EXPECT_TRUE(DrawnAt(PaintAll, {k, 1}) == blown) << k;
    }
}

// Along the middle row and column of a part: silver up to its first outline, then
// outlines (white, maroon, grey, red) each one line wide and faces within a pixel of
// each other, with no silver (a seam) up to its last outline.
void ExpectEvenLines(const Image& image, Rect part, int32_t line) {
    const auto outline = [](uint32_t p) {
        return p == Word(ColourWhite) || p == Word(ColourMaroon) || p == Word(ColourGrey) ||
               p == Word(ColourRed);
    };
    for (const bool across : {true, false}) {
        std::vector<std::pair<uint32_t, int32_t>> runs{{Word(ColourSilver), 0}};
        for (int32_t i = across ? part.Left : part.Top; i < (across ? part.Right : part.Bottom);
             ++i) {
            const uint32_t pixel = across ? image.At(i, (part.Top + part.Bottom) / 2)
                                          : image.At((part.Left + part.Right) / 2, i);
            if (runs.back().first != pixel) {
                runs.emplace_back(pixel, 0);
            }
            ++runs.back().second;
        }
        while (runs.size() > 1 && !outline(runs.back().first)) {
            runs.pop_back();
        }
        int32_t narrowest = INT32_MAX, widest = 0;
        for (auto [pixel, length] : std::vector(runs.begin() + 1, runs.end())) {
            EXPECT_TRUE(outline(pixel) ? length == line : pixel != Word(ColourSilver))
                << part.Left << "," << part.Top << (across ? " across" : " down");
            narrowest = outline(pixel) ? narrowest : std::min(narrowest, length);
            widest = outline(pixel) ? widest : std::max(widest, length);
        }
        EXPECT_LE(widest - narrowest, 1) << part.Left << "," << part.Top;
    }
}

TEST(Scale, AtAnyScaleLinesKeepOneWidthAndBlocksMeetWithoutASeam) {
    for (const auto& [num, den, line] :
         {std::tuple{1, 1, 1}, {5, 4, 1}, {3, 2, 2}, {2, 1, 2}, {4, 5, 1}}) {
        const Scale scale{num, den};
        SCOPED_TRACE(std::to_string(num) + "/" + std::to_string(den));
        const Image scene = DrawnAt(PaintScene, scale);
        const Rect parts[] = {ToDevice(BarArea(55), scale), ToDevice(ShotArea(100, 20), scale),
                              ToDevice({19, 29, 81, 121}, scale)};  // the wall
        for (const Rect part : parts) {
            ExpectEvenLines(scene, part, line);
        }
        EXPECT_TRUE(PaintedWithin(scene, {parts[0], parts[1], parts[2]}));
        const Rect launcherArea = ToDevice(LauncherArea(), scale);
        const Image launcher = DrawnAt([](SurfaceHandle t, Scale) { PaintLauncherOn(t); }, scale);
        ExpectEvenLines(launcher, launcherArea, line);
        EXPECT_TRUE(PaintedWithin(launcher, {launcherArea}));
        const auto clipped = [](SurfaceHandle target, Scale s) {
            ClipDrawing({5, 45, 65, 100});
            PaintScene(target, s);
        };
        EXPECT_TRUE(PaintedWithin(DrawnAt(clipped, scale), {ToDevice({5, 45, 65, 100}, scale)}));
        UnclipDrawing();
    }
}

// Columns of what is not silver, those the same as the column on their left (a 1x
// image blown up k times repeats (k - 1) / k of them), and the bounds of it all.
struct Ink {
    int32_t Columns = 0, Repeated = 0;
    Rect Bounds;
};

Ink InkOf(const Image& image) {
    Ink ink;
    for (int32_t x = 0; x < image.Width; ++x) {
        bool any = false, same = x > 0;
        for (int32_t y = 0; y < image.Height; ++y) {
            const bool inked = image.At(x, y) != Word(ColourSilver);
            any = any || inked;
            same = same && image.At(x, y) == image.At(std::max(x - 1, 0), y);
            ink.Bounds = inked ? UnionOf(ink.Bounds, {x, y, x + 1, y + 1}) : ink.Bounds;
        }
        ink.Columns += any;
        ink.Repeated += any && same;
    }
    return ink;
}

// The text (the score's label) at (x, y), clipped, on a silver 200 x 40 bitmap at the scale.
Image TextAt(Scale scale, int32_t x, int32_t y, Rect clip = {0, 0, 200, 40},
             std::string_view text = ScoreLabel, FontHandle font = Bold(14)) {
    const OwnedBitmap target(NewBitmap(200, 40, scale));
    ResetSurfaceToSilver(target, 0);
    SetTextFont(font);
    SetPosition(static_cast<float>(x), static_cast<float>(y));
    ClipDrawing(clip);
    DrawText(text);
    UnclipDrawing();
    return Snapshot(target);
}

// Text on a scaled surface is its font drawn at the scaled em, not its 1x pixels blown
// up: about scale times as wide, hardly a column repeated, placed from the device pixel
// of its position and cut at its clip. The painters' passes lie one line from the face,
// within the score's area. Glyphs at one em leave those at another as they were.
TEST(Scale, TextIsDrawnAtItsSizeFromTheDevicePixelOfItsPosition) {
    const Rect once = InkOf(TextAt({}, 7, 5)).Bounds;
    for (const Scale scale : {Scale{5, 4}, Scale{3, 2}, Scale{2, 1}, Scale{3, 1}}) {
        SCOPED_TRACE(std::to_string(scale.Num) + "/" + std::to_string(scale.Den));
        const Ink ink = InkOf(TextAt(scale, 7, 5));
        const int32_t width = (once.Right - once.Left) * scale.Num / scale.Den;
        EXPECT_NEAR(ink.Bounds.Right - ink.Bounds.Left, width, 2 + width / 50);
        EXPECT_LT(ink.Repeated * 2 * scale.Num, ink.Columns * (scale.Num - scale.Den));
        const auto dx = static_cast<int32_t>(ToDevice(10, scale) - ToDevice(7, scale));
        const auto dy = static_cast<int32_t>(ToDevice(9, scale) - ToDevice(5, scale));
        const Rect& at = ink.Bounds;
        EXPECT_EQ(InkOf(TextAt(scale, 10, 9)).Bounds,
                  (Rect{at.Left + dx, at.Top + dy, at.Right + dx, at.Bottom + dy}));
        const Image clipped = TextAt(scale, 7, 5, {30, 8, 61, 14});
        EXPECT_TRUE(PaintedWithin(clipped, {ToDevice({30, 8, 61, 14}, scale)}) && !AllOf(clipped));
        EXPECT_NE(LastError(), ErrorNotAtScale);
        const OwnedBitmap frame(NewBitmap(1000, 370, scale));
        ResetSurfaceToSilver(frame, 0);
        PaintScoreOn(frame, -32768);
        EXPECT_TRUE(PaintedWithin(Snapshot(frame), {ToDevice(ScoreLineArea(), scale)}));
        ResetSurfaceToSilver(frame, 0);
        SetTextFont(Bold(84));
        SetPosition(EndX, EndY);
        DrawText(LostText);
        const Rect face = InkOf(Snapshot(frame)).Bounds;
        const int32_t line = LineWidth(scale);
        PaintGameOver(frame);
        EXPECT_EQ(InkOf(Snapshot(frame)).Bounds,
                  (Rect{face.Left - line, face.Top - line, face.Right + line, face.Bottom + line}));
    }
    const FontHandle anew = NewFont("times new roman", 14, FontBold);  // the same face, new
    EXPECT_EQ(TextAt({}, 7, 5, {0, 0, 200, 40}, "Wzy"),
              TextAt({}, 7, 5, {0, 0, 200, 40}, "Wzy", anew));
}

// A bitmap is not copied across two scales: refused, it draws nothing. A scale is in
// lowest terms.
TEST(Scale, CopiesAcrossScalesAreRefused) {
    const SurfaceHandle plain = Cleared(40, 30, Red);
    const SurfaceHandle scaled = NewBitmap(5, 4, MakeScale(10, 8));
    ResetSurfaceToSilver(scaled, 0);
    CopyBitmap(plain, 0);
    const Image image = Snapshot(scaled);
    EXPECT_EQ(
        std::tuple(image.Width, image.Height, AllOf(image), LastError(), NewBitmap(9, 9, {2, 4})),
        std::tuple(6, 5, true, ErrorNotAtScale, 0));
}

}  // namespace
}  // namespace render
