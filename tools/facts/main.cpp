// SPDX-License-Identifier: MIT
// zarpeta-facts: prints the facts that the build and the end-to-end tests share with
// the program, read from the program's own headers, one `Name=value` line each.
//
// Usage: zarpeta-facts
//
// A fact is printed under its name in the code. Sizes and places are decimal pixels;
// colours are RRGGBB, as a screenshot shows them; a list is its values separated by
// blanks: the cue files (CueFiles), the icon's sides (IconSides), the items of the menu
// "Funciones" in their order (FunctionItems). The build reads this output when it is
// configured, the end-to-end tests when they start, so neither reads C++ source.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string_view>

#include "game/cue.h"
#include "game/layout.h"
#include "render/painters.h"
#include "render/surface.h"
#include "render/text_painters.h"
#include "shell/icon_sides.h"
#include "shell/menu.h"

namespace {

// ---- Internal helpers -----------------------------------------------------------

// The name as written in the code, without its namespace.
std::string_view Unqualified(std::string_view name) {
    const size_t colons = name.rfind("::");
    return colons == std::string_view::npos ? name : name.substr(colons + 2);
}

void PrintNumber(std::string_view name, int32_t value) {
    std::printf("%.*s=%d\n", static_cast<int>(name.size()), name.data(), value);
}

// 0x00BBGGRR as RRGGBB.
void PrintColour(std::string_view name, int32_t colour) {
    std::printf("%.*s=%02X%02X%02X\n", static_cast<int>(name.size()), name.data(), colour & 0xFF,
                (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

void PrintText(std::string_view text) {
    std::printf("%.*s", static_cast<int>(text.size()), text.data());
}

// NAME=first second ...: each member of the list printed by print.
template <typename List, typename Print>
void PrintList(std::string_view name, const List& list, Print print) {
    std::printf("%.*s=", static_cast<int>(name.size()), name.data());
    for (size_t index = 0; index < std::size(list); ++index) {
        std::fputs(index == 0 ? "" : " ", stdout);
        print(list[index]);
    }
    std::printf("\n");
}

constexpr bool OneWord(std::string_view text) {
    return !text.empty() && text.find(' ') == std::string_view::npos;
}
static_assert(std::ranges::all_of(shell::FunctionItems,
                                  [](const shell::MenuItem& item) { return OneWord(item.Text); }),
              "each menu item is one word, so that the list of them reads back");
static_assert(std::ranges::all_of(game::CueTable,
                                  [](const game::CueRow& row) { return OneWord(row.File); }),
              "each cue file's name is one word, so that the list of them reads back");

// Each fact named once: the macro prints the constant under the name it is written with.
#define NUMBER(name) PrintNumber(Unqualified(#name), name)
#define COLOUR(name) PrintColour(Unqualified(#name), name)

void PrintGeometry() {
    NUMBER(game::PlayAreaWidth);
    NUMBER(game::PlayAreaHeight);
    NUMBER(game::PlayAreaBorder);
    NUMBER(game::ControlImageWidth);
    NUMBER(game::BlockLayerWidth);
    NUMBER(game::BarLayerWidth);
    NUMBER(game::BarLaneX);
    NUMBER(game::LauncherX);
    NUMBER(game::CellWidth);
    NUMBER(game::CellHeight);
    NUMBER(game::ShotStartX);
    NUMBER(game::ShotStep);
    NUMBER(game::ShotBelowAim);
    NUMBER(game::BarLaneRight);
    NUMBER(render::BarWidth);
    NUMBER(render::ScoreLabelX);
    NUMBER(render::ScoreLabelY);
    NUMBER(render::ScoreNumberY);
    NUMBER(render::EndX);
    NUMBER(render::EndY);
}

void PrintColours() {
    COLOUR(render::ColourSilver);
    COLOUR(render::ColourGrey);
    COLOUR(render::ColourRed);
    COLOUR(render::ColourMaroon);
    COLOUR(render::ColourWhite);
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

int main() {
    PrintGeometry();
    PrintColours();
    PrintList("FunctionItems", shell::FunctionItems,
              [](const shell::MenuItem& item) { PrintText(item.Text); });
    PrintList("CueFiles", game::CueTable, [](const game::CueRow& row) { PrintText(row.File); });
    PrintList("IconSides", shell::IconSides, [](int32_t side) { std::printf("%d", side); });
    return std::ferror(stdout) ? 1 : 0;
}
