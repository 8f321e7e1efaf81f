// SPDX-License-Identifier: MIT
// The painters as script commands, each on a bitmap the script named.
#include "render/painters.h"
#include "render/text_painters.h"
#include "tools/script/commands.h"

namespace script {

namespace {

using Arguments = std::span<const Argument>;

// Whether a painter leaves a font of its own selected on its bitmap.
enum class Text { Untouched, OwnFont };

// Every painter command names its bitmap first and passes its other arguments on, as
// 32-bit integers; the painter leaves the bitmap attached.
template <Text text, auto Paint, size_t... More>
bool Painter(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle bitmap = 0;
    if (!FindBitmap(session, arguments[0].Text, bitmap, error)) {
        return false;
    }
    session.Attached = bitmap;
    Paint(bitmap, Int(arguments[More])...);
    if (text == Text::OwnFont) {
        session.TextFonts[bitmap] = UnknownFont;
    }
    return true;
}

bool Score(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle bitmap = 0;
    if (!FindBitmap(session, arguments[0].Text, bitmap, error)) {
        return false;
    }
    if (arguments[1].Integer < INT16_MIN || arguments[1].Integer > INT16_MAX) {
        error = Joined({"the count ", arguments[1].Text, " is not a 16-bit number"});
        return false;
    }
    session.Attached = bitmap;
    render::PaintScoreOn(bitmap, static_cast<int16_t>(arguments[1].Integer));
    session.TextFonts[bitmap] = UnknownFont;
    return true;
}

void Blank(render::SurfaceHandle bitmap) {
    render::BlankSurface(bitmap);
}

void Caption(render::SurfaceHandle bitmap) {
    render::PaintCaption(bitmap, 0, render::CaptionText, render::NewCaptionFont());
}

constexpr Command Table[] = {
    {"paint bar", "ni", "NAME LENGTH", Painter<Text::Untouched, render::PaintBarOn, 1>},
    {"paint block", "niic", "NAME X Y COLOUR",
     Painter<Text::Untouched, render::PaintBlockOn, 1, 2, 3>},
    {"paint erase", "nii", "NAME X Y", Painter<Text::Untouched, render::EraseBlockOn, 1, 2>},
    {"paint shot", "nii", "NAME X Y", Painter<Text::Untouched, render::PaintShot, 1, 2>},
    {"paint launcher", "n", "NAME", Painter<Text::Untouched, render::PaintLauncherOn>},
    {"paint blank", "n", "NAME", Painter<Text::Untouched, Blank>},
    {"paint score", "ni", "NAME COUNT", Score},
    {"paint gameover", "n", "NAME", Painter<Text::OwnFont, render::PaintGameOver>},
    {"paint win", "n", "NAME", Painter<Text::OwnFont, render::PaintWin>},
    {"paint caption", "n", "NAME", Painter<Text::OwnFont, Caption>},
};

}  // namespace

std::span<const Command> PaintCommands() {
    return Table;
}

}  // namespace script
