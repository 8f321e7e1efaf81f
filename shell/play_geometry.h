// SPDX-License-Identifier: MIT
// The play area's size on screen: the exact device scale the game draws it at, chosen
// from the window's device pixel ratio and the room the screen leaves, the widget's
// size and border at that scale, and the way back from a device pixel to the logical
// row it shows.
//
// Owns: no state; plain values and pure functions.
// Threads: any (the window calls them on the user-interface thread).
#pragma once

#include <QSize>

#include <cstdint>

#include "render/scale.h"

namespace shell {

// The play area at one device scale, as the window lays it out. Device pixels are the
// screen's, window pixels Qt's logical ones (device pixels over the window's ratio).
struct PlayGeometry {
    render::Scale Scale;      // device pixels per logical pixel of the game
    int32_t Border = 1;       // device pixels: the grey border around the image, a
                              // line's width (render::LineWidth)
    int32_t Margin = 0;       // device pixels of silver right of the image; the right
                              // border is what the widget's width leaves after it: Border,
                              // or less (1 at 3/2, where 1000 window pixels are 1500 device)
    QSize Image;              // the control's image, device pixels
    QSize Widget;             // the play area widget, window pixels
    int32_t ShownHeight = 0;  // window pixels of the widget the client area shows
                              // under the menu bar, as many as 576 less the bar at 1x
};

// The exact scale of a device pixel ratio: the largest ratio of terms up to
// render::MaxScaleTerm not above it (1.25 is 5/4, 1.5 is 3/2); 1/MaxScaleTerm at least.
render::Scale RatioScale(double ratio);

// The play area at scale in a window of that device pixel ratio under a menu bar
// menuHeight window pixels high.
PlayGeometry LayOutPlayArea(render::Scale scale, double ratio, int32_t menuHeight);

// The play area at the window's own ratio where it fits room (window pixels for the
// client area, menu bar included); otherwise at the largest scale, down to a
// SmallestPlayScale of the ratio, that fits: the window as wide as that scale makes
// the play area, a device pixel more at most. Where none fits, the smallest, which
// does not.
PlayGeometry FitPlayArea(double ratio, QSize room, int32_t menuHeight);

// The logical row that device row shows at scale: the row whose device span, placed by
// render::ToDevice, holds it (rows with no device span are never shown).
int32_t LogicalRowAt(int64_t deviceRow, render::Scale scale);

}  // namespace shell
