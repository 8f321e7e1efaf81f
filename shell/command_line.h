// SPDX-License-Identifier: MIT
// The program's command line, read before any Qt object exists: --help and --version,
// Qt's own options let through (QApplication reads them from the untouched argument
// vector), and a clear Spanish message for anything else.
//
// Done:     -h, --help, -? and -v, --version, with one or two dashes; Qt's options in
//           the forms Qt reads (-platform xcb, --platform xcb, -style=fusion); a
//           missing value, an unknown option or a stray argument: one line and the
//           usage on standard error, exit code 2. QT_SCALE_FACTOR, Qt's option in the
//           environment, that cannot give a visible window: one line, exit code 2.
//
// Threads: the user-interface thread, at start-up.
#pragma once

#include <string>

namespace shell {

// What start-up needs to know of Qt's options before Qt reads them.
struct StartOptions {
    std::string Display;         // the value of -display, empty for none
    bool PlatformGiven = false;  // -platform was given
};

// Reads the arguments. Help and version are printed and end the process with code 0;
// anything not understood ends it with code 2.
StartOptions ReadCommandLine(int argc, char** argv);

// The smallest scale the play area is ever shown at, however small the screen: a
// quarter is still something to play on. QT_SCALE_FACTOR is not taken below it.
constexpr double SmallestPlayScale = 0.25;

// Ends the process with one line and code 2 when QT_SCALE_FACTOR is set to anything
// but a number from SmallestPlayScale up: Qt would show no window, or a speck.
void CheckScaleFactor();

// Ends the process with one line and code 2 when QT_SCALE_FACTOR is set: the window
// at that scale does not fit the screen, even with the play area at its smallest.
void RefuseScaleFactorTooLarge();

}  // namespace shell
