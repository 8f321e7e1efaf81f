// SPDX-License-Identifier: MIT
// The tokenizer, the argument kinds and the line-by-line run of a script.
#include "tools/script/script_parser.h"

#include <charconv>
#include <cmath>
#include <istream>
#include <limits>
#include <ostream>
#include <utility>

namespace script {

namespace {

struct Match {
    const Command* Found = nullptr;
    size_t Words = 0;  // tokens the command's name takes up
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool IsNameCharacter(char c, bool first) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    return letter || (!first && c >= '0' && c <= '9');
}

bool IsName(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (!IsNameCharacter(text[i], i == 0)) {
            return false;
        }
    }
    return !text.empty();
}

// Reads a "..." string starting at line[at]; at ends just past the closing quote.
bool ReadString(std::string_view line, size_t& at, std::string& text) {
    for (++at; at < line.size(); ++at) {
        char c = line[at];
        if (c == '"') {
            ++at;
            return true;
        }
        if (c == '\\' && at + 1 < line.size() && (line[at + 1] == '"' || line[at + 1] == '\\')) {
            c = line[++at];
        }
        text.push_back(c);
    }
    return false;
}

// Digits of one base, the whole text, as an unsigned magnitude.
bool ParseDigits(std::string_view text, int base, uint64_t& value) {
    if (text.empty() || text.front() == '-' || text.front() == '+') {
        return false;
    }
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool ParseMagnitude(std::string_view text, uint64_t& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return ParseDigits(text.substr(2), 16, value);
    }
    return ParseDigits(text, 10, value);
}

bool IsHex(std::string_view text) {
    if (!text.empty() && text.front() == '-') {
        text.remove_prefix(1);
    }
    return text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

// The words of a command's name, matched against the leading bare tokens.
size_t MatchName(std::string_view name, const std::vector<Token>& tokens) {
    size_t words = 0;
    while (!name.empty()) {
        const size_t space = name.find(' ');
        const std::string_view word = name.substr(0, space);
        if (words >= tokens.size() || tokens[words].Quoted || tokens[words].Text != word) {
            return 0;
        }
        ++words;
        name = space == std::string_view::npos ? std::string_view() : name.substr(space + 1);
    }
    return words;
}

Match FindCommand(std::span<const Command> commands, const std::vector<Token>& tokens) {
    Match best;
    for (const Command& command : commands) {
        const size_t words = MatchName(command.Name, tokens);
        if (words > best.Words) {
            best = {&command, words};
        }
    }
    return best;
}

// A token as an error message quotes it: long ones cut short.
std::string_view Shown(std::string_view text) {
    return text.substr(0, 40);
}

std::string Usage(const Command& command) {
    return Joined({"usage: ", command.Name, " ", command.Usage});
}

bool ConvertNumber(char kind, std::string_view text, Argument& argument) {
    if (kind == 'x') {
        kind = 'c';
    }
    if (kind == 'f') {
        return ParseReal(text, argument.Real);
    }
    return ParseInteger(text, argument.Integer) &&
           (kind != 'i' || (argument.Integer >= -MaxNumber && argument.Integer <= MaxNumber));
}

bool Convert(char kind, const Token& token, Argument& argument, std::string& error) {
    const bool wantsQuotes = kind == 's';
    if (kind != 'p' && token.Quoted != wantsQuotes) {
        error = wantsQuotes
                    ? Joined({"expected a \"string\", got '", Shown(token.Text), "'"})
                    : Joined({"expected a bare word or number, got \"", Shown(token.Text), "\""});
        return false;
    }
    argument.Text = token.Text;
    if (kind == 'n' && !IsName(token.Text)) {
        error = Joined({"bad name '", Shown(token.Text), "'"});
        return false;
    }
    if ((kind == 'i' || kind == 'c' || kind == 'x' || kind == 'f') &&
        !ConvertNumber(kind, token.Text, argument)) {
        const std::string range =
            kind == 'c' || kind == 'x'
                ? " (a 32-bit integer, decimal or 0x-hex)"
                : Joined({" (a ", kind == 'i' ? "whole " : "", "number within +-",
                          std::to_string(MaxNumber), ")"});
        error = Joined({"bad number '", Shown(token.Text), "'", range});
        return false;
    }
    return true;
}

bool ConvertArguments(const Command& command, std::span<const Token> tokens,
                      std::vector<Argument>& arguments, std::string& error) {
    const size_t most = command.Signature.size(), least = most - command.Optional;
    if (tokens.size() < least || tokens.size() > most) {
        const std::string counts =
            least == most ? std::to_string(most)
                          : Joined({std::to_string(least), " to ", std::to_string(most)});
        error = Joined({"'", command.Name, "' takes ", counts, " argument(s), got ",
                        std::to_string(tokens.size()), "; ", Usage(command)});
        return false;
    }
    arguments.clear();
    for (size_t i = 0; i < tokens.size(); ++i) {
        Argument argument;
        if (!Convert(command.Signature[i], tokens[i], argument, error)) {
            error = Joined({"argument ", std::to_string(i + 1), ": ", error, "; ", Usage(command)});
            return false;
        }
        if (command.Signature[i] != 'x') {
            arguments.push_back(std::move(argument));
        }
    }
    return true;
}

// Runs one line; false and error when it is faulty or its command fails.
bool RunLine(std::string_view line, std::span<const Command> commands, Session& session,
             std::string& error) {
    std::vector<Token> tokens;
    if (!Tokenize(line, tokens, error)) {
        return false;
    }
    if (tokens.empty()) {
        return true;
    }
    const Match match = FindCommand(commands, tokens);
    if (match.Found == nullptr) {
        error = Joined({"unknown command '", Shown(tokens.front().Text), "'"});
        return false;
    }
    std::vector<Argument> arguments;
    const std::span<const Token> rest(tokens.begin() + static_cast<ptrdiff_t>(match.Words),
                                      tokens.end());
    return ConvertArguments(*match.Found, rest, arguments, error) &&
           match.Found->Run(session, arguments, error);
}

// Reads one line without its newline, at most MaxLineBytes of it; false and error for
// a longer line, a NUL byte or a read error. At the end of input, false with no error.
bool ReadLine(std::istream& input, std::string& line, std::string& error) {
    line.clear();
    error.clear();
    char c = 0;
    while (input.get(c)) {
        if (c == '\n') {
            return true;
        }
        if (c == '\0' || line.size() == MaxLineBytes) {
            error = c == '\0' ? "a NUL byte"
                              : Joined({"longer than ", std::to_string(MaxLineBytes), " bytes"});
            return false;
        }
        line.push_back(c);
    }
    if (input.bad()) {
        error = "cannot read the script";
        return false;
    }
    return !line.empty();
}

}  // namespace

std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string joined;
    for (const std::string_view part : parts) {
        joined.append(part);
    }
    return joined;
}

bool Tokenize(std::string_view line, std::vector<Token>& tokens, std::string& error) {
    tokens.clear();
    size_t at = 0;
    while (at < line.size()) {
        if (IsBlank(line[at])) {
            ++at;
        } else if (line[at] == '#') {
            break;
        } else if (line[at] == '"') {
            Token& token = tokens.emplace_back(Token{"", true});
            if (!ReadString(line, at, token.Text)) {
                error = "unterminated string";
                return false;
            }
        } else {
            const size_t start = at;
            while (at < line.size() && !IsBlank(line[at]) && line[at] != '"' && line[at] != '#') {
                ++at;
            }
            tokens.push_back({std::string(line.substr(start, at - start)), false});
        }
    }
    return true;
}

bool ParseInteger(std::string_view text, int64_t& value) {
    const bool negative = !text.empty() && text.front() == '-';
    uint64_t magnitude = 0;
    if (!ParseMagnitude(negative ? text.substr(1) : text, magnitude)) {
        return false;
    }
    const uint64_t limit =
        static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) + (negative ? 1 : 0);
    if (magnitude > limit) {
        return false;
    }
    value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

bool ParseDecimal(std::string_view text, int64_t& value) {
    uint64_t magnitude = 0;
    if (!ParseDigits(text, 10, magnitude) || magnitude > uint64_t{INT32_MAX}) {
        return false;
    }
    value = static_cast<int64_t>(magnitude);
    return true;
}

bool ParseReal(std::string_view text, double& value) {
    if (IsHex(text)) {
        int64_t integer = 0;
        if (!ParseInteger(text, integer) || integer < -MaxNumber || integer > MaxNumber) {
            return false;
        }
        value = static_cast<double>(integer);
        return true;
    }
    // Fixed notation only: no exponent, no "inf" or "nan", and a digit somewhere.
    if (text.find_first_of("0123456789") == std::string_view::npos ||
        text.find_first_not_of("-.0123456789") != std::string_view::npos) {
        return false;
    }
    double parsed = 0;
    const auto result =
        std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
        std::fabs(parsed) > static_cast<double>(MaxNumber)) {
        return false;
    }
    value = parsed;
    return true;
}

int RunScript(std::istream& input, std::span<const Command> commands, Session& session,
              std::ostream& errors) {
    std::string line;
    std::string error;
    for (int64_t number = 1;; ++number) {
        if (!ReadLine(input, line, error) && error.empty()) {
            return ExitOk;
        }
        if (!error.empty() || !RunLine(line, commands, session, error)) {
            errors << "line " << number << ": " << error << '\n';
            return ExitScriptError;
        }
    }
}

}  // namespace script
