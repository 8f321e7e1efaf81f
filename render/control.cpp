// SPDX-License-Identifier: MIT
// The graphic control: its image, the one record of what changed on it since the
// window last took its changes, and the sink that hears of them once until then.
#include "render/control.h"

#include <algorithm>
#include <cstring>

#include "render/fill_copy.h"
#include "render/fonts.h"

namespace render {

namespace {

// ---- Internal helpers ----

// Copies the parts' pixels from the control into into (stride words a row).
void CopyPartsOut(const Surface& control, const DamageList& parts, uint32_t* into, int32_t stride) {
    for (int32_t entry = 0; entry < parts.Count; ++entry) {
        const Rect part = parts.Rects[static_cast<size_t>(entry)];
        const size_t bytes = static_cast<size_t>(part.Right - part.Left) * sizeof(uint32_t);
        for (int32_t row = part.Top; row < part.Bottom; ++row) {
            std::memcpy(
                into + static_cast<int64_t>(row) * stride + part.Left,
                control.Pixels.data() + static_cast<int64_t>(row) * control.Width + part.Left,
                bytes);
        }
    }
}

}  // namespace

// ---- Shared inside the layer ----

void MarkDirtyLocked(Surface& surface, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    if (surface.Kind != SurfaceKind::GraphicControl) {
        return;
    }
    if (right < left) {
        std::swap(left, right);
    }
    if (bottom < top) {
        std::swap(top, bottom);
    }
    const auto within = [](int64_t value, int32_t high) {
        return static_cast<int32_t>(std::clamp<int64_t>(value, 0, high));
    };
    const Rect touched{within(left, surface.Width), within(top, surface.Height),
                       within(right, surface.Width), within(bottom, surface.Height)};
    AddDamage(surface.Dirty, IntersectionOf(touched, DrawableLocked(surface)));
}

ControlSink* SinkToTellLocked(Surface& surface) {
    if (surface.SinkTold || surface.Dirty.Count == 0) {
        return nullptr;
    }
    surface.SinkTold = true;
    return surface.Sink;
}

// ---- Public functions ----

void NewGraphicControl(SurfaceHandle window, int32_t controlId, int32_t width, int32_t height,
                       ControlSink* sink) {
    std::lock_guard lock(SurfaceLock());
    Surface* surface = IsWindowLocked(window)
                           ? AddSurfaceLocked(SurfaceKind::GraphicControl, width, height)
                           : nullptr;
    if (surface == nullptr) {
        RecordError(ErrorInvalidHandle);
        return;
    }
    surface->Sink = sink;
    SelectFontLocked(*surface, 1);
    FillLocked(*surface, PixelOf(surface->BackColour));
    AddDamage(surface->Dirty, Rect{0, 0, width, height});
    NameControlLocked(window, controlId, *surface);
}

void TakeControlChanges(SurfaceHandle window, int32_t controlId, uint32_t* into, int32_t stride,
                        DamageList& parts) {
    std::lock_guard lock(SurfaceLock());
    Surface* surface = ResolveSurfaceLocked(window, controlId);
    if (surface == nullptr || surface->Kind != SurfaceKind::GraphicControl) {
        parts.Count = 0;
        return;
    }
    parts = surface->Dirty;
    surface->Dirty.Count = 0;
    surface->SinkTold = false;
    if (into != nullptr) {
        CopyPartsOut(*surface, parts, into, stride);
    }
}

}  // namespace render
