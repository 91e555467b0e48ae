// Feeds the fuzzer's bytes to the headless player's restore: as a record's whole text when they
// start with "tovik-record", else as its events between this story's first line and an end line
// that counts them, so that the replay behind the checks is reached too. A refused record says
// why in one line and changes nothing; an accepted one saves back to the same text and plays on.
// Seeds: a few games' records (rewrite them with `save` in `tovik-story play` when the story
// changes its fingerprint) and the texts of the snapshots that came before the record.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "engine/game_record.h"
#include "engine/player_command.h"
#include "engine/random_source.h"
#include "require.h"
#include "tovik_story/play_session.h"

namespace {

// The events of `body` as a record of this story.
std::string recordAround(std::string_view body) {
    std::uint64_t events = 0;
    for (std::string_view rest = body; !rest.empty();) {
        const std::string_view line = rest.substr(0, rest.find('\n'));
        rest.remove_prefix(std::min(rest.size(), line.size() + 1));
        const auto parsed = tovik::parsePlayerCommand(line);
        if (const auto* command = std::get_if<tovik::PlayerCommand>(&parsed)) {
            events += command->times;
        }
    }
    std::string text = tovik::GameRecord(1).text();
    text.resize(text.rfind('\n') + 1);  // the first line
    return text + std::string(body) + (body.empty() || body.ends_with('\n') ? "" : "\n") + "end " +
           std::to_string(events);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string text =
        input.starts_with("tovik-record") ? std::string(input) : recordAround(input);
    tovik::SeededRandom dice(2);
    tovik::tools::PlaySession session(dice, "/tovik");
    session.apply("click Start");
    const std::string before = session.stateLine();
    const std::string beforeRecord = session.record()->text();
    if (const std::optional<std::string> why = session.restore(text)) {
        require(!why->empty() && why->find('\n') == std::string::npos,
                "a refused record says why in one line");
        require(session.stateLine() == before && session.record()->text() == beforeRecord,
                "a refused record changes nothing");
        return 0;
    }
    require(session.record()->text() == text, "a restored record saves back to the same text");
    const auto read = tovik::readRecord(text);
    const auto& game = std::get<tovik::RecordedGame>(read);
    tovik::GameRecord written(game.seed);
    for (const tovik::PlayerCommand& command : game.commands) {
        for (std::uint32_t time = 0; time < command.times; ++time) {
            tovik::PlayerCommand once = command;
            once.times = 1;
            written.add(once);
        }
    }
    require(written.text() == text, "a record read is the one its events write");
    for (const char* line : {"click R1", "key Enter", "tick HealthTimer", "click Attack"}) {
        session.apply(line);
    }
    const std::string played = session.record()->text();
    require(!session.restore(played).has_value() && session.record()->text() == played,
            "a record played on restores too");
    return 0;
}
