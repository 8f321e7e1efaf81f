// SPDX-License-Identifier: MIT
// The graphic control: its image, the one record of what changed on it since the
// window last took its changes, the bitmap presented on it, and the sink that hears
// of changes once until they are taken.
#include "render/control.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "render/fill_copy.h"
#include "render/fonts.h"

namespace render {

namespace {

// ---- Internal helpers ----

// Copies the part of source that covers part into the control's image, at the same place.
void CopyPartIn(Surface& control, const Surface& source, Rect part) {
    part = IntersectionOf(part, Rect{0, 0, source.Width, source.Height});
    if (part.IsEmpty()) {
        return;
    }
    const size_t bytes = static_cast<size_t>(part.Right - part.Left) * sizeof(uint32_t);
    for (int64_t row = part.Top; row < part.Bottom; ++row) {
        std::memcpy(control.Pixels.data() + row * control.Width + part.Left,
                    source.Pixels.data() + row * source.Width + part.Left, bytes);
    }
}

Surface* ControlLocked(SurfaceHandle window, int32_t controlId) {
    Surface* surface = ResolveSurfaceLocked(window, controlId);
    return surface != nullptr && surface->Kind == SurfaceKind::GraphicControl ? surface : nullptr;
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
    const Rect touched{within(left, surface.LogicalWidth), within(top, surface.LogicalHeight),
                       within(right, surface.LogicalWidth), within(bottom, surface.LogicalHeight)};
    const Rect area = IntersectionOf(touched, LogicalDrawableLocked(surface));
    AddDamage(surface.Dirty, ToDevice(area, surface.DeviceScale));
}

void MarkDeviceDirtyLocked(Surface& surface, Rect area) {
    if (surface.Kind == SurfaceKind::GraphicControl) {
        AddDamage(surface.Dirty, area);
    }
}

// Every part in Dirty since the control was last brought up to date shows the bitmap
// presented last: drawing on the control, or taking its changes, brings them in.
void BringInPresentedLocked(Surface& control) {
    if (control.Presented == 0) {
        return;
    }
    const Surface* source = ResolveSurfaceLocked(control.Presented, 0);
    control.Presented = 0;
    for (int32_t entry = 0; source != nullptr && entry < control.Dirty.Count; ++entry) {
        CopyPartIn(control, *source, control.Dirty.Rects[static_cast<size_t>(entry)]);
    }
}

// ---- Public functions ----

void NewGraphicControl(SurfaceHandle window, int32_t controlId, int32_t width, int32_t height,
                       ControlSink* sink) {
    {
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
    if (sink != nullptr) {
        sink->Changed();
    }
}

// The parts not yet taken show the bitmap presented last: a new game's first frame,
// presented whole, takes over the parts an earlier game's frame left. While drawn
// changes wait to be taken, what is presented over them is copied in at once, so the
// drawing does not take the bitmap's pixels at the take. The window draws on its
// control only before any game, and takes that at once, so a game's frames are only
// recorded, and only the taking thread writes the image.
ControlSink* PresentBitmap(SurfaceHandle window, int32_t controlId, SurfaceHandle bitmap,
                           const DamageList& areas) {
    std::lock_guard lock(SurfaceLock());
    Surface* control = ControlLocked(window, controlId);
    const Surface* source = ResolveSurfaceLocked(bitmap, 0);
    if (control == nullptr || source == nullptr || source->Kind != SurfaceKind::Bitmap) {
        RecordError(ErrorInvalidHandle);
        return nullptr;
    }
    if (source->DeviceScale != control->DeviceScale) {
        RecordError(ErrorNotAtScale);
        return nullptr;
    }
    const bool allTaken = control->Dirty.Count == 0;
    const bool drawnWaiting = !allTaken && control->Presented == 0;
    const Rect image{0, 0, control->Width, control->Height};
    for (int32_t entry = 0; entry < areas.Count; ++entry) {
        const Rect area = IntersectionOf(
            ToDevice(areas.Rects[static_cast<size_t>(entry)], control->DeviceScale), image);
        if (drawnWaiting) {
            CopyPartIn(*control, *source, area);
        }
        AddDamage(control->Dirty, area);
    }
    if (!drawnWaiting && control->Dirty.Count > 0) {
        control->Presented = bitmap;
    }
    return allTaken && control->Dirty.Count > 0 ? control->Sink : nullptr;
}

void TakeControlChanges(SurfaceHandle window, int32_t controlId, DamageList& parts) {
    std::lock_guard lock(SurfaceLock());
    Surface* control = ControlLocked(window, controlId);
    parts.Count = 0;
    if (control == nullptr) {
        return;
    }
    BringInPresentedLocked(*control);
    parts = control->Dirty;
    control->Dirty.Count = 0;
}

bool ScaleGraphicControl(SurfaceHandle window, int32_t controlId, Scale scale,
                         ControlSink*& sinkToTell) {
    sinkToTell = nullptr;
    std::lock_guard lock(SurfaceLock());
    Surface* control = ControlLocked(window, controlId);
    if (control == nullptr || !IsValid(scale)) {
        RecordError(ErrorInvalidHandle);
        return false;
    }
    if (control->DeviceScale == scale) {
        return true;
    }
    const int64_t width = ToDevice(control->LogicalWidth, scale);
    const int64_t height = ToDevice(control->LogicalHeight, scale);
    try {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
        control->Pixels.swap(pixels);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const bool allTaken = control->Dirty.Count == 0;
    control->Width = static_cast<int32_t>(width);
    control->Height = static_cast<int32_t>(height);
    control->DeviceScale = scale;
    control->Presented = 0;
    control->Dirty.Count = 0;
    FillLocked(*control, PixelOf(control->BackColour));
    AddDamage(control->Dirty, Rect{0, 0, control->Width, control->Height});
    sinkToTell = allTaken ? control->Sink : nullptr;
    return true;
}

ControlPixels ControlImage(SurfaceHandle window, int32_t controlId) {
    std::lock_guard lock(SurfaceLock());
    const Surface* control = ControlLocked(window, controlId);
    if (control == nullptr) {
        return {};
    }
    return {control->Pixels.data(), control->Width, control->Height};
}

}  // namespace render
