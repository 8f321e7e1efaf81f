// SPDX-License-Identifier: MIT
// The menu "Funciones": its command ids and its items, in the order shown.
//
// Owns: the command ids and FunctionItems. Constants only, with no toolkit: the window
// builds its menu from them and tools/facts prints them for the end-to-end tests.
// Threads: read from any thread, no lock.
#pragma once

#include <cstdint>
#include <string_view>

namespace shell {

constexpr int32_t IdNew = 1003;     // "Nuevo"
constexpr int32_t IdQuit = 1004;    // "Salir"
constexpr int32_t IdAuthor = 1005;  // "Autor"

constexpr std::string_view FunctionsTitle = "Funciones";

struct MenuItem {
    std::string_view Text;  // one word: the tests list the items separated by blanks
    int32_t Id;
};

// Plain items: no shortcuts, no mnemonics, no separators; the ids are not in order.
constexpr MenuItem FunctionItems[] = {
    {"Nuevo", IdNew},
    {"Autor", IdAuthor},
    {"Salir", IdQuit},
};

}  // namespace shell
