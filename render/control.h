// SPDX-License-Identifier: MIT
// The graphic control's record of changes inside the drawing layer, and the frame of
// every drawing operation: draw under SurfaceLock, then tell the control's sink once
// the lock is released. Nothing outside render/ includes it.
//
// Owns: no state of its own; a control's changes live in its surface record.
// Threads: any. ...Locked functions expect SurfaceLock held; OnCurrentSurface takes it.
#pragma once

#include <cstdint>
#include <mutex>

#include "render/surface_table.h"

namespace render {

// Orders the logical rectangle, clamps it to what the thread may draw of the surface
// and maps it to device pixels; a control adds it to its changes (a bitmap keeps no
// record: the game knows what it drew).
void MarkDirtyLocked(Surface& surface, int64_t left, int64_t top, int64_t right, int64_t bottom);
// The same for device pixels already within what the thread may draw.
void MarkDeviceDirtyLocked(Surface& surface, Rect area);

// Copies into a control's image what was presented on it and not yet copied in.
void BringInPresentedLocked(Surface& control);

// Runs draw(surface) on the calling thread's current surface under SurfaceLock, then
// tells a control's sink once the lock is released, if its changes were all taken
// before and are not now. Does nothing when the thread has no current surface.
template <typename Draw>
void OnCurrentSurface(Draw&& draw) {
    ControlSink* sink = nullptr;
    {
        std::lock_guard lock(SurfaceLock());
        Surface* surface = CurrentSurfaceLocked();
        if (surface == nullptr) {
            return;
        }
        BringInPresentedLocked(*surface);
        const bool allTaken = surface->Dirty.Count == 0;
        draw(*surface);
        sink = allTaken && surface->Dirty.Count > 0 ? surface->Sink : nullptr;
    }
    if (sink != nullptr) {
        sink->Changed();
    }
}

}  // namespace render
