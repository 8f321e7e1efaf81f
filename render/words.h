// SPDX-License-Identifier: MIT
// The words the player sees or hears: the play area's texts, drawn by the text
// painters and read out by the window's accessible description.
//
// Owns: constants only, read from any thread.
#pragma once

#include <string_view>

namespace render {

constexpr std::string_view ScoreLabel = "Bloques Destruidos";    // before the count
constexpr std::string_view LostText = "Game Over";               // the end screen of a lost game
constexpr std::string_view WonText = "Ganaste";                  // the end screen of a won game
constexpr std::string_view CaptionText = "www.zarpeta.example";  // the maker's, under the wall

}  // namespace render
