// SPDX-License-Identifier: MIT
// The drawing operations as script commands: each takes its converted arguments and
// calls the drawing layer on the tool's current surface.
#include <ostream>

#include "render/png.h"
#include "render/surface.h"
#include "tools/script/commands.h"

namespace script {

namespace {

using Arguments = std::span<const Argument>;

int32_t Int(const Argument& argument) {
    return static_cast<int32_t>(argument.Integer);
}

float Coordinate(const Argument& argument) {
    return static_cast<float>(argument.Real);
}

bool NewBitmapCommand(Session& session, Arguments arguments, std::string& error) {
    const render::SurfaceHandle bitmap = render::NewBitmap(Int(arguments[1]), Int(arguments[2]));
    if (bitmap == 0) {
        error = "cannot make a bitmap of " + arguments[1].Text + " x " + arguments[2].Text;
        return false;
    }
    session.Bitmaps.insert_or_assign(arguments[0].Text, bitmap);
    return true;
}

bool Attach(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle bitmap = 0;
    if (!FindBitmap(session, arguments[0].Text, bitmap, error)) {
        return false;
    }
    render::AttachSurface(bitmap, 0, 0);
    return true;
}

bool Clear(Session&, Arguments arguments, std::string&) {
    render::ClearSurface(Int(arguments[0]), 0);
    return true;
}

bool Fore(Session&, Arguments arguments, std::string&) {
    render::SetForeColour(Int(arguments[0]));
    return true;
}

bool Back(Session&, Arguments arguments, std::string&) {
    render::SetBackColour(Int(arguments[0]));
    return true;
}

bool Box(Session&, Arguments arguments, std::string&) {
    render::DrawBox(Coordinate(arguments[0]), Coordinate(arguments[1]), Coordinate(arguments[2]),
                    Coordinate(arguments[3]), Int(arguments[4]), Int(arguments[5]),
                    Int(arguments[6]), 0);
    return true;
}

bool Position(Session&, Arguments arguments, std::string&) {
    render::SetPosition(Coordinate(arguments[0]), Coordinate(arguments[1]));
    return true;
}

bool Text(Session&, Arguments arguments, std::string&) {
    render::DrawText(arguments[0].Text);
    return true;
}

bool EndLine(Session&, Arguments, std::string&) {
    render::EndTextLine();
    return true;
}

bool Font(Session& session, Arguments arguments, std::string&) {
    const render::FontHandle font = render::NewFont(
        arguments[1].Text, static_cast<float>(arguments[2].Real), Int(arguments[3]), 0, 0, 0);
    session.Fonts.insert_or_assign(arguments[0].Text, font);
    return true;
}

bool UseFont(Session& session, Arguments arguments, std::string& error) {
    const auto found = session.Fonts.find(arguments[0].Text);
    if (found == session.Fonts.end()) {
        error = "no font named '" + arguments[0].Text + "'";
        return false;
    }
    render::SetTextFont(found->second);
    return true;
}

bool Copy(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle source = 0;
    if (!FindBitmap(session, arguments[0].Text, source, error)) {
        return false;
    }
    render::CopyBitmap(source, 0, static_cast<uint32_t>(arguments[1].Integer));
    return true;
}

bool CopyAt(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle source = 0;
    if (!FindBitmap(session, arguments[0].Text, source, error)) {
        return false;
    }
    render::CopyBitmapAt(source, 0, Coordinate(arguments[1]), Coordinate(arguments[2]),
                         static_cast<uint32_t>(arguments[3].Integer));
    return true;
}

bool Png(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle bitmap = 0;
    if (!FindBitmap(session, arguments[0].Text, bitmap, error)) {
        return false;
    }
    if (!render::WriteSurfacePng(bitmap, 0, arguments[1].Text)) {
        error = "cannot write '" + arguments[1].Text + "'";
        return false;
    }
    return true;
}

bool Metrics(Session& session, Arguments, std::string& error) {
    render::SurfaceMetrics metrics;
    if (!render::CurrentMetrics(metrics)) {
        error = "no surface attached";
        return false;
    }
    *session.Out << "{\"x\": " << metrics.X << ", \"y\": " << metrics.Y
                 << ", \"ascent\": " << metrics.Ascent << ", \"descent\": " << metrics.Descent
                 << ", \"height\": " << metrics.Height
                 << ", \"externalLeading\": " << metrics.ExternalLeading
                 << ", \"averageWidth\": " << metrics.AverageWidth << "}" << std::endl;
    return true;
}

constexpr Command Table[] = {
    {"bitmap", "nii", "NAME W H", NewBitmapCommand},
    {"attach", "n", "NAME", Attach},
    {"clear", "i", "COLOUR", Clear},
    {"fore", "i", "COLOUR", Fore},
    {"back", "i", "COLOUR", Back},
    {"box", "ffffiii", "X1 Y1 X2 Y2 CORNER OUTLINE FILL", Box},
    {"pos", "ff", "X Y", Position},
    {"text", "s", "\"STRING\"", Text},
    {"endline", "", "", EndLine},
    {"font", "nsfi", "NAME \"FACE\" SIZE STYLE", Font},
    {"usefont", "n", "NAME", UseFont},
    {"copy", "ni", "NAME MODE", Copy},
    {"copyat", "nffi", "NAME X Y MODE", CopyAt},
    {"png", "np", "NAME FILE", Png},
    {"metrics", "", "", Metrics},
};

}  // namespace

bool FindBitmap(const Session& session, std::string_view name, render::SurfaceHandle& bitmap,
                std::string& error) {
    const auto found = session.Bitmaps.find(name);
    if (found == session.Bitmaps.end()) {
        error = "no bitmap named '" + std::string(name) + "'";
        return false;
    }
    bitmap = found->second;
    return true;
}

std::span<const Command> DrawCommands() {
    return Table;
}

}  // namespace script
