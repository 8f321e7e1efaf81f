// SPDX-License-Identifier: MIT
// The inside of the drawing layer: the surface records, SurfaceLock and the pieces
// surface.cpp, box.cpp and text.cpp share. Nothing outside render/ includes it.
//
// Owns: the surface table (through surface.cpp) and SurfaceLock.
// Threads: any. Every function named ...Locked expects SurfaceLock held by the caller;
// OnCurrentSurface takes it itself.
#pragma once

#include <cmath>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <vector>

#include "render/surface.h"

namespace render {

struct FontFace;  // text.cpp: a font made for drawing, with its glyph cache

enum class SurfaceKind { Bitmap, GraphicControl };

// A font's line metrics, in pixels.
struct LineMetrics {
    int32_t Ascent = 0;
    int32_t Descent = 0;
    int32_t Height = 0;  // ascent + descent
    int32_t ExternalLeading = 0;
    int32_t AverageWidth = 0;
};

struct Surface {
    SurfaceKind Kind = SurfaceKind::Bitmap;
    int32_t Id = 0;  // internal id, what a thread's current surface holds
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;  // Width x Height words 0xFFRRGGBB, row after row
    int32_t X = 0, Y = 0;          // current position, pixels
    int32_t ForeColour = DefaultForeColour;
    int32_t BackColour = DefaultBackColour;  // a colour, or ColourNone (transparent text)
    FontHandle Font = 0;
    FontFace* Face = nullptr;  // the current font as made for drawing; null: none
    LineMetrics Metrics;
    DamageList Dirty;       // a control's: changed since the window last took its changes
    bool SinkTold = false;  // a control's: the sink has heard of the changes in Dirty
    bool DeferredRedraw = true;
    ControlSink* Sink = nullptr;  // graphic controls only
};

// The one lock that makes each drawing operation atomic.
std::mutex& SurfaceLock();

// The calling thread's current surface, or null when it has none (or it was freed).
Surface* CurrentSurfaceLocked();
// The surface (handle, controlId) names: the control first, then a bitmap; or null.
Surface* ResolveSurfaceLocked(SurfaceHandle handle, int32_t controlId);

// Records the error number of a failed operation.
void RecordError(int32_t error);

// A colour argument (not one of the negative meanings) as a pixel word.
inline uint32_t PixelOf(int32_t colour) {
    const uint32_t bgr = static_cast<uint32_t>(colour) & 0xFFFFFFu;
    const uint32_t red = bgr & 0xFFu, green = (bgr >> 8) & 0xFFu, blue = (bgr >> 16) & 0xFFu;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

// Rounds half to even without relying on the floating-point environment.
inline double RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) {
        return floor + 1.0;
    }
    return floor;
}

// The part of the surface the calling thread may draw on: all of it, or its clip.
Rect DrawableLocked(const Surface& surface);

// Orders the rectangle and clamps it to what the thread may draw of the surface; a
// control adds it to its changes (a bitmap keeps no record: the game knows what it drew).
void MarkDirtyLocked(Surface& surface, int64_t left, int64_t top, int64_t right, int64_t bottom);

// The control's sink, when it has changes the sink has not heard of and drawing on it
// refreshes the window; null otherwise. Marks them heard of.
ControlSink* SinkToTellLocked(Surface& surface);

// Runs draw(surface) on the calling thread's current surface under SurfaceLock, then
// tells a control's sink of its changes once the lock is released. Does nothing when
// the thread has no current surface.
template <typename Draw>
void OnCurrentSurface(Draw&& draw) {
    ControlSink* sink = nullptr;
    {
        std::lock_guard lock(SurfaceLock());
        Surface* surface = CurrentSurfaceLocked();
        if (surface == nullptr) {
            return;
        }
        draw(*surface);
        sink = SinkToTellLocked(*surface);
    }
    if (sink != nullptr) {
        sink->Changed();
    }
}

// ---- Boxes (box.cpp) ----
// The rounded rectangle covering columns left..right-1 and rows top..bottom-1 (ordered,
// non-empty or not), ellipse width and height ew x eh; clipped to the surface.
// fill or pen may be null for "not painted".
void DrawRoundRectLocked(Surface& surface, int64_t left, int64_t top, int64_t right, int64_t bottom,
                         int64_t ellipseWidth, int64_t ellipseHeight, const uint32_t* pen,
                         const uint32_t* fill);

// ---- Fonts (text.cpp) ----
// Makes the font's drawing face on first use and returns it with its metrics; null
// when the font is not in the table or cannot be made.
FontFace* FaceForFontLocked(FontHandle font, LineMetrics& metrics);
// Draws text at the surface's position and advances it; see DrawText.
void DrawTextLocked(Surface& surface, std::string_view utf8);

}  // namespace render
