// SPDX-License-Identifier: MIT
// The cost of one composed frame: the score line alone, then the whole frame (clear,
// score line, three layer copies) drawn with our drawing layer, whole and only where
// a tick changed it, at device scales 1, 3/2, 2 and 3 (with the device pixels per
// second, which should hold at every scale), and, as the peer a user would otherwise reach for,
// with QPainter on a QImage; beside them, the bare memory traffic of a frame, the least a frame
// drawn whole can take. Each reports its heap allocations per iteration.
#include <benchmark/benchmark.h>

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cwchar>
#include <map>
#include <utility>
#include <vector>

#include "bench/allocations.h"
#include "render/painters.h"
#include "render/scale.h"
#include "render/surface.h"
#include "render/text_painters.h"

namespace {

// ---- The game's frame ---------------------------------------------------------------

constexpr int32_t FrameWidth = 1000, FrameHeight = 576;
constexpr int32_t WallWidth = 620, WallHeight = 550;  // the block layer
constexpr int32_t BarX = 629, BarOffset = 240;        // a bar half-way down its lane
constexpr int32_t LauncherX = 979, AimY = 300;
constexpr int16_t Score = 57;

struct GameSurfaces {
    render::SurfaceHandle Frame, Bar, Blocks, Launcher;
};

// The layers of a game in play: the bar at level 3, a full wall, the launcher.
GameSurfaces MakeGameSurfaces(render::Scale scale = {}) {
    GameSurfaces s{
        render::NewBitmap(FrameWidth, FrameHeight, scale), render::NewBitmap(17, 570, scale),
        render::NewBitmap(WallWidth, WallHeight, scale), render::NewBitmap(600, 510, scale)};
    for (render::SurfaceHandle layer : {s.Frame, s.Bar, s.Blocks, s.Launcher}) {
        render::BlankSurface(layer);
    }
    render::PaintBarOn(s.Bar, 165);
    for (int32_t row = 1; row <= 17; ++row) {
        for (int32_t column = 1; column <= 30; ++column) {
            render::PaintBlockOn(s.Blocks, 20 * column, 30 * row, 0x101010 * (column % 15));
        }
    }
    render::PaintLauncherOn(s.Launcher);
    return s;
}

void ComposeOurFrame(const GameSurfaces& s) {
    render::BlankSurface(s.Frame, render::Rect{0, 0, WallWidth, WallHeight});
    render::PaintScoreOn(s.Frame, Score);
    render::CopyBitmap(s.Blocks, 0);
    render::CopyBitmapAt(s.Bar, 0, BarX, BarOffset);
    render::CopyBitmapAt(s.Launcher, 0, LauncherX, AimY);
}

void BM_PaintScore(benchmark::State& state) {
    static const GameSurfaces surfaces = MakeGameSurfaces();
    render::PaintScoreOn(surfaces.Frame, Score);  // the first call makes the fonts
    const bench::AllocationCounter counter;
    for (auto _ : state) {
        render::PaintScoreOn(surfaces.Frame, Score);
    }
    counter.Report(state);
}
BENCHMARK(BM_PaintScore);

// A benchmark's scale: its arguments' numerator and denominator.
render::Scale ScaleOf(const benchmark::State& state) {
    return render::MakeScale(static_cast<int32_t>(state.range(0)),
                             static_cast<int32_t>(state.range(1)));
}

// The surfaces of a scale, made once per program.
const GameSurfaces& SurfacesAt(render::Scale scale) {
    static std::map<std::pair<int32_t, int32_t>, GameSurfaces> made;
    const auto [at, fresh] = made.try_emplace({scale.Num, scale.Den});
    if (fresh) {
        at->second = MakeGameSurfaces(scale);
        ComposeOurFrame(at->second);  // the first score makes the fonts
    }
    return at->second;
}

// The device pixels of logical areas at a scale, as a rate: at any scale a frame
// should cost the same per device pixel.
void ReportDevicePixels(benchmark::State& state, const render::DamageList& areas) {
    int64_t pixels = 0;
    for (int32_t entry = 0; entry < areas.Count; ++entry) {
        const render::Rect area =
            render::ToDevice(areas.Rects[static_cast<size_t>(entry)], ScaleOf(state));
        pixels += int64_t{area.Right - area.Left} * (area.Bottom - area.Top);
    }
    state.counters["device_px"] = static_cast<double>(pixels);
    state.counters["device_px_per_s"] = benchmark::Counter(
        static_cast<double>(pixels), benchmark::Counter::kIsIterationInvariantRate);
}

// At 1/1, 3/2, 2/1 and 3/1.
void AtScales(benchmark::internal::Benchmark* bench) {
    bench->Args({1, 1})->Args({3, 2})->Args({2, 1})->Args({3, 1})->ArgNames({"num", "den"});
}

void BM_FrameOurs(benchmark::State& state) {
    const GameSurfaces& surfaces = SurfacesAt(ScaleOf(state));
    const bench::AllocationCounter counter;
    for (auto _ : state) {
        ComposeOurFrame(surfaces);
    }
    counter.Report(state);
    render::DamageList whole;
    render::AddDamage(whole, render::Rect{0, 0, FrameWidth, FrameHeight});
    ReportDevicePixels(state, whole);
}
BENCHMARK(BM_FrameOurs)->Apply(AtScales);

// The frame a tick composes once the bar has moved 5 px and the score has changed:
// the same composition, confined to the bar's two ends and the score line.
void BM_FrameOursWhatChanged(benchmark::State& state) {
    const GameSurfaces& surfaces = SurfacesAt(ScaleOf(state));
    render::DamageList changed;
    const int32_t length = 55, moved = 5, ends = render::BarEndRows;
    render::AddDamage(changed, render::Rect{BarX, BarOffset - moved, BarX + 17, BarOffset + ends});
    render::AddDamage(changed, render::Rect{BarX, BarOffset - moved + length + 1 - ends, BarX + 17,
                                            BarOffset + length + 1});
    render::AddDamage(changed, render::ScoreLineArea());
    const bench::AllocationCounter counter;
    for (auto _ : state) {
        for (int32_t entry = 0; entry < changed.Count; ++entry) {
            render::ClipDrawing(changed.Rects[static_cast<size_t>(entry)]);
            ComposeOurFrame(surfaces);
            render::UnclipDrawing();
        }
    }
    counter.Report(state);
    render::DamageList within;  // the score line reaches the frame's right edge
    for (int32_t entry = 0; entry < changed.Count; ++entry) {
        render::AddDamage(within,
                          render::IntersectionOf(changed.Rects[static_cast<size_t>(entry)],
                                                 render::Rect{0, 0, FrameWidth, FrameHeight}));
    }
    ReportDevicePixels(state, within);
}
BENCHMARK(BM_FrameOursWhatChanged)->Apply(AtScales);

// What no frame can go under: each of the frame's pixels written once, the wall's
// rows copied and the rest stored silver by the C library, with no text, no bar and
// no launcher. The frame is bound by this memory traffic, not by the drawing.
void BM_FramePixelsWrittenOnce(benchmark::State& state) {
    std::vector<wchar_t> frame(static_cast<size_t>(FrameWidth) * FrameHeight);
    const std::vector<wchar_t> wall(static_cast<size_t>(WallWidth) * WallHeight, 0x123456);
    constexpr wchar_t Silver = static_cast<wchar_t>(0xFFC0C0C0);
    for (auto _ : state) {
        for (int32_t row = 0; row < FrameHeight; ++row) {
            wchar_t* line = frame.data() + static_cast<size_t>(row) * FrameWidth;
            const int32_t wallPart = row < WallHeight ? WallWidth : 0;
            std::wmemcpy(line, wall.data() + static_cast<size_t>(row) * WallWidth,
                         static_cast<size_t>(wallPart));
            std::wmemset(line + wallPart, Silver, static_cast<size_t>(FrameWidth - wallPart));
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FramePixelsWrittenOnce);

// ---- The same frame with QPainter -----------------------------------------------------

struct QtSurfaces {
    QImage Frame, Bar, Blocks, Launcher;
    QFont Label, Number;
};

// The layers as images with the same content as ours, copied out of our bitmaps.
QImage ImageOf(render::SurfaceHandle surface) {
    std::vector<uint32_t> pixels;
    int32_t width = 0, height = 0;
    render::ReadPixels(surface, 0, pixels, width, height);
    QImage image(width, height, QImage::Format_RGB32);
    for (int32_t y = 0; y < height; ++y) {
        std::copy_n(pixels.data() + static_cast<size_t>(y) * width, width,
                    reinterpret_cast<uint32_t*>(image.scanLine(y)));
    }
    return image;
}

QFont BoldSerif(int pixels) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setBold(true);
    font.setPixelSize(pixels);
    return font;
}

QtSurfaces MakeQtSurfaces() {
    const GameSurfaces ours = MakeGameSurfaces();
    return {QImage(FrameWidth, FrameHeight, QImage::Format_RGB32),
            ImageOf(ours.Bar),
            ImageOf(ours.Blocks),
            ImageOf(ours.Launcher),
            BoldSerif(19),
            BoldSerif(32)};
}

// White up-left, maroon down-right, then the face: our three passes. (x, y) is the
// top of the text's cell, as our DrawText takes it.
void ThreePassQt(QPainter& painter, const QString& text, int x, int y, QColor face) {
    const int baseline = y + painter.fontMetrics().ascent();
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(x - 1, baseline - 1, text);
    painter.setPen(QColor(128, 0, 0));
    painter.drawText(x + 1, baseline + 1, text);
    painter.setPen(face);
    painter.drawText(x, baseline, text);
}

void ComposeQtFrame(QtSurfaces& s, const QString& label, const QString& number) {
    QPainter painter(&s.Frame);
    painter.fillRect(0, 0, FrameWidth, FrameHeight, QColor(192, 192, 192));
    painter.setFont(s.Label);
    ThreePassQt(painter, label, 760, 14, QColor(0, 0, 255));
    painter.setFont(s.Number);
    ThreePassQt(painter, number, 828, 35, QColor(255, 165, 0));
    painter.drawImage(0, 0, s.Blocks);
    painter.drawImage(BarX, BarOffset, s.Bar);
    painter.drawImage(LauncherX, AimY, s.Launcher);
}

void BM_FrameQPainter(benchmark::State& state) {
    static QtSurfaces surfaces = MakeQtSurfaces();
    const QString label = QStringLiteral("Bloques Destruidos");
    const QString number = QString::number(Score);
    ComposeQtFrame(surfaces, label, number);
    const bench::AllocationCounter counter;
    for (auto _ : state) {
        ComposeQtFrame(surfaces, label, number);
    }
    counter.Report(state);
}
BENCHMARK(BM_FrameQPainter);

}  // namespace

int main(int argc, char** argv) {
    // QPainter's text needs a platform for its fonts; no window is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
