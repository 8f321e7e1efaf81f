// SPDX-License-Identifier: MIT
// The drawing operations as script commands: each takes its converted arguments and
// calls the drawing layer on the tool's current surface.
#include <algorithm>
#include <cmath>
#include <ostream>

#include "render/surface.h"
#include "render/utf8.h"
#include "tools/script/commands.h"
#include "tools/script/output_file.h"

namespace script {

namespace {

using Arguments = std::span<const Argument>;

float Coordinate(const Argument& argument) {
    return static_cast<float>(argument.Real);
}

// What one cached glyph of the font costs, reckoned as a square a little over the em
// plus the bookkeeping around it; a font the script cannot know is reckoned the largest.
int64_t GlyphBytesOf(render::FontHandle font) {
    const int32_t em = font == UnknownFont ? 0 : render::FontPixelsPerEm(font);
    const int64_t side = 2 + (em > 0 ? em : render::MaxPixelsPerEm);
    return 64 + side * side;
}

// The drawing layer refuses sides below 1; the script keeps its own limits above.
bool NewBitmapCommand(Session& session, Arguments arguments, std::string& error) {
    const int64_t width = arguments[1].Integer, height = arguments[2].Integer;
    const auto old = session.Bitmaps.find(arguments[0].Text);
    const int64_t kept =
        session.BitmapPixels - (old != session.Bitmaps.end() ? old->second.Pixels : 0);
    const bool fits = width <= MaxBitmapSide && height <= MaxBitmapSide &&
                      kept + std::max<int64_t>(width * height, 0) <= MaxBitmapPixels;
    const render::SurfaceHandle bitmap =
        fits ? render::NewBitmap(Int(arguments[1]), Int(arguments[2])) : 0;
    if (bitmap == 0) {
        error = Joined({"cannot make a bitmap of ", arguments[1].Text, " x ", arguments[2].Text,
                        " (sides 1 to ", std::to_string(MaxBitmapSide), ", all bitmaps together ",
                        std::to_string(MaxBitmapPixels), " pixels)"});
        return false;
    }
    if (old != session.Bitmaps.end()) {  // the name's old bitmap goes
        render::FreeBitmap(old->second.Handle);
        session.TextFonts.erase(old->second.Handle);
        session.Bitmaps.erase(old);
        session.BitmapPixels = kept;
    }
    session.Bitmaps[arguments[0].Text] = {bitmap, width * height};
    session.BitmapPixels += width * height;
    session.TextFonts[bitmap] = 1;  // the built-in font
    return true;
}

bool Attach(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle bitmap = 0;
    if (!FindBitmap(session, arguments[0].Text, bitmap, error)) {
        return false;
    }
    render::AttachSurface(bitmap, 0);
    session.Attached = bitmap;
    return true;
}

bool Clear(Session&, Arguments arguments, std::string&) {
    render::ClearSurface(Int(arguments[0]));
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
                    Int(arguments[6]));
    return true;
}

bool Position(Session&, Arguments arguments, std::string&) {
    render::SetPosition(Coordinate(arguments[0]), Coordinate(arguments[1]));
    return true;
}

// Each character drawn in a font for the first time adds a glyph to its cache.
bool Text(Session& session, Arguments arguments, std::string& error) {
    const std::string_view text = arguments[0].Text;
    const auto selected = session.TextFonts.find(session.Attached);
    const render::FontHandle font =
        selected != session.TextFonts.end() ? selected->second : UnknownFont;
    for (size_t at = 0; at < text.size();) {
        if (session.Glyphs.insert({font, render::NextCharacter(text, at)}).second) {
            session.GlyphBytes += GlyphBytesOf(font);
        }
    }
    if (session.GlyphBytes > MaxGlyphBytes) {
        error = Joined({"the texts drawn so far need more than ",
                        std::to_string(MaxGlyphBytes >> 20), " MiB of glyphs"});
        return false;
    }
    render::DrawText(text);
    return true;
}

bool EndLine(Session&, Arguments, std::string&) {
    render::EndTextLine();
    return true;
}

bool Font(Session& session, Arguments arguments, std::string& error) {
    const double points = arguments[2].Real;
    if (std::fabs(points) > MaxFontPoints) {
        error = Joined({"the size ", arguments[2].Text, " is not within +-",
                        std::to_string(static_cast<int>(MaxFontPoints)), " points"});
        return false;
    }
    const render::FontHandle font =
        render::NewFont(arguments[1].Text, static_cast<float>(points), Int(arguments[3]));
    if (!session.FontsMade.contains(font) && session.FontsMade.size() == MaxFonts) {
        error = Joined({"more than ", std::to_string(MaxFonts), " fonts"});
        return false;
    }
    session.FontsMade.insert(font);
    session.Fonts.insert_or_assign(arguments[0].Text, font);
    return true;
}

bool UseFont(Session& session, Arguments arguments, std::string& error) {
    const auto found = session.Fonts.find(arguments[0].Text);
    if (found == session.Fonts.end()) {
        error = Joined({"no font named '", arguments[0].Text, "'"});
        return false;
    }
    render::SetTextFont(found->second);
    session.TextFonts[session.Attached] = found->second;
    return true;
}

bool Copy(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle source = 0;
    if (!FindBitmap(session, arguments[0].Text, source, error)) {
        return false;
    }
    render::CopyBitmap(source, 0);
    return true;
}

bool CopyAt(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle source = 0;
    if (!FindBitmap(session, arguments[0].Text, source, error)) {
        return false;
    }
    render::CopyBitmapAt(source, 0, Coordinate(arguments[1]), Coordinate(arguments[2]));
    return true;
}

bool Png(Session& session, Arguments arguments, std::string& error) {
    render::SurfaceHandle bitmap = 0;
    if (!FindBitmap(session, arguments[0].Text, bitmap, error)) {
        return false;
    }
    return WritePngFile(bitmap, 0, arguments[1].Text, error);
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
    if (!*session.Out) {
        error = "cannot write the standard output";
        return false;
    }
    return true;
}

constexpr Command Table[] = {
    {"bitmap", "nii", "NAME W H", NewBitmapCommand},
    {"attach", "n", "NAME", Attach},
    {"clear", "c", "COLOUR", Clear},
    {"fore", "c", "COLOUR", Fore},
    {"back", "c", "COLOUR", Back},
    {"box", "fffficc", "X1 Y1 X2 Y2 CORNER OUTLINE FILL", Box},
    {"pos", "ff", "X Y", Position},
    {"text", "s", "\"STRING\"", Text},
    {"endline", "", "", EndLine},
    {"font", "nsfi", "NAME \"FACE\" SIZE STYLE", Font},
    {"usefont", "n", "NAME", UseFont},
    {"copy", "nx", "NAME [MODE]", Copy, 1},  // every copy is plain: the mode is not used
    {"copyat", "nffx", "NAME X Y [MODE]", CopyAt, 1},
    {"png", "np", "NAME FILE", Png},
    {"metrics", "", "", Metrics},
};

}  // namespace

bool FindBitmap(const Session& session, std::string_view name, render::SurfaceHandle& bitmap,
                std::string& error) {
    const auto found = session.Bitmaps.find(name);
    if (found == session.Bitmaps.end()) {
        error = Joined({"no bitmap named '", name, "'"});
        return false;
    }
    bitmap = found->second.Handle;
    return true;
}

void ForgetAttachedSurface(Session& session) {
    session.Attached = 0;
    session.TextFonts.erase(0);
}

std::span<const Command> DrawCommands() {
    return Table;
}

}  // namespace script
