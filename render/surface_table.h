// SPDX-License-Identifier: MIT
// The handle table inside the drawing layer: what each handle names (a bitmap, a
// window or a graphic control), the surface records, each thread's current surface and
// clip, SurfaceLock and the error number. Nothing outside render/ includes it.
//
// Owns: the table and SurfaceLock.
// Threads: any. Every function named ...Locked expects SurfaceLock held by the caller.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "render/surface.h"

namespace render {

struct FontFace;  // fonts.h: a font made for drawing, with its glyph cache

// A window has no pixels: it only names its controls.
enum class SurfaceKind { Bitmap, Window, GraphicControl };

// A font's line metrics, in pixels: a surface's are logical at every scale.
struct LineMetrics {
    int32_t Ascent = 0;
    int32_t Descent = 0;
    int32_t Height = 0;  // ascent + descent
    int32_t ExternalLeading = 0;
    int32_t AverageWidth = 0;
};

struct Surface {
    SurfaceKind Kind = SurfaceKind::Bitmap;
    int32_t Id = 0;  // its handle in the table, what a thread's current surface holds
    int32_t Width = 0, Height = 0;                // the pixels, device pixels at a scale
    int32_t LogicalWidth = 0, LogicalHeight = 0;  // what callers draw in
    Scale DeviceScale;             // Width = ToDevice(LogicalWidth, DeviceScale), and so the height
    std::vector<uint32_t> Pixels;  // Width x Height words 0xFFRRGGBB, row after row
    int32_t X = 0, Y = 0;          // current position, pixels
    int32_t ForeColour = DefaultForeColour;
    int32_t BackColour = DefaultBackColour;  // a colour, or ColourNone (transparent text)
    FontHandle Font = 0;
    FontFace* Face = nullptr;  // the current font as made for drawing; null: none
    LineMetrics Metrics;
    DamageList Dirty;  // a control's: changed since the window last took its changes
    // A control's: the bitmap presented on it whose areas in Dirty its image has yet to
    // copy in; 0 for none.
    SurfaceHandle Presented = 0;
    ControlSink* Sink = nullptr;  // graphic controls only
};

// The one lock that makes each drawing operation atomic.
std::mutex& SurfaceLock();

// Makes a surface of width x height logical pixels at the scale (a window: 0 x 0) and
// gives it the next handle; null when the pixels cannot be had or the handles ran out.
Surface* AddSurfaceLocked(SurfaceKind kind, int32_t width, int32_t height, Scale scale = {});
// Names control as (window, controlId); a control named so before is released.
void NameControlLocked(SurfaceHandle window, int32_t controlId, const Surface& control);

// The calling thread's current surface, or null when it has none (or it was freed).
Surface* CurrentSurfaceLocked();
// The surface (handle, controlId) names: a window's control, or a bitmap; or null.
Surface* ResolveSurfaceLocked(SurfaceHandle handle, int32_t controlId);
// Whether the handle names a window.
bool IsWindowLocked(SurfaceHandle handle);

// The part of the surface the calling thread may draw on, all of it or its clip: in
// logical pixels, and mapped to device pixels edge by edge.
Rect LogicalDrawableLocked(const Surface& surface);
Rect DeviceDrawableLocked(const Surface& surface);

// Records the error number of a failed operation.
void RecordError(int32_t error);

}  // namespace render
