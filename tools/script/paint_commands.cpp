// SPDX-License-Identifier: MIT
// The painters as script commands, each on a bitmap the script named.
#include "render/painters.h"
#include "render/text_painters.h"
#include "tools/script/commands.h"

namespace script {

namespace {

using Arguments = std::span<const Argument>;

// Every painter command names its bitmap first; the painter leaves it attached.
bool Target(Session& session, Arguments arguments, render::SurfaceHandle& bitmap,
            std::string& error) {
    if (!FindBitmap(session, arguments[0].Text, bitmap, error)) {
        return false;
    }
    session.Attached = bitmap;
    return true;
}

// The text painters leave a font of their own selected.
template <void (*Paint)(render::SurfaceHandle)>
bool WithText(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle bitmap = 0;
    if (!Target(session, arguments, bitmap, error)) {
        return false;
    }
    Paint(bitmap);
    session.TextFonts[bitmap] = UnknownFont;
    return true;
}

bool Bar(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle bitmap = 0;
    if (!Target(session, arguments, bitmap, error)) {
        return false;
    }
    render::PaintBarOn(bitmap, Int(arguments[1]));
    return true;
}

bool Block(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle bitmap = 0;
    if (!Target(session, arguments, bitmap, error)) {
        return false;
    }
    render::PaintBlockOn(bitmap, Int(arguments[1]), Int(arguments[2]), Int(arguments[3]));
    return true;
}

bool Erase(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle bitmap = 0;
    if (!Target(session, arguments, bitmap, error)) {
        return false;
    }
    render::EraseBlockOn(bitmap, Int(arguments[1]), Int(arguments[2]));
    return true;
}

bool Shot(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle bitmap = 0;
    if (!Target(session, arguments, bitmap, error)) {
        return false;
    }
    render::PaintShot(bitmap, Int(arguments[1]), Int(arguments[2]));
    return true;
}

// The painters that take nothing but their surface.
template <void (*Paint)(render::SurfaceHandle)>
bool OnSurface(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle bitmap = 0;
    if (!Target(session, arguments, bitmap, error)) {
        return false;
    }
    Paint(bitmap);
    return true;
}

bool Score(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle bitmap = 0;
    if (!Target(session, arguments, bitmap, error)) {
        return false;
    }
    if (arguments[1].Integer < INT16_MIN || arguments[1].Integer > INT16_MAX) {
        error = Joined({"the count ", arguments[1].Text, " is not a 16-bit number"});
        return false;
    }
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
    {"paint bar", "ni", "NAME LENGTH", Bar},
    {"paint block", "niic", "NAME X Y COLOUR", Block},
    {"paint erase", "nii", "NAME X Y", Erase},
    {"paint shot", "nii", "NAME X Y", Shot},
    {"paint launcher", "n", "NAME", OnSurface<render::PaintLauncherOn>},
    {"paint blank", "n", "NAME", OnSurface<Blank>},
    {"paint score", "ni", "NAME COUNT", Score},
    {"paint gameover", "n", "NAME", WithText<render::PaintGameOver>},
    {"paint win", "n", "NAME", WithText<render::PaintWin>},
    {"paint caption", "n", "NAME", WithText<Caption>},
};

}  // namespace

std::span<const Command> PaintCommands() {
    return Table;
}

}  // namespace script
