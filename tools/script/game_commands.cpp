// SPDX-License-Identifier: MIT
// The game as script commands: a headless game driven tick by tick by the test clock,
// so the same script gives the same output every time.
#include <iostream>
#include <sstream>

#include "game/commands.h"
#include "game/frame.h"
#include "game/headless_host.h"
#include "game/state.h"
#include "runtime/random.h"
#include "runtime/test_clock.h"
#include "tools/script/commands.h"
#include "tools/script/game_report.h"
#include "tools/script/output_file.h"

namespace script {

namespace {

using Arguments = std::span<const Argument>;

// "HH:MM:SS.mmm": each field its digits and nothing else, within its range.
bool ParseTimeOfDay(std::string_view text, runtime::TimeOfDay& time) {
    int64_t hours = 0, minutes = 0, seconds = 0, millis = 0;
    if (text.size() != 12 || text[2] != ':' || text[5] != ':' || text[8] != '.' ||
        !ParseDecimal(text.substr(0, 2), hours) || !ParseDecimal(text.substr(3, 2), minutes) ||
        !ParseDecimal(text.substr(6, 2), seconds) || !ParseDecimal(text.substr(9, 3), millis)) {
        return false;
    }
    time = {static_cast<int>(hours), static_cast<int>(minutes), static_cast<int>(seconds),
            static_cast<int>(millis)};
    return hours < 24 && minutes < 60 && seconds < 60;
}

bool Seed(Session&, Arguments arguments, std::string& error) {
    runtime::TimeOfDay time;
    if (!ParseTimeOfDay(arguments[0].Text, time)) {
        error = Joined({"'", arguments[0].Text, "' is not a time of day HH:MM:SS.mmm"});
        return false;
    }
    runtime::SetFixedTimeOfDay(time);
    return true;
}

// The game draws on surfaces of its own, from this thread as well as its workers: the
// commands that run it forget which surface the script had attached.

// As in the window: "Nuevo" does nothing while it is greyed.
bool New(Session& session, Arguments, std::string&) {
    ForgetAttachedSurface(session);
    if (game::HeadlessSnapshot().NewEnabled) {
        game::NewGame();
    }
    return true;
}

bool Move(Session& session, Arguments arguments, std::string&) {
    ForgetAttachedSurface(session);
    game::AimAt(Int(arguments[0]));
    return true;
}

// "click N" stands for N lines of "click".
bool Click(Session& session, Arguments arguments, std::string& error) {
    ForgetAttachedSurface(session);
    const int64_t clicks = arguments.empty() ? 1 : arguments[0].Integer;
    if (clicks < 0) {
        error = "cannot click a negative number of times";
        return false;
    }
    for (int64_t click = 0; click < clicks; ++click) {
        game::FireShot();
    }
    return true;
}

bool Tick(Session& session, Arguments arguments, std::string& error) {
    ForgetAttachedSurface(session);
    if (arguments[0].Integer < 0) {
        error = "cannot tick backwards";
        return false;
    }
    runtime::AdvanceTestClock(Int(arguments[0]));
    return true;
}

bool Flushed(Session& session, std::string& error) {
    if (!session.Out->flush()) {
        error = "cannot write the standard output";
        return false;
    }
    return true;
}

// "scale 3/2" (or "scale 2"): the headless control and the game at that device scale,
// as on a screen of that scale; the frames written from then on are its device pixels.
bool Scale(Session& session, Arguments arguments, std::string& error) {
    const std::string_view text = arguments[0].Text;
    const size_t slash = text.find('/');
    int64_t num = 0, den = 1;
    const bool parsed =
        ParseDecimal(text.substr(0, slash), num) &&
        (slash == std::string_view::npos || ParseDecimal(text.substr(slash + 1), den));
    const render::Scale scale =
        parsed && num <= render::MaxScaleTerm && den <= render::MaxScaleTerm
            ? render::MakeScale(static_cast<int32_t>(num), static_cast<int32_t>(den))
            : render::Scale{0, 0};
    if (!render::IsValid(scale)) {
        error = Joined({"'", text, "' is not a scale N/D, each from 1 to 16"});
        return false;
    }
    ForgetAttachedSurface(session);
    game::SetDeviceScale(scale);
    return true;
}

// The image, and beside it in the output a line that says what it shows.
bool Frame(Session& session, Arguments arguments, std::string& error) {
    if (!WritePngFile(game::HeadlessWindow, game::HeadlessControl, arguments[0].Text, error)) {
        return false;
    }
    WriteFrameSummary(*session.Out, arguments[0].Text);
    return Flushed(session, error);
}

// What the state and the layers show before the first game: no tables, no surfaces,
// every count 0.
const game::Game& NoGame() {
    static const game::Game none;
    return none;
}

bool Layer(Session&, Arguments arguments, std::string& error) {
    const std::string& name = arguments[0].Text;
    const std::shared_ptr<game::Game> current = game::CurrentGame();
    const game::GameSurfaces& surfaces = (current ? *current : NoGame()).Surfaces;
    const render::SurfaceHandle handle = name == "BarLayer"        ? surfaces.BarLayer
                                         : name == "BlockLayer"    ? surfaces.BlockLayer
                                         : name == "LauncherLayer" ? surfaces.LauncherLayer
                                         : name == "FrameBitmap"   ? surfaces.FrameBitmap
                                                                   : -1;
    if (handle == -1) {
        error = Joined(
            {"unknown layer '", name, "' (BarLayer, BlockLayer, LauncherLayer, FrameBitmap)"});
        return false;
    }
    if (handle == 0) {
        error = Joined({"no game yet: ", name, " does not exist"});
        return false;
    }
    return WritePngFile(handle, 0, arguments[1].Text, error);
}

// A report to the file named, or to the standard output for "-".
bool Report(Session& session, const std::string& target, void (*write)(std::ostream&),
            std::string& error) {
    if (target != "-") {
        std::ostringstream text;
        write(text);
        return WriteOutputFile(target, text.str(), error);
    }
    write(*session.Out);
    return Flushed(session, error);
}

bool State(Session& session, Arguments arguments, std::string& error) {
    return Report(session, arguments[0].Text, WriteGameState, error);
}

bool Tables(Session& session, Arguments arguments, std::string& error) {
    return Report(session, arguments[0].Text, WriteColourTables, error);
}

constexpr Command Table[] = {
    {"seed", "p", "HH:MM:SS.mmm", Seed},
    {"new", "", "", New},
    {"move", "i", "Y", Move},
    {"click", "i", "[N]", Click, 1},
    {"tick", "i", "N", Tick},
    {"frame", "p", "FILE", Frame},
    {"layer", "np", "NAME FILE", Layer},
    {"state", "p", "FILE", State},
    {"tables", "p", "FILE", Tables},
    {"scale", "p", "N/D", Scale},
};

}  // namespace

void StartHeadlessGame() {
    runtime::UseTestClock(true);
    game::InstallHeadlessHost();
}

std::span<const Command> GameCommands() {
    return Table;
}

}  // namespace script
