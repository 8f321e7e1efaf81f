// SPDX-License-Identifier: MIT
// zarpeta-script: runs a script of drawing operations and game commands from a file or
// standard input.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <vector>

#include "tools/script/commands.h"

namespace {

int RunFromArguments(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: zarpeta-script [SCRIPT]   (standard input without one)\n";
        return script::ExitScriptError;
    }
    std::vector<script::Command> commands;
    for (const auto table :
         {script::DrawCommands(), script::PaintCommands(), script::GameCommands()}) {
        commands.insert(commands.end(), table.begin(), table.end());
    }
    // Standard input's own buffer reports a read error (a directory, a failing device)
    // as one, where the one shared with C's stdio would take it for the end.
    std::ios::sync_with_stdio(false);
    script::Session session;
    session.Out = &std::cout;
    script::StartHeadlessGame();
    if (argc < 2) {
        return script::RunScript(std::cin, commands, session, std::cerr);
    }
    struct stat status {};
    if (stat(argv[1], &status) == 0 && S_ISDIR(status.st_mode)) {
        std::cerr << "zarpeta-script: '" << argv[1] << "' is a directory\n";
        return script::ExitScriptError;
    }
    std::ifstream file(argv[1]);
    if (!file) {
        std::cerr << "zarpeta-script: cannot open '" << argv[1] << "'\n";
        return script::ExitScriptError;
    }
    return script::RunScript(file, commands, session, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
    int code = RunFromArguments(argc, argv);
    if (!std::cout.flush() && code == script::ExitOk) {
        std::cerr << "zarpeta-script: cannot write the standard output\n";
        code = script::ExitScriptError;
    }
    // The game's workers are still parked on the test clock: end without waiting for
    // them or tearing down what they wait on.
    std::cerr.flush();
    std::_Exit(code);
}
