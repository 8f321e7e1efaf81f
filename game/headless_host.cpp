// SPDX-License-Identifier: MIT
// The headless host: a recording host and a control that keeps its image.
#include "game/headless_host.h"

#include <algorithm>
#include <mutex>

#include "game/frame.h"
#include "game/host.h"
#include "game/layout.h"
#include "render/painters.h"
#include "render/surface.h"

namespace game {

namespace {

struct RecordingHost final : GameHost, render::ControlSink {
    std::mutex Mutex;
    HeadlessRecord Record;  // its Cues a ring: the next cue goes at NextCue once full
    size_t NextCue = 0;
    bool ControlMade = false;

    void SetNewEnabled(bool enabled) override {
        std::lock_guard lock(Mutex);
        Record.NewEnabled = enabled;
    }
    void PlayCue(Cue cue) override {
        std::lock_guard lock(Mutex);
        if (Record.Cues.size() < ListedCues) {
            Record.Cues.push_back(cue);
        } else {
            Record.Cues[NextCue] = cue;
            NextCue = (NextCue + 1) % ListedCues;
        }
        Record.CuesPlayed += 1;
    }
    // Takes the changes at once, as a window would on its next pass: every frame
    // presented is then heard of once, and copied into the control's image.
    void Changed() override {
        render::DamageList parts;
        TakeFrameChanges({HeadlessWindow, HeadlessControl}, parts);
        std::lock_guard lock(Mutex);
        Record.FramesPresented += 1;
    }
};

RecordingHost& Host() {
    static RecordingHost host;
    return host;
}

}  // namespace

void InstallHeadlessHost() {
    if (!Host().ControlMade) {
        render::NewGraphicControl(HeadlessWindow, HeadlessControl, ControlImageWidth,
                                  ControlImageHeight, &Host());
        Host().ControlMade = true;
    }
    render::ResetSurfaceToSilver(HeadlessWindow, HeadlessControl);  // as the window starts
    {
        std::lock_guard lock(Host().Mutex);
        Host().Record = HeadlessRecord{};
        Host().NextCue = 0;
    }
    InstallHost(&Host(), FrameTarget{HeadlessWindow, HeadlessControl});
}

HeadlessRecord HeadlessSnapshot() {
    HeadlessRecord record;
    size_t oldest = 0;
    {
        std::lock_guard lock(Host().Mutex);
        record = Host().Record;
        oldest = Host().NextCue;
    }
    std::rotate(record.Cues.begin(), record.Cues.begin() + static_cast<ptrdiff_t>(oldest),
                record.Cues.end());
    return record;
}

}  // namespace game
