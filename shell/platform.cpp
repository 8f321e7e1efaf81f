// SPDX-License-Identifier: MIT
// The display and the descriptors, looked at before Qt starts.
#include "shell/platform.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace shell {

namespace {

// ---- Internal helpers -----------------------------------------------------------

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
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
