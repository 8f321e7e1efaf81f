// SPDX-License-Identifier: MIT
// How the text layer reads UTF-8: shared with tools that count the glyphs a text needs.
//
// Owns: nothing. Threads: any; it touches nothing but its arguments.
#pragma once

#include <cstddef>
#include <string_view>

namespace render {

// The character at text[at], with at moved past it. A malformed sequence (a stray or
// truncated byte, an overlong form, a surrogate, past U+10FFFF) yields U+FFFD for its
// first byte, and reading goes on with the next byte. at must lie within text.
char32_t NextCharacter(std::string_view text, size_t& at);

}  // namespace render
