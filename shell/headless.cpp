// SPDX-License-Identifier: MIT
// The headless shell: a recording seam and a control that keeps its image.
#include "shell/headless.h"

#include <mutex>

#include "render/painters.h"
#include "render/surface.h"
#include "shell/seam.h"

namespace shell {

namespace {

struct RecordingShell final : ShellSeam, render::ControlSink {
    std::mutex Mutex;
    HeadlessRecord Record;
    bool ControlMade = false;

    void SetNewEnabled(bool enabled) override {
        std::lock_guard lock(Mutex);
        Record.NewEnabled = enabled;
    }
    void PlayCue(std::string_view name) override {
        std::lock_guard lock(Mutex);
        Record.Cues.emplace_back(name);
    }
    void Refresh(render::Rect) override {
        std::lock_guard lock(Mutex);
        Record.FramesPresented += 1;
    }
};

RecordingShell& Shell() {
    static RecordingShell shell;
    return shell;
}

}  // namespace

void InstallHeadlessShell() {
    MainWindow.store(HeadlessWindow);
    if (!Shell().ControlMade) {
        render::NewGraphicControl(HeadlessWindow, IdGraphic, ControlImageWidth, ControlImageHeight,
                                  &Shell());
        Shell().ControlMade = true;
    }
    render::ClearToSilverBack(HeadlessWindow, IdGraphic);  // as the window starts
    {
        std::lock_guard lock(Shell().Mutex);
        Shell().Record = HeadlessRecord{};
    }
    InstallSeam(&Shell());
}

HeadlessRecord HeadlessSnapshot() {
    std::lock_guard lock(Shell().Mutex);
    return Shell().Record;
}

}  // namespace shell
