#include "engine/player_command.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <istream>
#include <vector>

#include "engine/command_line.h"

namespace tovik {

namespace {

constexpr std::string_view kBackground = "Form";

std::vector<std::string_view> wordsOf(std::string_view line) {
    constexpr std::string_view kBlanks = " \t";
    std::vector<std::string_view> words;
    while (true) {
        const std::size_t start = line.find_first_not_of(kBlanks);
        if (start == std::string_view::npos) {
            return words;
        }
        line.remove_prefix(start);
        const std::size_t end = std::min(line.find_first_of(kBlanks), line.size());
        words.push_back(line.substr(0, end));
        line.remove_prefix(end);
    }
}

std::string quoted(std::string_view text) {
    return quotedText(text);
}

constexpr std::string_view kVerbs[] = {"click", "move", "tick", "answer", "key", "focus"};
constexpr std::string_view kExpected = "; expected click, move, tick, answer, key or focus";

constexpr std::array<std::pair<PlayerKey, std::string_view>, 10> kKeyWords = {{
    {PlayerKey::Tab, "Tab"},
    {PlayerKey::BackTab, "BackTab"},
    {PlayerKey::Enter, "Enter"},
    {PlayerKey::Space, "Space"},
    {PlayerKey::Escape, "Escape"},
    {PlayerKey::Digit1, "1"},
    {PlayerKey::Digit2, "2"},
    {PlayerKey::Digit3, "3"},
    {PlayerKey::Digit4, "4"},
    {PlayerKey::Digit5, "5"},
}};
// Every key a view hands the game is written in a record: a new key needs its word here.
static_assert(kKeyWords.size() == static_cast<std::size_t>(PlayerKey::FullScreen),
              "every key the game itself acts on has a word in a record");

// "*N" at the end of a line: N from 1 to kMostRepeats, in decimal digits.
std::variant<std::uint32_t, std::string> repeatsOf(std::string_view word) {
    const std::string why = "a command repeats as *N, with N from 1 to " +
                            std::to_string(kMostRepeats) + ", not " + quoted(word);
    word.remove_prefix(1);
    std::uint32_t times = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), times);
    if (word.empty() || !std::isdigit(static_cast<unsigned char>(word[0])) ||
        error != std::errc() || end != word.data() + word.size() || times < 1 ||
        times > kMostRepeats) {
        return why;
    }
    return times;
}

}  // namespace

std::string_view keyWord(PlayerKey key) {
    for (const auto& [each, word] : kKeyWords) {
        if (each == key) {
            return word;
        }
    }
    return {};
}

std::optional<PlayerKey> keyOfWord(std::string_view word) {
    for (const auto& [key, each] : kKeyWords) {
        if (each == word) {
            return key;
        }
    }
    return std::nullopt;
}

std::string lineOf(const PlayerCommand& command) {
    std::string line(kVerbs[static_cast<std::size_t>(command.verb)]);
    line += ' ';
    switch (command.verb) {
        case Verb::Answer:
            line += command.yes ? "yes" : "no";
            break;
        case Verb::Key:
            line += keyWord(command.key);
            break;
        case Verb::Click:
        case Verb::Move:
        case Verb::Tick:
        case Verb::Focus:
            line += command.control ? nameOf(*command.control) : kBackground;
            break;
    }
    if (command.times != 1) {
        line += " *" + std::to_string(command.times);
    }
    return line;
}

std::variant<PlayerCommand, std::string> parsePlayerCommand(std::string_view line) {
    if (line.ends_with('\r')) {
        line.remove_suffix(1);  // a line written on Windows
    }
    std::vector<std::string_view> words = wordsOf(line);
    if (words.empty()) {
        return std::string("empty line") + std::string(kExpected);
    }
    const std::string_view verb = words[0];
    PlayerCommand command;
    const auto known = std::find(std::begin(kVerbs), std::end(kVerbs), verb);
    if (known == std::end(kVerbs)) {
        return "unknown command " + quoted(verb) + std::string(kExpected);
    }
    command.verb = static_cast<Verb>(known - std::begin(kVerbs));
    if (words.size() == 3 && words[2].starts_with('*')) {
        const auto times = repeatsOf(words[2]);
        if (const auto* why = std::get_if<std::string>(&times)) {
            return *why;
        }
        command.times = std::get<std::uint32_t>(times);
        words.pop_back();
    }

    if (command.verb == Verb::Answer) {
        if (words.size() != 2 || (words[1] != "yes" && words[1] != "no")) {
            return std::string("answer takes one word, yes or no");
        }
        command.yes = words[1] == "yes";
        return command;
    }
    if (command.verb == Verb::Key) {
        const std::optional<PlayerKey> key = words.size() == 2 ? keyOfWord(words[1]) : std::nullopt;
        if (!key) {
            return std::string("key takes one key: Tab, BackTab, Enter, Space, Escape or 1 to 5");
        }
        command.key = *key;
        return command;
    }

    if (words.size() != 2) {
        return quoted(verb) + " takes one control name";
    }
    const std::string_view name = words[1];
    const bool isTick = command.verb == Verb::Tick;
    const bool namesControl = isTick || command.verb == Verb::Focus;
    if (name == kBackground && !namesControl) {
        return command;
    }
    command.control = controlNamed(name);
    if (!command.control && name != kBackground) {
        return "no control named " + quoted(name);
    }
    if (isTick && (!command.control || kindOf(*command.control) != ControlKind::Timer)) {
        return quoted(name) + " is not a timer; tick HealthTimer, Death, Win or ColorChanger";
    }
    if (!command.control) {
        return std::string("focus takes a control, not the window's background");
    }
    return command;
}

LineRead CommandReader::next(std::string& line) {
    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    line.clear();
    bool atStart = number_ == 0;
    ++number_;
    while (true) {
        const std::istream::int_type next = in_.get();
        if (next == std::istream::traits_type::eof()) {
            return line.empty() ? LineRead::End : LineRead::Line;
        }
        if (next == '\n') {
            return LineRead::Line;
        }
        if ((line.size() == kMaxCommandLineBytes && !isLongVerbLine(line)) ||
            line.size() == std::max(longest_, kMaxCommandLineBytes)) {
            in_.unget();
            return LineRead::TooLong;
        }
        line.push_back(static_cast<char>(next));
        if (atStart && line.size() == kByteOrderMark.size()) {
            atStart = false;
            if (line == kByteOrderMark) {
                line.clear();  // counts for nothing, not even towards the line's length
            }
        }
    }
}

bool CommandReader::isLongVerbLine(std::string_view line) const {
    const std::size_t start = line.find_first_not_of(" \t");
    if (longVerb_.empty() || start == std::string_view::npos) {
        return false;
    }
    line.remove_prefix(start);
    return line.starts_with(longVerb_) && line.size() > longVerb_.size() &&
           (line[longVerb_.size()] == ' ' || line[longVerb_.size()] == '\t');
}

std::string tooLongLineMessage(int number) {
    return "line " + std::to_string(number) + " is longer than " +
           std::to_string(kMaxCommandLineBytes) + " bytes; a command is one short line";
}

}  // namespace tovik
