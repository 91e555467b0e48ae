#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "story/language.h"

namespace tovik {

// One option a program takes, named without its dashes: "--seed N" is {"seed", true}.
struct OptionRule {
    std::string_view name;
    bool takesValue = false;
};

// The options given, each by its name: a value, or "" for an option that takes none. Help is
// the option "help", given as -h or --help.
struct GivenOptions {
    std::map<std::string, std::string, std::less<>> values;
    std::vector<std::string> operands;  // the plain words, in order

    bool has(std::string_view name) const { return values.contains(name); }
    const std::string* value(std::string_view name) const;
};

// The options of a command line, as the window and the headless player both read them:
// "--name value" or "--name=value", each at most once, up to `operands` plain words (a file
// name), and nothing else. A second --seed is refused, not quietly taken over the first: a
// script that gives two has a mistake in it. `arguments` are the words after the program's
// name (and after the command's, if any).
std::variant<GivenOptions, std::string> parseOptions(std::span<const std::string_view> arguments,
                                                     std::span<const OptionRule> rules,
                                                     std::size_t operands = 0);

// The option both programs take: the language played, "--lang ru" or "--lang en".
inline constexpr OptionRule kLanguageOption{"lang", true};

// The --seed option's value read as a seed, or the message that refuses it.
std::variant<std::uint64_t, std::string> seedOption(std::string_view text);

// The --lang option's value read as a language, or the message that refuses it.
std::variant<story::Language, std::string> languageOption(std::string_view text);

// `text` fit to be shown inside a one-line message: control characters and backslashes as
// escapes (\n, \t, \r, \\, \xNN; U+0080 to U+009F as \u0080 to \u009f), and every byte that
// is not part of well-formed UTF-8 as \xNN. So a NUL cannot cut the message short, a line end
// cannot make two lines of one, and no byte can start a terminal's control sequence. Other
// characters pass as they are.
std::string printable(std::string_view text);

// printable(text) between apostrophes.
std::string quotedText(std::string_view text);

}  // namespace tovik
