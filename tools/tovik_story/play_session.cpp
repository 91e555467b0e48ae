#include "tovik_story/play_session.h"

#include "engine/player_command.h"
#include "engine/snapshot.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <variant>

namespace tovik::tools {

PlaySession::PlaySession(RandomSource& random, std::string applicationDirectory)
    : dice_(dynamic_cast<SeededRandom*>(&random)),
      game_(window_, audio_, random, question_, std::move(applicationDirectory)) {
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
    if (std::optional<std::string> reply = snapshotCommand(line)) {
        return std::move(*reply);
    }
    if (const std::optional<std::string> why = perform(line)) {
        return errorLine(*why);
    }
    return stateLine();
}

std::optional<std::string> PlaySession::snapshotCommand(std::string_view line) {
    constexpr std::string_view kBlanks = " \t\r";
    const std::size_t start = line.find_first_not_of(kBlanks);
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    line = line.substr(start, line.find_last_not_of(kBlanks) + 1 - start);
    const std::string_view verb = line.substr(0, line.find_first_of(kBlanks));
    const std::string_view rest = line.substr(verb.size());
    const std::string_view argument =
        rest.substr(std::min(rest.size(), rest.find_first_not_of(kBlanks)));
    if (verb != "save" && verb != "restore") {
        return std::nullopt;
    }
    if (!dice_) {
        return errorLine("snapshots need the game's own dice");
    }
    if (verb == "save") {
        if (!argument.empty()) {
            return errorLine("save takes nothing after it");
        }
        JsonWriter json;
        json.beginObject().key("snapshot").string(saveSnapshot(game_, window_, *dice_)).endObject();
        return json.text();
    }
    if (argument.empty() || argument.find_first_of(kBlanks) != std::string_view::npos) {
        return errorLine("restore takes one snapshot");
    }
    if (const std::optional<std::string> why = restoreSnapshot(argument, game_, window_, *dice_)) {
        return errorLine(*why);
    }
    if (game_.isExitQuestionOpen()) {
        question_.ask(kExitTitle, kExitText);  // the question the restored game has open
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
