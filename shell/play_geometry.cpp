// SPDX-License-Identifier: MIT
// The play area's device scale, its layout in the window, and device rows back to
// logical ones.
#include "shell/play_geometry.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "game/layout.h"
#include "shell/command_line.h"

namespace shell {

namespace {

// ---- Constants ------------------------------------------------------------------

// A ratio Qt computes (Xft.dpi / 96) may miss an exact one by a rounding error.
constexpr double RatioSlack = 1e-9;

// ---- Internal helpers -----------------------------------------------------------

double ValueOf(render::Scale scale) {
    return static_cast<double>(scale.Num) / scale.Den;
}

bool Below(render::Scale a, render::Scale b) {
    return int64_t{a.Num} * b.Den < int64_t{b.Num} * a.Den;
}

// Window pixels that hold a device length: rounded up, so the device pixels all show.
int32_t WindowPixels(int64_t device, double ratio) {
    return static_cast<int32_t>(std::ceil(static_cast<double>(device) / ratio - RatioSlack));
}

// A length in window pixels as Qt gives it device pixels.
int64_t DevicePixels(int32_t window, double ratio) {
    return std::lround(window * ratio);
}

// The widget that many window pixels wide: the device pixels right of the image are
// a silver margin, then the right border, as wide as the others where there is room.
void SetWidth(PlayGeometry& play, int32_t width, double ratio) {
    play.Widget.setWidth(width);
    const auto rest =
        static_cast<int32_t>(DevicePixels(width, ratio) - play.Border - play.Image.width());
    play.Margin = rest - std::min(rest, play.Border);
}

bool Fits(const PlayGeometry& play, QSize room, int32_t menuHeight) {
    return play.Widget.width() <= room.width() && menuHeight + play.ShownHeight <= room.height();
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

render::Scale RatioScale(double ratio) {
    render::Scale best{1, render::MaxScaleTerm};
    for (int32_t den = 1; den <= render::MaxScaleTerm; ++den) {
        for (int32_t num = 1; num <= render::MaxScaleTerm; ++num) {
            const render::Scale scale = render::MakeScale(num, den);
            if (ValueOf(scale) <= ratio + RatioSlack && Below(best, scale)) {
                best = scale;
            }
        }
    }
    return best;
}

PlayGeometry LayOutPlayArea(render::Scale scale, double ratio, int32_t menuHeight) {
    using game::ControlImageHeight, game::ControlImageWidth, game::PlayAreaHeight,
        game::PlayAreaWidth;
    PlayGeometry play;
    play.Scale = scale;
    play.Border = render::LineWidth(scale);
    play.Image = QSize(static_cast<int>(render::ToDevice(ControlImageWidth, scale)),
                       static_cast<int>(render::ToDevice(ControlImageHeight, scale)));
    // As wide as the whole play area at the scale, so at the window's own ratio the
    // window keeps its 1000 window pixels; a right border of one device pixel at least.
    const int64_t deviceWidth = std::max(render::ToDevice(PlayAreaWidth, scale),
                                         int64_t{play.Border} + play.Image.width() + 1);
    const int64_t deviceHeight = std::max(render::ToDevice(PlayAreaHeight, scale),
                                          int64_t{2 * play.Border} + play.Image.height());
    play.Widget.setHeight(WindowPixels(deviceHeight, ratio));
    SetWidth(play, WindowPixels(deviceWidth, ratio), ratio);
    const int64_t shownRows = render::ToDevice(PlayAreaHeight - menuHeight, scale);
    play.ShownHeight = std::min(play.Widget.height(), WindowPixels(shownRows, ratio));
    return play;
}

PlayGeometry FitPlayArea(double ratio, QSize room, int32_t menuHeight) {
    const render::Scale own = RatioScale(ratio);
    const PlayGeometry whole = LayOutPlayArea(own, ratio, menuHeight);
    if (Fits(whole, room, menuHeight)) {
        return whole;
    }
    std::optional<PlayGeometry> largest;
    PlayGeometry smallest = whole;
    for (int32_t den = 1; den <= render::MaxScaleTerm; ++den) {
        for (int32_t num = 1; num <= render::MaxScaleTerm; ++num) {
            const render::Scale scale = render::MakeScale(num, den);
            if (!Below(scale, own) || ValueOf(scale) < SmallestPlayScale * ValueOf(own)) {
                continue;
            }
            const PlayGeometry play = LayOutPlayArea(scale, ratio, menuHeight);
            if (Below(scale, smallest.Scale)) {
                smallest = play;
            }
            if (Fits(play, room, menuHeight) && (!largest || Below(largest->Scale, scale))) {
                largest = play;
            }
        }
    }
    return largest.value_or(smallest);
}

int32_t LogicalRowAt(int64_t deviceRow, render::Scale scale) {
    // The last row r with ToDevice(r) <= deviceRow: r * Num < (deviceRow + 1) * Den.
    const int64_t bound = (deviceRow + 1) * scale.Den - 1;
    const int64_t row = bound >= 0 ? bound / scale.Num : -((-bound + scale.Num - 1) / scale.Num);
    return static_cast<int32_t>(row);
}

}  // namespace shell
