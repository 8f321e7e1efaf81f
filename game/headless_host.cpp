// SPDX-License-Identifier: MIT
// The headless host: a recording host and a control that keeps its image.
#include "game/headless_host.h"

#include <mutex>

#include "game/host.h"
#include "game/layout.h"
#include "render/painters.h"
#include "render/surface.h"

namespace game {

namespace {

struct RecordingHost final : GameHost, render::ControlSink {
    std::mutex Mutex;
    HeadlessRecord Record;
    bool ControlMade = false;

    void SetNewEnabled(bool enabled) override {
        std::lock_guard lock(Mutex);
        Record.NewEnabled = enabled;
    }
    void PlayCue(Cue cue) override {
        std::lock_guard lock(Mutex);
        Record.Cues.push_back(cue);
    }
    // Takes the changes at once, as a window would on its next pass: every frame
    // presented is then heard of once.
    void Changed() override {
        render::DamageList parts;
        render::TakeControlChanges(HeadlessWindow, HeadlessControl, nullptr, 0, parts);
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
    }
    InstallHost(&Host(), FrameTarget{HeadlessWindow, HeadlessControl});
}

HeadlessRecord HeadlessSnapshot() {
    std::lock_guard lock(Host().Mutex);
    return Host().Record;
}

}  // namespace game
