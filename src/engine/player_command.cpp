#include "engine/player_command.h"

#include <algorithm>
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

}  // namespace

std::variant<PlayerCommand, std::string> parsePlayerCommand(std::string_view line) {
    if (line.ends_with('\r')) {
        line.remove_suffix(1);  // a line written on Windows
    }
    const std::vector<std::string_view> words = wordsOf(line);
    if (words.empty()) {
        return std::string("empty line; expected click, move, tick or answer");
    }
    const std::string_view verb = words[0];
    PlayerCommand command;
    if (verb == "click") {
        command.verb = Verb::Click;
    } else if (verb == "move") {
        command.verb = Verb::Move;
    } else if (verb == "tick") {
        command.verb = Verb::Tick;
    } else if (verb == "answer") {
        command.verb = Verb::Answer;
    } else {
        return "unknown command " + quoted(verb) + "; expected click, move, tick or answer";
    }

    if (command.verb == Verb::Answer) {
        if (words.size() != 2 || (words[1] != "yes" && words[1] != "no")) {
            return std::string("answer takes one word, yes or no");
        }
        command.yes = words[1] == "yes";
        return command;
    }

    if (words.size() != 2) {
        return quoted(verb) + " takes one control name";
    }
    const std::string_view name = words[1];
    const bool isTick = command.verb == Verb::Tick;
    if (name == kBackground && !isTick) {
        return command;
    }
    command.control = controlNamed(name);
    if (!command.control && name != kBackground) {
        return "no control named " + quoted(name);
    }
    if (isTick && (!command.control || kindOf(*command.control) != ControlKind::Timer)) {
        return quoted(name) + " is not a timer; tick HealthTimer, Death, Win or ColorChanger";
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
        if (line.size() == kMaxCommandLineBytes) {
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

std::string tooLongLineMessage(int number) {
    return "line " + std::to_string(number) + " is longer than " +
           std::to_string(kMaxCommandLineBytes) + " bytes; a command is one short line";
}

}  // namespace tovik
