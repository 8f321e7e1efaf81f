// SPDX-License-Identifier: MIT
// The command line: the program's two options and Qt's, in plain C++ so that every
// word printed is the program's own Spanish.
#include "shell/command_line.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace shell {

namespace {

// ---- Constants ------------------------------------------------------------------

constexpr int UsageExitCode = 2;

constexpr const char* UsageText =
    "Uso: zarpeta [opciones]\n"
    "Juego de arcade: derriba el muro de bloques antes de que la barra crezca.\n"
    "\n"
    "Opciones:\n"
    "  -h, --help            Muestra esta ayuda y termina.\n"
    "  -v, --version         Muestra la versi\u00f3n y termina.\n"
    "  -platform <nombre>    Plataforma de Qt (xcb, wayland, offscreen...).\n"
    "  -display <pantalla>   Pantalla X11 que abrir, p. ej. :0.\n";

// ---- Types ----------------------------------------------------------------------

// One of Qt's own options: whether it takes a value, and whether Qt also reads the
// value joined to the name by "=" (it reads the others only as the next argument).
struct QtOption {
    std::string_view Name;
    bool TakesValue;
    bool Joinable;
};

constexpr QtOption QtOptions[] = {
    {"platform", true, false},
    {"display", true, false},
    {"platformpluginpath", true, false},
    {"platformtheme", true, false},
    {"plugin", true, false},
    {"qwindowgeometry", true, false},
    {"qwindowicon", true, false},
    {"qwindowtitle", true, false},
    {"geometry", true, false},
    {"session", true, false},
    {"style", true, true},
    {"stylesheet", true, true},
    {"qmljsdebugger", true, true},
    {"reverse", false, false},
    {"widgetcount", false, false},
    {"nograb", false, false},
    {"dograb", false, false},
    {"sync", false, false},
};

// ---- Internal helpers -----------------------------------------------------------

// Workers do not exist yet; the process can end without its destructors.
[[noreturn]] void EndWith(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

[[noreturn]] void RefuseUsage(const char* what, std::string_view argument) {
    std::fprintf(stderr, "zarpeta: %s: %.*s\n%s", what, static_cast<int>(argument.size()),
                 argument.data(), UsageText);
    EndWith(UsageExitCode);
}

// QT_SCALE_FACTOR's value, null when it is not set.
const char* ScaleFactorSet() {
    const char* value = std::getenv("QT_SCALE_FACTOR");
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// One line, as Qt's own options get: the usage says nothing of the environment.
[[noreturn]] void RefuseScaleFactor(const char* value, const char* why) {
    std::fprintf(stderr, "zarpeta: QT_SCALE_FACTOR=%s: %s\n", value, why);
    EndWith(UsageExitCode);
}

const QtOption* FindQtOption(std::string_view name) {
    for (const QtOption& option : QtOptions) {
        if (option.Name == name) {
            return &option;
        }
    }
    return nullptr;
}

// The option's name without its one or two dashes and without a joined value.
std::string_view OptionName(std::string_view argument) {
    argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
    return argument.substr(0, argument.find('='));
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

StartOptions ReadCommandLine(int argc, char** argv) {
    StartOptions options;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument.size() < 2 || argument[0] != '-' || argument == "--") {
            RefuseUsage("argumento inesperado", argument);
        }
        const std::string_view name = OptionName(argument);
        const bool joined = argument.find('=') != std::string_view::npos;
        if (!joined && (name == "h" || name == "help" || name == "?")) {
            std::fputs(UsageText, stdout);
            EndWith(0);
        }
        if (!joined && (name == "v" || name == "version")) {
            std::printf("zarpeta %s\n", ZARPETA_VERSION);
            EndWith(0);
        }
        const QtOption* option = FindQtOption(name);
        if (option == nullptr || (joined && !option->Joinable)) {
            RefuseUsage("opci\u00f3n desconocida", argument);
        }
        if (!option->TakesValue || joined) {
            continue;
        }
        if (++index == argc) {
            RefuseUsage("falta el valor de la opci\u00f3n", argument);
        }
        options.PlatformGiven = options.PlatformGiven || name == "platform";
        if (name == "display") {
            options.Display = argv[index];
        }
    }
    return options;
}

void CheckScaleFactor() {
    const char* value = ScaleFactorSet();
    if (value == nullptr) {
        return;
    }
    char* end = nullptr;
    const double factor = std::strtod(value, &end);
    // Written so that a NaN fails too.
    if (*end != '\0' || !std::isfinite(factor) || !(factor >= SmallestPlayScale)) {
        char why[64];
        std::snprintf(why, sizeof why, "la escala ha de ser un n\u00famero no menor que %g",
                      SmallestPlayScale);
        RefuseScaleFactor(value, why);
    }
}

void RefuseScaleFactorTooLarge() {
    if (const char* value = ScaleFactorSet()) {
        RefuseScaleFactor(value, "a esa escala la ventana no cabe en la pantalla");
    }
}

}  // namespace shell
