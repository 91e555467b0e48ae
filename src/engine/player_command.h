#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "form/controls.h"

namespace tovik {

// One thing a player does to the game window, as a line of text: "click NAME", "move NAME"
// ("Form" is the window's background), "tick TIMER" or "answer yes|no". The headless player
// and the window's replays read the same lines.
enum class Verb { Click, Move, Tick, Answer };

struct PlayerCommand {
    Verb verb{};
    std::optional<ControlId> control;  // nothing: the form's background
    bool yes = false;
};

// The command on one line, or why it is none. A trailing carriage return is ignored.
std::variant<PlayerCommand, std::string> parsePlayerCommand(std::string_view line);

// The longest line of commands read, in bytes. The longest command is some twenty; the rest is
// room for blanks and comments. Input with no line end (a device of zeros, a binary file) is
// refused at this length, not read until memory runs out.
inline constexpr std::size_t kMaxCommandLineBytes = 4096;

enum class LineRead { Line, End, TooLong };

// Reads the next line of commands from `in` into `line`, without its '\n'. The last line may
// lack its end. At TooLong, `line` holds the first kMaxCommandLineBytes bytes and the rest of the
// line is left unread.
LineRead readCommandLine(std::istream& in, std::string& line);

// What to say of line `number` when it is too long.
std::string tooLongLineMessage(int number);

}  // namespace tovik
