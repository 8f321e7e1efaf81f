// SPDX-License-Identifier: MIT
// The game as script commands: a headless game driven tick by tick by the test clock,
// so the same script gives the same output every time.
#include <iostream>
#include <sstream>

#include "game/commands.h"
#include "game/headless_host.h"
#include "game/layout.h"
#include "game/shot.h"
#include "game/state.h"
#include "render/painters.h"
#include "runtime/random.h"
#include "runtime/test_clock.h"
#include "tools/script/commands.h"
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

bool Click(Session& session, Arguments, std::string&) {
    ForgetAttachedSurface(session);
    game::FireShot();
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

bool Frame(Session&, Arguments arguments, std::string& error) {
    return WritePngFile(game::HeadlessWindow, game::HeadlessControl, arguments[0].Text, error);
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

template <typename Each>
void JsonList(std::ostream& out, int32_t count, Each each) {
    out << '[';
    for (int32_t index = 0; index < count; ++index) {
        out << (index == 0 ? "" : ", ");
        each(index);
    }
    out << ']';
}

void WriteGrid(std::ostream& out, const game::Game& game) {
    out << ", \"Destroyed\": ";
    std::vector<std::pair<int32_t, int32_t>> destroyed;
    for (int32_t row = 1; game.Grid && row <= game::RowCount; ++row) {
        for (int32_t column = 1; column <= game::ColumnCount; ++column) {
            if (game.Grid->Cell(row, column).Destroyed.load() != 0) {
                destroyed.emplace_back(row, column);
            }
        }
    }
    JsonList(out, static_cast<int32_t>(destroyed.size()), [&](int32_t i) {
        out << '[' << destroyed[static_cast<size_t>(i)].first << ", "
            << destroyed[static_cast<size_t>(i)].second << ']';
    });
    out << ", \"Colours\": ";
    JsonList(out, game.Grid ? game::RowCount : 0, [&](int32_t row) {
        JsonList(out, game::ColumnCount,
                 [&](int32_t column) { out << game.Grid->Cell(row + 1, column + 1).Colour; });
    });
    out << ", \"ColourTable\": ";
    JsonList(out, game.Colours ? game::ColourCount : 0,
             [&](int32_t index) { out << game.Colours->At(index); });
}

void WriteState(std::ostream& out) {
    const std::shared_ptr<game::Game> current = game::CurrentGame();
    const game::Game& shown = current ? *current : NoGame();
    const game::GameState& state = shown.State;
    const game::HeadlessRecord record = game::HeadlessSnapshot();
    out << "{\"BlocksDestroyed\": " << state.BlocksDestroyed.load()
        << ", \"BarOffset\": " << state.BarOffset.load() << ", \"AimY\": " << state.AimY.load()
        << ", \"BarDirection\": " << state.BarDirection.load()
        << ", \"BarLevel\": " << state.BarLevel.load()
        << ", \"ShotCount\": " << state.ShotCount.load()
        << ", \"NuevoEnabled\": " << (record.NewEnabled ? "true" : "false")
        << ", \"ShotsInFlight\": " << game::ShotsInFlight.load();
    WriteGrid(out, shown);
    out << ", \"RandomState\": " << runtime::RandomState
        << ", \"FramesPresented\": " << record.FramesPresented;
    // Only a run that played more cues than the record lists says how many there were.
    if (record.CuesPlayed > static_cast<int64_t>(record.Cues.size())) {
        out << ", \"CuesPlayed\": " << record.CuesPlayed;
    }
    out << ", \"Cues\": ";
    JsonList(out, static_cast<int32_t>(record.Cues.size()), [&](int32_t i) {
        out << '"' << game::CueName(record.Cues[static_cast<size_t>(i)]) << '"';
    });
    out << "}\n";
}

bool State(Session& session, Arguments arguments, std::string& error) {
    if (arguments[0].Text != "-") {
        std::ostringstream text;
        WriteState(text);
        return WriteOutputFile(arguments[0].Text, text.str(), error);
    }
    WriteState(*session.Out);
    if (!session.Out->flush()) {
        error = "cannot write the standard output";
        return false;
    }
    return true;
}

constexpr Command Table[] = {
    {"seed", "p", "HH:MM:SS.mmm", Seed},
    {"new", "", "", New},
    {"move", "i", "Y", Move},
    {"click", "", "", Click},
    {"tick", "i", "N", Tick},
    {"frame", "p", "FILE", Frame},
    {"layer", "np", "NAME FILE", Layer},
    {"state", "p", "FILE", State},
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
