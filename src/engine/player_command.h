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

// The lines of one stream of commands, read as they come, by the headless player from its
// standard input and by the window from a replay, so that both take and refuse the same
// input: a line of at most kMaxCommandLineBytes bytes, the last one with or without its end,
// and one byte-order mark at the very start of the stream (some editors write one) but
// nowhere else.
class CommandReader {
  public:
    explicit CommandReader(std::istream& in) : in_(in) {}

    // Reads the next line into `line`, without its '\n'. At TooLong, `line` holds the first
    // kMaxCommandLineBytes bytes and the rest of the line is left unread: it may never end.
    LineRead next(std::string& line);

    // The number of the line last read, from 1.
    int lineNumber() const { return number_; }

  private:
    std::istream& in_;
    int number_ = 0;
};

// What to say of line `number` when it is too long.
std::string tooLongLineMessage(int number);

}  // namespace tovik
