// Reads the fuzzer's bytes as lines of player commands, as the headless player reads them and
// the window reads a replay: each line parsed on its own, then all played through the headless
// player, whose every reply must be one line of well-formed JSON (the reader also refuses a
// string that is not well-formed UTF-8).

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

void checkParse(std::string_view line) {
    const auto parsed = tovik::parsePlayerCommand(line);
    const auto indented = tovik::parsePlayerCommand(" \t" + std::string(line));
    require(parsed.index() == indented.index() &&
                (std::holds_alternative<std::string>(parsed) || parsed == indented),
            "leading blanks change nothing");
    if (const auto* why = std::get_if<std::string>(&parsed)) {
        require(!why->empty(), "a refused line says why");
        return;
    }
    const PlayerCommand& command = std::get<PlayerCommand>(parsed);
    const bool timer =
        command.control && tovik::kindOf(*command.control) == tovik::ControlKind::Timer;
    require(command.verb != Verb::Tick || timer, "only a timer ticks");
    require(command.verb != Verb::Answer || !command.control, "an answer names no control");
    require(command.verb != Verb::Focus || command.control, "a focus names a control");
    require(command.verb != Verb::Key || !tovik::keyWord(command.key).empty(),
            "a key is one of the game's");
    const auto again = tovik::parsePlayerCommand(tovik::lineOf(command));
    require(
        std::holds_alternative<PlayerCommand>(again) && command == std::get<PlayerCommand>(again),
        "a command written out reads back the same");
}

void checkReply(const std::string& reply) {
    require(reply.find('\n') == std::string::npos, "every reply is one line");
    try {
        require(tovik::testing::Json::parse(reply).kind == tovik::testing::Json::Kind::Object,
                "every reply is a JSON object");
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
    for (std::size_t start = 0; start <= input.size() && !session.unloaded();) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        const std::string_view line = input.substr(start, end - start);
        checkParse(line);
        checkReply(session.apply(line));
        start = end + 1;
    }
    return 0;
}
