// SPDX-License-Identifier: MIT
// The script language of zarpeta-script: one command a line, checked against a table.
//
// Owns: the tokenizer (bare words, numbers, double-quoted strings, `#` comments), the
// conversion of arguments to the kinds a command asks for, and the run of a script
// that stops at the first faulty line. Knows nothing of drawing: each command is a
// small function in a table that another unit supplies.
// Threads: the tool's main thread only.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace script {

struct Session;  // what the commands work on; see commands.h

struct Token {
    std::string Text;     // the word, or the string without its quotes and escapes
    bool Quoted = false;  // written as "..."
};

// One argument, converted to the kind the command's signature asks for.
struct Argument {
    std::string Text;     // names, strings and files
    int64_t Integer = 0;  // 'i'
    double Real = 0;      // 'f'
};

// Runs one command. Returns false and sets error for a fault the command finds
// (an unknown name, a failed write); the run then stops at this line.
using CommandFunction = bool (*)(Session& session, std::span<const Argument> arguments,
                                 std::string& error);

// Whatever a script says, the numbers it gives stay small enough that no sum or
// product of a few of them overflows a 32-bit integer, and a line is read into a
// buffer of bounded size.
constexpr int64_t MaxNumber = int64_t{1} << 20;  // 'i' and 'f' lie within +-MaxNumber
constexpr size_t MaxLineBytes = 4096;            // the newline not counted

// A command's name may be several words ("paint bar"); the longest matching name
// wins. Signature: one letter per argument:
//   n  a name (bare word)     s  a "string"           p  a path (bare or quoted)
//   i  an integer within +-MaxNumber, decimal or 0x-hex, negative allowed
//   c  a colour or mode word: any 32-bit integer, decimal or 0x-hex
//   f  a coordinate within +-MaxNumber: decimal with an optional fraction, or 0x-hex
//   x  a word older scripts give and nothing uses (a copy's raster mode): checked as c,
//      then left out of the arguments the command gets
// The last Optional letters may be left out; the command gets only those given.
struct Command {
    std::string_view Name;
    std::string_view Signature;
    std::string_view Usage;  // the arguments as the error message shows them: "NAME W H"
    CommandFunction Run;
    size_t Optional = 0;
};

// Splits one line into tokens; a `#` outside a string ends the line. Inside a
// string, \" and \\ stand for " and \. False and error for an unterminated string.
bool Tokenize(std::string_view line, std::vector<Token>& tokens, std::string& error);

// Numbers as scripts write them; false for anything else (or out of range: a 32-bit
// integer, a real within +-MaxNumber). ParseDecimal: digits only, no sign, no 0x.
bool ParseInteger(std::string_view text, int64_t& value);
bool ParseReal(std::string_view text, double& value);
bool ParseDecimal(std::string_view text, int64_t& value);

// An 'i' or 'c' argument as the drawing layer and the game take it: both fit 32 bits.
inline int32_t Int(const Argument& argument) {
    return static_cast<int32_t>(argument.Integer);
}

// The parts one after another: messages are built with this rather than chains of
// operator+, which GCC 12's optimiser misreads as overlapping copies.
std::string Joined(std::initializer_list<std::string_view> parts);

// Runs every line of input. A faulty line (a fault of the command, a line longer than
// MaxLineBytes, a NUL byte, a read error) writes "line N: message" to errors and ends
// the run with exit code 2; a script that reaches its end gives 0.
int RunScript(std::istream& input, std::span<const Command> commands, Session& session,
              std::ostream& errors);

constexpr int ExitOk = 0;
constexpr int ExitScriptError = 2;

}  // namespace script
