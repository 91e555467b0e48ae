// Reads the fuzzer's bytes as lines of player commands, the lines the headless player reads on
// its standard input and the window reads from a replay. Every line is parsed on its own, and
// then the whole input is played through the headless player, whose every reply must be one
// line of well-formed JSON, whatever bytes the line held (the JSON reader refuses a string that
// is not well-formed UTF-8).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <variant>

#include "engine/player_command.h"
#include "engine/random_source.h"
#include "form/controls.h"
#include "require.h"
#include "tools/json_reader.h"
#include "tovik_story/play_session.h"

namespace {

using tovik::PlayerCommand;
using tovik::Verb;

std::variant<PlayerCommand, std::string> parse(std::string_view line) {
    return tovik::parsePlayerCommand(line);
}

void checkParse(std::string_view line) {
    const auto parsed = parse(line);
    // Blanks before the verb never change what a line says.
    const auto indented = parse(" \t" + std::string(line));
    require(parsed.index() == indented.index(), "leading blanks change nothing");

    if (const auto* why = std::get_if<std::string>(&parsed)) {
        require(!why->empty(), "a refused line says why");
        return;
    }
    const PlayerCommand& command = std::get<PlayerCommand>(parsed);
    require(command == std::get<PlayerCommand>(indented), "leading blanks change nothing");
    switch (command.verb) {
        case Verb::Tick:
            require(command.control && tovik::kindOf(*command.control) == tovik::ControlKind::Timer,
                    "only a timer ticks");
            break;
        case Verb::Answer:
            require(!command.control, "an answer names no control");
            break;
        case Verb::Focus:
            require(command.control.has_value(), "a focus names a control");
            break;
        case Verb::Key:
            require(!tovik::keyWord(command.key).empty(), "a key is one of the game's");
            break;
        case Verb::Click:
        case Verb::Move:
            break;
    }
    const auto again = parse(tovik::lineOf(command));
    require(
        std::holds_alternative<PlayerCommand>(again) && command == std::get<PlayerCommand>(again),
        "a command written out reads back the same");
}

void checkReply(const std::string& reply) {
    require(reply.find('\n') == std::string::npos, "every reply is one line");
    try {
        const tovik::testing::Json json = tovik::testing::Json::parse(reply);
        require(json.kind == tovik::testing::Json::Kind::Object, "every reply is a JSON object");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        require(false, "every reply is well-formed JSON");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    tovik::SeededRandom dice(1);
    tovik::tools::PlaySession session(dice, "/tovik");
    checkReply(session.stateLine());

    std::size_t start = 0;
    while (start <= input.size() && !session.unloaded()) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        const std::string_view line = input.substr(start, end - start);
        checkParse(line);
        checkReply(session.apply(line));
        start = end + 1;
    }
    return 0;
}
