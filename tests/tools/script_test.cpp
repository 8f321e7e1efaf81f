// SPDX-License-Identifier: MIT
// zarpeta-script's writes that fail: each stops the run at its line and leaves the old
// output file whole. Everything else the tool does is checked by the scenario files.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

namespace {

struct ToolRun {
    int ExitCode = -1;
    std::string Errors;
};

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Each test runs in a process of its own, side by side with the others.
std::string TempPath(const std::string& suffix) {
    return ::testing::TempDir() + "zarpeta_script_test_" + std::to_string(getpid()) + suffix;
}

// prefix: shell commands before the tool starts.
ToolRun RunTool(const std::string& script, const std::string& prefix,
                const std::string& path = TempPath(".txt")) {
    std::ofstream(TempPath(".txt")) << script;
    const std::string errors = TempPath(".err");
    const std::string command =
        prefix + std::string(ZARPETA_SCRIPT_TOOL) + " " + path + " >/dev/null 2>" + errors;
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(errors)};
}

// Writes beyond 512 bytes fail (EFBIG), so each output below but a 1x1 PNG fails to
// be written whole. OUT stands for an old output file, which must survive every fault.
TEST(ScriptTool, FailsAtTheFaultyLineAndLeavesTheOldOutput) {
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        {"bitmap b 1 1\npng b OUT\n", ""},
        {"new\nlayer BlockLayer OUT\n", "line 2: cannot write '"},
        {"new\nstate OUT\n", "line 2: cannot write '"},
        {"state /dev/full\n", "line 1: cannot write '/dev/full': No space left"},
        {"bitmap b 2 2\npng b /dev/full\n", "line 2: cannot write '/dev/full'"},
        {"new\n" + std::string(4097, 'n') + "\n", "line 2: longer than 4096 bytes"},
        {"new\nne\0w\n"s, "line 2: a NUL byte"},
    };
    const std::filesystem::path folder = TempPath("_out");
    std::filesystem::create_directory(folder);
    const std::string out = (folder / "old.png").string();
    for (auto [script, message] : cases) {
        std::ofstream(out) << "old";
        if (const size_t at = script.find("OUT"); at != std::string::npos) {
            script.replace(at, 3, out);
        }
        const ToolRun run = RunTool(script, "trap '' XFSZ; ulimit -f 1; ");
        EXPECT_EQ(run.ExitCode, message.empty() ? 0 : 2) << script;
        EXPECT_EQ(run.Errors.rfind(message, 0), 0u) << run.Errors;
        EXPECT_EQ(ReadFile(out) == "old", !message.empty()) << script;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << script;
    }
    EXPECT_EQ(RunTool("", "", folder.string()).Errors,
              "zarpeta-script: '" + folder.string() + "' is a directory\n");
    std::filesystem::remove_all(folder);
}

}  // namespace
