#include "tovik_story/play_session.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <variant>
#include <vector>

namespace tovik::tools {

namespace {

enum class Verb { Click, Move, Tick, Answer };

struct Command {
    Verb verb{};
    std::optional<ControlId> control;  // nothing: the form's background
    bool yes = false;
};

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
    return "'" + std::string(text) + "'";
}

// The command on one line, or why it is none.
std::variant<Command, std::string> parse(std::string_view line) {
    if (line.ends_with('\r')) {
        line.remove_suffix(1);  // a line written on Windows
    }
    const std::vector<std::string_view> words = wordsOf(line);
    if (words.empty()) {
        return std::string("empty line; expected click, move, tick or answer");
    }
    const std::string_view verb = words[0];
    Command command;
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

}  // namespace

PlaySession::PlaySession(RandomSource& random, std::string applicationDirectory)
    : game_(window_, audio_, random, question_, std::move(applicationDirectory)) {
    game_.Form_Load();
}

std::string PlaySession::stateLine() const {
    std::optional<OpenQuestion> question;
    if (game_.isExitQuestionOpen()) {
        question = question_.lastAsked();
    }
    return tools::stateLine(game_, window_, audio_.plays(), question);
}

std::string PlaySession::apply(std::string_view line) {
    if (const std::optional<std::string> why = perform(line)) {
        return errorLine(*why);
    }
    return stateLine();
}

std::optional<std::string> PlaySession::perform(std::string_view line) {
    const std::variant<Command, std::string> parsed = parse(line);
    if (const auto* why = std::get_if<std::string>(&parsed)) {
        return *why;
    }
    const Command& command = std::get<Command>(parsed);
    switch (command.verb) {
        case Verb::Click:
            // The background has no click handler.
            if (command.control) {
                game_.click(*command.control);
            }
            break;
        case Verb::Move:
            game_.pointerMovedOver(command.control);
            break;
        case Verb::Tick:
            game_.tick(*command.control);
            break;
        case Verb::Answer:
            game_.answerExitQuestion(command.yes);
            break;
    }
    return std::nullopt;
}

void PlaySession::run(std::istream& in, std::ostream& out) {
    out << stateLine() << std::endl;
    std::string line;
    while (!unloaded() && std::getline(in, line)) {
        out << apply(line) << std::endl;
    }
}

}  // namespace tovik::tools
