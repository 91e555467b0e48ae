#include "tovik_story/play_session.h"

#include "engine/player_command.h"

#include <istream>
#include <ostream>
#include <variant>

namespace tovik::tools {

PlaySession::PlaySession(RandomSource& random, std::string applicationDirectory)
    : game_(window_, audio_, random, question_, std::move(applicationDirectory)) {
    game_.load();
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
    const std::variant<PlayerCommand, std::string> parsed = parsePlayerCommand(line);
    if (const auto* why = std::get_if<std::string>(&parsed)) {
        return *why;
    }
    const PlayerCommand& command = std::get<PlayerCommand>(parsed);
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

std::optional<std::string> PlaySession::run(std::istream& in, std::ostream& out) {
    const std::string cannotWrite = "cannot write the state to standard output";
    if (!(out << stateLine() << std::endl)) {
        return cannotWrite;
    }
    CommandReader reader(in);
    std::string line;
    while (!unloaded()) {
        const LineRead read = reader.next(line);
        if (read == LineRead::End) {
            break;
        }
        if (read == LineRead::TooLong) {
            // The rest of such a line may never end: stop here rather than read on.
            const std::string why = tooLongLineMessage(reader.lineNumber());
            out << errorLine(why) << std::endl;
            return why;
        }
        if (!(out << apply(line) << std::endl)) {
            return cannotWrite;
        }
    }
    return std::nullopt;
}

}  // namespace tovik::tools
