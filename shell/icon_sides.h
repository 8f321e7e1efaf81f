// SPDX-License-Identifier: MIT
// The application icon's sizes.
//
// Owns: IconSides. A constant with no toolkit: tools/facts prints it for the build,
// which has tools/icon paint each size, embeds them for the window (main.cpp) and
// installs them in the desktop's icon theme.
// Threads: read from any thread, no lock.
#pragma once

#include <cstdint>

namespace shell {

constexpr int32_t IconSides[] = {16, 22, 24, 32, 48, 64, 128, 256};  // px, square

}  // namespace shell
