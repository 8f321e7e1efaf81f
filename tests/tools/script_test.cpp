// SPDX-License-Identifier: MIT
// What a scenario file cannot hold: a script with a NUL byte, and a folder given as the
// script. Everything else the tool does is checked by the scenario files.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

namespace {

using namespace std::string_literals;

// Runs the tool on the script at path; its exit code and standard error.
std::pair<int, std::string> RunTool(const std::string& path) {
    const std::string errors = ::testing::TempDir() + "zarpeta_script_test.err";
    const std::string command = ZARPETA_SCRIPT_TOOL " " + path + " >/dev/null 2>" + errors;
    const int status = std::system(command.c_str());
    std::ifstream file(errors);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()}};
}

TEST(ScriptTool, RefusesANulByteAndAFolder) {
    const std::string script = ::testing::TempDir() + "zarpeta_script_test.txt";
    std::ofstream(script) << "new\nne\0w\n"s;
    EXPECT_EQ(RunTool(script), std::pair(2, "line 2: a NUL byte\n"s));
    const std::string folder = ::testing::TempDir();
    EXPECT_EQ(RunTool(folder), std::pair(2, "zarpeta-script: '" + folder + "' is a directory\n"));
    std::filesystem::remove(script);
}

}  // namespace
