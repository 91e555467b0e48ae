#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "engine/keyboard.h"
#include "form/controls.h"

namespace tovik {

// One thing a player does to the game window, as a line of text: "click NAME", "move NAME"
// ("Form" is the window's background), "tick TIMER", "answer yes|no", "key KEY" (Tab, BackTab,
// Enter, Space, Escape, 1 to 5) or "focus NAME" (the pointer or a screen reader put the
// keyboard's focus there). "*N" after a command does it N times in a row. The headless player,
// the window's replays and a game's record read the same lines.
enum class Verb { Click, Move, Tick, Answer, Key, Focus };

// The most times one line repeats its command: as many events as a record holds.
inline constexpr std::uint32_t kMostRepeats = 2'000'000;

struct PlayerCommand {
    Verb verb{};
    std::optional<ControlId> control;  // nothing: the form's background
    bool yes = false;
    PlayerKey key = PlayerKey::Other;
    std::uint32_t times = 1;
    bool operator==(const PlayerCommand&) const = default;
};

// The command on one line, or why it is none. A trailing carriage return is ignored.
std::variant<PlayerCommand, std::string> parsePlayerCommand(std::string_view line);

// The command as its one shortest line, which reads back as the same command.
std::string lineOf(const PlayerCommand& command);

// The word of a key in "key KEY", and the key of a word; FullScreen and Other have none, since
// neither reaches the game.
std::string_view keyWord(PlayerKey key);
std::optional<PlayerKey> keyOfWord(std::string_view word);

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
    // A reader that also takes a line starting with `verb` and a blank of up to `longest` bytes:
    // the headless player's `restore`, which carries a whole game's record on its line.
    CommandReader(std::istream& in, std::string_view verb, std::size_t longest)
        : in_(in), longVerb_(verb), longest_(longest) {}

    // Reads the next line into `line`, without its '\n'. At TooLong, `line` holds the first
    // kMaxCommandLineBytes bytes and the rest of the line is left unread: it may never end.
    LineRead next(std::string& line);

    // The number of the line last read, from 1.
    int lineNumber() const { return number_; }

  private:
    bool isLongVerbLine(std::string_view line) const;

    std::istream& in_;
    std::string_view longVerb_;
    std::size_t longest_ = 0;
    int number_ = 0;
};

// What to say of line `number` when it is too long.
std::string tooLongLineMessage(int number);

}  // namespace tovik
