// SPDX-License-Identifier: MIT
// The display, looked at before Qt starts.
#include "shell/platform.h"

#include <cstdlib>

namespace shell {

namespace {

// ---- Internal helpers -----------------------------------------------------------

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
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

}  // namespace shell
