// SPDX-License-Identifier: MIT
// The UTF-8 reader of the text layer.
#include "render/utf8.h"

namespace render {

constexpr char32_t ReplacementCharacter = 0xFFFD;

char32_t NextCharacter(std::string_view text, size_t& at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    size_t length = 0;
    char32_t value = 0, least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1Fu, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0Fu, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07u, least = 0x10000;
    }
    if (length == 0 || at + length > text.size()) {
        ++at;
        return ReplacementCharacter;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0u) != 0x80u) {
            ++at;
            return ReplacementCharacter;
        }
        value = (value << 6) | (byte(at + i) & 0x3Fu);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++at;
        return ReplacementCharacter;
    }
    at += length;
    return value;
}

}  // namespace render
