// SPDX-License-Identifier: MIT
// zarpeta-script: the run that stops at the first faulty line, and the tool itself run
// on small scripts, good and faulty.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "render/png.h"
#include "render/surface.h"
#include "tools/script/commands.h"
#include "tools/script/script_parser.h"

namespace script {
namespace {

// Each faulty line is line 3, after a good one and a comment; the metrics line after
// it must never run.
TEST(RunScript, StopsAtTheFirstFaultyLineNamingItsNumber) {
    const std::pair<std::string, std::string> cases[] = {
        {"fill 1", "line 3: unknown command 'fill'"},
        {"pos 1", "line 3: 'pos' takes 2 argument(s), got 1; usage: pos X Y"},
        {"clear 1.5", "line 3: argument 1: bad number '1.5'"},
        {"clear 2147483648", "line 3: argument 1: bad number '2147483648'"},
        {"clear 0x", "line 3: argument 1: bad number '0x'"},
        {"box 0 0 1 1 1048577 0 0", "line 3: argument 5: bad number '1048577'"},
        {"pos 1e3 0", "line 3: argument 1: bad number '1e3'"},
        {"pos 0 -1048576.5", "line 3: argument 2: bad number '-1048576.5'"},
        {"pos 0 nan", "line 3: argument 2: bad number 'nan'"},
        {"text \"open", "line 3: unterminated string"},
        {"text bare", "line 3: argument 1: expected a \"string\""},
        {"attach \"b\"", "line 3: argument 1: expected a bare word"},
        {"attach 9lives", "line 3: argument 1: bad name '9lives'"},
        {"attach nowhere", "line 3: no bitmap named 'nowhere'"},
    };
    for (const auto& [line, message] : cases) {
        std::istringstream input("bitmap b 4 4\n  # fine\n" + line + "\nattach b\nmetrics\n");
        std::ostringstream out, errors;
        Session session;
        session.Out = &out;
        EXPECT_EQ(RunScript(input, DrawCommands(), session, errors), ExitScriptError) << line;
        EXPECT_EQ(errors.str().rfind(message, 0), 0u) << errors.str();
        EXPECT_EQ(out.str(), "") << line;
    }
}

// ---- The tool ---------------------------------------------------------------------

struct ToolRun {
    int ExitCode = -1;
    std::string Out, Errors;
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
ToolRun RunTool(const std::string& script, const std::string& prefix = "",
                const std::string& path = TempPath(".txt")) {
    std::ofstream(TempPath(".txt")) << script;
    const std::string base = TempPath("");
    const std::string command = prefix + std::string(ZARPETA_SCRIPT_TOOL) + " " + path + " >" +
                                base + ".out 2>" + base + ".err";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(base + ".out"),
            ReadFile(base + ".err")};
}

TEST(ScriptTool, DrawsTheScriptIntoAPng) {
    const std::string png = TempPath(".png");
    const ToolRun run = RunTool(
        "bitmap b 60 40          # a small bitmap\r\n"
        "attach b\n"
        "clear 0xC0C0C0\n"
        "box 2.5 3.5 20 30 40 0xFFFFFF 0x0000FF\n"
        "font f \"Times New Roman\" 14 1\n"
        "usefont f\n"
        "back -2\n"
        "pos 22 4\n"
        "text \"H\\\"i\"\n"
        "endline\n"
        "metrics\n"
        "png b \"" +
        png + "\"\n");
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;

    // The same operations in this process give the pixels and metrics to expect.
    const render::SurfaceHandle bitmap = render::NewBitmap(60, 40);
    render::AttachSurface(bitmap, 0);
    render::ClearSurface(render::ColourSilver);
    render::DrawBox(2, 4, 20, 30, 40, 0xFFFFFF, 0x0000FF);  // 2.5 and 3.5 round to even
    render::SetTextFont(render::NewFont("Times New Roman", 14, render::FontBold, 0, 0, 0));
    render::SetBackColour(render::ColourNone);
    render::SetPosition(22, 4);
    render::DrawText("H\"i");
    render::EndTextLine();
    render::SurfaceMetrics metrics;
    ASSERT_TRUE(render::CurrentMetrics(metrics));
    EXPECT_EQ(run.Out,
              "{\"x\": 0, \"y\": 26, \"ascent\": 17, \"descent\": 4, \"height\": 21, "
              "\"externalLeading\": 1, \"averageWidth\": " +
                  std::to_string(metrics.AverageWidth) + "}\n");
    std::vector<uint32_t> expected, written;
    int32_t width = 0, height = 0;
    ASSERT_TRUE(render::ReadPixels(bitmap, 0, expected, width, height));
    ASSERT_TRUE(render::ReadPng(png, written, width, height));
    EXPECT_EQ(width * 1000 + height, 60040);
    EXPECT_EQ(written, expected);
}

TEST(ScriptTool, PlaysTheSameGameEveryTime) {
    const std::string script =
        "seed 12:00:00.000\n"
        "click                  # before the first game: nothing flies\n"
        "new\n"
        "move 75\n"
        "click\n"
        "tick 25\n"
        "new                    # greyed while the game runs: ignored\n"
        "state -\n";
    const ToolRun first = RunTool(script);
    ASSERT_EQ(first.ExitCode, 0) << first.Errors;
    EXPECT_EQ(RunTool(script).Out, first.Out);
    // Frames: the first, one a tick, and one for each place of the shot (25).
    for (const char* expected :
         {"\"BlocksDestroyed\": 1,", "\"BarOffset\": 125,", "\"ShotCount\": 1,",
          "\"NuevoEnabled\": false", "\"Destroyed\": [[3, 30]]", "\"FramesPresented\": 51,",
          "\"Cues\": [\"#212\", \"#210\"]", "\"ColourTable\": [6754785, "}) {
        EXPECT_NE(first.Out.find(expected), std::string::npos) << expected;
    }
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
        {"bitmap b 10 10\npaint block b 2147483647 0 0\n", "line 2: argument 2: bad number"},
        {"seed 25:00:00.000\n", "line 1: '25:00:00.000' is not a time of day HH:MM:SS.mmm"},
        {"new\nlayer Wall OUT\n", "line 2: unknown layer 'Wall'"},
        {"new\n" + std::string(4097, 'n') + "\n", "line 2: longer than 4096 bytes"},
        {"new\nne\0w\n"s, "line 2: a NUL byte"},
        {"bitmap a 32768 1024\nbitmap a 32768 512\nbitmap b 32768 512\nbitmap c 1 1\n",
         "line 4: cannot make"},
        {"font f \"Times New Roman\" -769 0\n", "line 1: the size -769 is not within"},
        {"bitmap b 9 9\nattach b\nfont f \"Times New Roman\" 768 0\nusefont f\n"
         "text "
         "\"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!$%&()*+,-./:;<=>\"\n",
         "line 5: the texts drawn so far need more than 64 MiB of glyphs"},
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
}  // namespace script
