// zarpeta-script: its tokenizer and numbers, the run that stops at the first faulty
// line, and the tool itself run on small scripts.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "render/png.h"
#include "render/surface.h"
#include "tools/script/commands.h"
#include "tools/script/script_parser.h"

namespace script {
namespace {

std::vector<Token> Tokens(std::string_view line) {
    std::vector<Token> tokens;
    std::string error;
    EXPECT_TRUE(Tokenize(line, tokens, error)) << error;
    return tokens;
}

TEST(Tokenize, SplitsWordsAndStringsAndStopsAtAComment) {
    const std::vector<Token> tokens = Tokens("  text \"a \\\"b\\\" # c\\\\\" -0x1F 2.5 # note");
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[0].Text, "text");
    EXPECT_TRUE(tokens[1].Quoted);
    EXPECT_EQ(tokens[1].Text, "a \"b\" # c\\");
    EXPECT_EQ(tokens[2].Text, "-0x1F");
    EXPECT_FALSE(tokens[3].Quoted);
    EXPECT_TRUE(Tokens(" \t\r# only a comment").empty());
}

TEST(ParseNumbers, TakeDecimalHexNegativeAndFractionsWhereAllowed) {
    int64_t integer = 0;
    EXPECT_TRUE(ParseInteger("0xC0C0C0", integer) && integer == 0xC0C0C0);
    EXPECT_TRUE(ParseInteger("-12", integer) && integer == -12);
    EXPECT_TRUE(ParseInteger("-0x10", integer) && integer == -16);
    EXPECT_TRUE(ParseInteger("-2147483648", integer) && integer == INT32_MIN);
    for (const char* bad : {"", "-", "0x", "0x-5", "+3", "12x", "1.5", "2147483648", "0x1_0"}) {
        EXPECT_FALSE(ParseInteger(bad, integer)) << bad;
    }
    double real = 0;
    EXPECT_TRUE(ParseReal("2.5", real) && real == 2.5);
    EXPECT_TRUE(ParseReal("-3.5", real) && real == -3.5);
    EXPECT_TRUE(ParseReal(".5", real) && real == 0.5);
    EXPECT_TRUE(ParseReal("0x10", real) && real == 16);
    for (const char* bad : {"", ".", "-", "1e3", "nan", "inf", "1.2.3", "--1", "1-"}) {
        EXPECT_FALSE(ParseReal(bad, real)) << bad;
    }
}

// ---- The run ---------------------------------------------------------------------

struct Recorded {
    std::vector<std::string> Calls;
};
Recorded Log;

bool RecordCall(Session&, std::span<const Argument> arguments, std::string&) {
    std::string call;
    for (const Argument& argument : arguments) {
        call += argument.Text + "|";
    }
    Log.Calls.push_back(call);
    return true;
}

bool Refuse(Session&, std::span<const Argument> arguments, std::string& error) {
    error = "no bitmap named '" + arguments[0].Text + "'";
    return false;
}

constexpr Command TestTable[] = {
    {"paint", "n", "NAME", RecordCall},       {"paint bar", "ni", "NAME LENGTH", RecordCall},
    {"box", "ffi", "X Y COLOUR", RecordCall}, {"text", "s", "\"STRING\"", RecordCall},
    {"attach", "n", "NAME", Refuse},
};

// Runs the script on the table above; the first line of errors, or "" after a clean run.
std::string RunOnTable(const std::string& text, int expectedExit) {
    Log = {};
    Session session;
    std::istringstream input(text);
    std::ostringstream errors;
    EXPECT_EQ(RunScript(input, TestTable, session, errors), expectedExit);
    return errors.str();
}

TEST(RunScript, RunsEveryLineAndMatchesTheLongestCommandName) {
    EXPECT_EQ(RunOnTable("# a comment\n\npaint bar b 55\npaint b\r\nbox 1.5 0x10 -3\n", ExitOk),
              "");
    EXPECT_EQ(Log.Calls, (std::vector<std::string>{"b|55|", "b|", "1.5|0x10|-3|"}));
}

TEST(RunScript, StopsAtTheFirstFaultyLineNamingItsNumber) {
    struct Case {
        std::string Line;
        std::string Message;
    };
    const Case cases[] = {
        {"fill 1", "line 3: unknown command 'fill'"},
        {"box 1 2", "line 3: 'box' takes 3 argument(s), got 2; usage: box X Y COLOUR"},
        {"box 1 2 3 4", "line 3: 'box' takes 3"},
        {"box 1 2 1.5", "line 3: argument 3: bad number '1.5'"},
        {"box one 2 3", "line 3: argument 1: bad number 'one'"},
        {"text \"open", "line 3: unterminated string"},
        {"text bare", "line 3: argument 1: expected a \"string\""},
        {"paint bar \"b\" 5", "line 3: argument 1: expected a bare word"},
        {"paint 9lives", "line 3: argument 1: bad name '9lives'"},
        {"attach nowhere", "line 3: no bitmap named 'nowhere'"},
    };
    for (const Case& c : cases) {
        const std::string errors =
            RunOnTable("paint a\n# fine\n" + c.Line + "\npaint b\n", ExitScriptError);
        EXPECT_EQ(errors.rfind(c.Message, 0), 0u) << errors;
        EXPECT_EQ(Log.Calls.size(), 1u) << c.Line;  // the line after the fault never runs
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

ToolRun RunTool(const std::string& script) {
    // Each test runs in a process of its own, side by side with the others.
    const std::string base =
        ::testing::TempDir() + "zarpeta_script_test_" + std::to_string(getpid());
    std::ofstream(base + ".txt") << script;
    const std::string command =
        std::string(ZARPETA_SCRIPT_TOOL) + " " + base + ".txt >" + base + ".out 2>" + base + ".err";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(base + ".out"),
            ReadFile(base + ".err")};
}

TEST(ScriptTool, AMalformedLineExitsWithTwoAndItsLineNumber) {
    const ToolRun run = RunTool("bitmap b 10 10\nattach b\nbox 0 0 5 5 0 0xFFFFFF\n");
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Errors.rfind("line 3: 'box' takes 7 argument(s), got 6", 0), 0u) << run.Errors;
    EXPECT_EQ(RunTool("attach nothing\n").Errors, "line 1: no bitmap named 'nothing'\n");
}

TEST(ScriptTool, DrawsTheScriptIntoAPngAndReportsMetrics) {
    const std::string png =
        ::testing::TempDir() + "zarpeta_script_test_" + std::to_string(getpid()) + ".png";
    const ToolRun run = RunTool(
        "bitmap b 60 40          # a small bitmap\n"
        "attach b\n"
        "clear 0xC0C0C0\n"
        "box 2.5 3.5 20 30 40 0xFFFFFF 0x0000FF\n"
        "font f \"Times New Roman\" 14 1\n"
        "usefont f\n"
        "back -2\n"
        "pos 22 4\n"
        "text \"Hi\"\n"
        "endline\n"
        "metrics\n"
        "png b \"" +
        png + "\"\n");
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;

    // The same operations in this process give the pixels and metrics to expect.
    const render::SurfaceHandle bitmap = render::NewBitmap(60, 40);
    render::AttachSurface(bitmap, 0, 0);
    render::ClearSurface(render::ColourSilver, 0);
    render::DrawBox(2, 4, 20, 30, 40, 0xFFFFFF, 0x0000FF, 0);  // 2.5 and 3.5 round to even
    render::SetTextFont(render::NewFont("Times New Roman", 14, render::FontBold, 0, 0, 0));
    render::SetBackColour(render::ColourNone);
    render::SetPosition(22, 4);
    render::DrawText("Hi");
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
    EXPECT_EQ(width, 60);
    EXPECT_EQ(height, 40);
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
    for (const char* expected :
         {"\"BlocksDestroyed\": 1,", "\"BarOffset\": 125,", "\"ShotCount\": 1,",
          "\"NuevoEnabled\": false", "\"Destroyed\": [[3, 30]]", "\"FramesPresented\": 26,",
          "\"Cues\": [\"#212\", \"#210\"]", "\"ColourTable\": [6754785, "}) {
        EXPECT_NE(first.Out.find(expected), std::string::npos) << expected;
    }
}

TEST(ScriptTool, RejectsAMalformedGameLine) {
    EXPECT_EQ(RunTool("seed 25:00:00.000\n").Errors,
              "line 1: '25:00:00.000' is not a time of day HH:MM:SS.mmm\n");
    EXPECT_EQ(RunTool("new\nlayer Wall out.png\n").ExitCode, 2);
}

}  // namespace
}  // namespace script
