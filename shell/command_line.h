// SPDX-License-Identifier: MIT
// The program's command line, read before any Qt object exists: --help and --version,
// Qt's own options let through (QApplication reads them from the untouched argument
// vector), and a clear Spanish message for anything else.
//
// Done:     -h, --help, -? and -v, --version, with one or two dashes; Qt's options in
//           the forms Qt reads (-platform xcb, --platform xcb, -style=fusion); a
//           missing value, an unknown option or a stray argument: one line and the
//           usage on standard error, exit code 2.
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

}  // namespace shell
