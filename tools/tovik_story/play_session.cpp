#include "tovik_story/play_session.h"

#include <cctype>
#include <istream>
#include <ostream>
#include <variant>

#include "engine/player_command.h"

namespace tovik::tools {

namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view trimmed(std::string_view line) {
    const std::size_t start = line.find_first_not_of(kBlanks);
    if (start == std::string_view::npos) {
        return {};
    }
    return line.substr(start, line.find_last_not_of(kBlanks) + 1 - start);
}

// A restore line carries a whole record: twice its bytes leaves room for every escape.
constexpr std::size_t kLongestRestoreLine = 2 * kMostRecordBytes + 64;

}  // namespace

std::optional<std::string> jsonStringText(std::string_view escaped) {
    std::string text;
    text.reserve(escaped.size());
    for (std::size_t at = 0; at < escaped.size(); ++at) {
        const char next = escaped[at];
        if (next == '"' || static_cast<unsigned char>(next) < 0x20) {
            return std::nullopt;  // would end the string, or stand in it unescaped
        }
        if (next != '\\') {
            text += next;
            continue;
        }
        if (++at == escaped.size()) {
            return std::nullopt;
        }
        switch (escaped[at]) {
            case '"':
            case '\\':
            case '/':
                text += escaped[at];
                break;
            case 'b':
                text += '\b';
                break;
            case 'f':
                text += '\f';
                break;
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case 't':
                text += '\t';
                break;
            case 'u': {
                // A record is ASCII: an escape beyond it cannot be one of its characters.
                unsigned code = 0;
                for (int digit = 0; digit < 4; ++digit) {
                    if (++at == escaped.size() ||
                        !std::isxdigit(static_cast<unsigned char>(escaped[at]))) {
                        return std::nullopt;
                    }
                    const char hex = escaped[at];
                    code = code * 16 +
                           static_cast<unsigned>(hex <= '9' ? hex - '0' : (hex | 0x20) - 'a' + 10);
                }
                if (code >= 0x80) {
                    return std::nullopt;
                }
                text += static_cast<char>(code);
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return text;
}

PlaySession::Table::Table(RandomSource& random, sound::AudioOutput& audio, ExitQuestion& question,
                          const std::string& applicationDirectory)
    : game(window, audio, random, question, applicationDirectory), keys(game, window) {
    game.load();
}

PlaySession::PlaySession(RandomSource& random, std::string applicationDirectory)
    : applicationDirectory_(std::move(applicationDirectory)) {
    if (const auto* dice = dynamic_cast<SeededRandom*>(&random)) {
        record_.emplace(dice->state());
    }
    table_ = std::make_unique<Table>(random, audio_, question_, applicationDirectory_);
}

PlaySession::~PlaySession() = default;

std::string PlaySession::stateLine() const {
    std::optional<OpenQuestion> question;
    if (table_->game.isExitQuestionOpen()) {
        question = question_.lastAsked();
    }
    return tools::stateLine(table_->game, table_->window, audio_.plays(), question);
}

std::string PlaySession::apply(std::string_view line) {
    if (std::optional<std::string> reply = recordCommand(line)) {
        return std::move(*reply);
    }
    if (const std::optional<std::string> why = perform(line)) {
        return errorLine(*why);
    }
    return stateLine();
}

std::optional<std::string> PlaySession::restore(std::string_view text) {
    const auto read = readRecord(text);
    if (const auto* why = std::get_if<std::string>(&read)) {
        return *why;
    }
    const RecordedGame& recorded = std::get<RecordedGame>(read);
    auto dice = std::make_unique<SeededRandom>(recorded.seed);
    auto table = std::make_unique<Table>(*dice, audio_, question_, applicationDirectory_);
    audio_.mute(true);
    for (const PlayerCommand& command : recorded.commands) {
        playCommand(command, table->game, table->keys);
    }
    audio_.mute(false);
    table_ = std::move(table);  // the old game goes before the dice it draws from
    restoredDice_ = std::move(dice);
    record_ = recordOf(recorded, text);
    return std::nullopt;
}

std::optional<std::string> PlaySession::recordCommand(std::string_view line) {
    line = trimmed(line);
    const std::string_view verb = line.substr(0, line.find_first_of(kBlanks));
    const std::string_view argument = trimmed(line.substr(verb.size()));
    if (verb != "save" && verb != "restore") {
        return std::nullopt;
    }
    if (!record_) {
        return errorLine("a record needs the game's own dice");
    }
    if (verb == "save") {
        if (!argument.empty()) {
            return errorLine("save takes nothing after it");
        }
        if (record_->full()) {
            return errorLine("this game has gone past what a record keeps (" +
                             std::to_string(kMostRecordEvents) + " events or " +
                             std::to_string(kMostRecordBytes) +
                             " bytes); it can no longer be saved");
        }
        JsonWriter json;
        json.beginObject().key("record").string(record_->text()).endObject();
        return json.text();
    }
    const std::optional<std::string> text = jsonStringText(argument);
    if (argument.empty() || !text) {
        return errorLine(
            "restore takes the text of save's record as it stands between the quotes, with JSON's "
            "escapes");
    }
    if (const std::optional<std::string> why = restore(*text)) {
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
    playCommand(command, table_->game, table_->keys);
    if (record_) {
        record_->add(command);
    }
    return std::nullopt;
}

std::optional<std::string> PlaySession::run(std::istream& in, std::ostream& out) {
    const std::string cannotWrite = "cannot write the state to standard output";
    if (!(out << stateLine() << std::endl)) {
        return cannotWrite;
    }
    CommandReader reader(in, "restore", kLongestRestoreLine);
    std::string line;
    while (!unloaded()) {
        const LineRead read = reader.next(line);
        if (read == LineRead::End) {
            break;
        }
        if (read == LineRead::TooLong) {
            // The rest of such a line may never end: stop here rather than read on.
            const std::string why =
                line.size() > kMaxCommandLineBytes
                    ? "line " + std::to_string(reader.lineNumber()) + " is longer than " +
                          std::to_string(kLongestRestoreLine) + " bytes, more than any record"
                    : tooLongLineMessage(reader.lineNumber());
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
