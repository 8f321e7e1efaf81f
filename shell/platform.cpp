// SPDX-License-Identifier: MIT
// The display, the Qt platform and the descriptors, looked at before Qt starts.
#include "shell/platform.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace shell {

namespace {

// ---- Constants ------------------------------------------------------------------

// The protocol by which a Wayland compositor offers to draw its clients' frames; Qt
// draws its own title bar where it is missing.
constexpr const char* DecorationProtocol = "zxdg_decoration_manager_v1";

// X first, Wayland should the X display not open after all.
constexpr const char* XThenWayland = "xcb;wayland";

// ---- Internal helpers -----------------------------------------------------------

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Qt chooses Wayland when a Wayland display is named or the session says it is one.
bool QtWouldChooseWayland() {
    const char* session = std::getenv("XDG_SESSION_TYPE");
    return IsSet("WAYLAND_DISPLAY") || (session != nullptr && std::strcmp(session, "wayland") == 0);
}

void NoteGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
    if (std::strcmp(interface, DecorationProtocol) == 0) {
        *static_cast<bool*>(data) = true;
    }
}

void IgnoreRemoval(void*, wl_registry*, uint32_t) {}

// Whether the compositor named by WAYLAND_DISPLAY offers to draw frames; false when it
// cannot be reached, which Qt's Wayland platform could not either.
bool CompositorDrawsFrames() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return false;
    }
    bool offered = false;
    static const wl_registry_listener Listener = {&NoteGlobal, &IgnoreRemoval};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &Listener, &offered);
    wl_display_roundtrip(display);  // every global is announced before it returns
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offered;
}

// How many further descriptors, up to DescriptorsNeeded, can be open at once.
int OpenableDescriptors() {
    std::array<int, DescriptorsNeeded> opened{};
    int count = 0;
    while (count < DescriptorsNeeded &&
           (opened[count] = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0) {
        ++count;
    }
    for (int index = 0; index < count; ++index) {
        close(opened[index]);
    }
    return count;
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

bool AnyDisplayNamed(const StartOptions& options) {
    return options.PlatformGiven || XDisplayName(options) != nullptr || IsSet("WAYLAND_DISPLAY") ||
           IsSet("QT_QPA_PLATFORM");
}

const char* XDisplayName(const StartOptions& options) {
    if (!options.Display.empty()) {
        return options.Display.c_str();
    }
    return IsSet("DISPLAY") ? std::getenv("DISPLAY") : nullptr;
}

void ChoosePlatform(const StartOptions& options) {
    // WAYLAND_SOCKET is a connection handed over once: looking would use it up.
    if (options.PlatformGiven || IsSet("QT_QPA_PLATFORM") || IsSet("WAYLAND_SOCKET") ||
        XDisplayName(options) == nullptr || !QtWouldChooseWayland() || CompositorDrawsFrames()) {
        return;
    }
    setenv("QT_QPA_PLATFORM", XThenWayland, 1);
}

bool EnoughDescriptors() {
    if (OpenableDescriptors() == DescriptorsNeeded) {
        return true;
    }
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max) {
        return false;
    }
    limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, limit.rlim_cur + DescriptorsNeeded);
    return setrlimit(RLIMIT_NOFILE, &limit) == 0 && OpenableDescriptors() == DescriptorsNeeded;
}

}  // namespace shell
