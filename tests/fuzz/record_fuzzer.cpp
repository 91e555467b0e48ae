// Feeds the fuzzer's bytes to the snapshot's restore. Bytes that start with the snapshot's
// "tovik" are read as a snapshot's text; any others as its fields, sealed with the right
// fingerprint and checksum first, so that the checks behind the checksum are reached too.
//
// A refused snapshot must say why and leave the game as it was. An accepted one must save back
// to the very same text (every snapshot has one text), and the game it gives must play on: a
// round of every click, move, tick and answer, each state saved and restored again.
//
// The committed seeds are a few games' texts, which a change to the story refuses at the
// fingerprint (write them afresh with `save` in `tovik-story play`), and the fields of two of
// them (the `.fields` files), which stay good.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/exit_question.h"
#include "engine/game.h"
#include "engine/random_source.h"
#include "engine/snapshot.h"
#include "form/controls.h"
#include "form/window_model.h"
#include "sound/audio_output.h"

namespace {

using tovik::ControlId;

void require(bool holds, const char* rule) {
    if (!holds) {
        std::fprintf(stderr, "broken rule: %s\n", rule);
        std::abort();
    }
}

class SilentAudio final : public tovik::sound::AudioOutput {
  public:
    void playFile(const std::filesystem::path&) override {}
};

class OpenQuestion final : public tovik::ExitQuestion {
  public:
    std::optional<bool> ask(std::string_view, std::string_view) override { return std::nullopt; }
};

struct Played {
    Played() { game.load(); }
    std::string save() const { return tovik::saveSnapshot(game, window, dice); }
    std::optional<std::string> restore(std::string_view text) {
        return tovik::restoreSnapshot(text, game, window, dice);
    }

    tovik::WindowModel window;
    SilentAudio audio;
    tovik::SeededRandom dice{1};
    OpenQuestion question;
    tovik::Game game{window, audio, dice, question, "/tovik"};
};

void checkRoundTrip(Played& played) {
    const std::string text = played.save();
    if (const std::optional<std::string> why = played.restore(text)) {
        std::fprintf(stderr, "%s: %s\n", text.c_str(), why->c_str());
        require(false, "the game restores every snapshot it saves");
    }
    require(played.save() == text, "a restored snapshot saves back to the same text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string text = input.starts_with("tovik")
                                 ? std::string(input)
                                 : tovik::sealSnapshot(std::span<const std::uint8_t>(data, size));

    Played played;
    const std::string before = played.save();
    if (const std::optional<std::string> why = played.restore(text)) {
        require(!why->empty(), "a refused snapshot says why");
        require(played.save() == before, "a refused snapshot changes nothing");
        return 0;
    }
    require(played.save() == text, "a restored snapshot saves back to the same text");

    for (ControlId id : tovik::allControls()) {
        if (tovik::kindOf(id) == tovik::ControlKind::Timer) {
            played.game.tick(id);
        } else {
            played.game.pointerMovedOver(id);
            if (id != ControlId::Quit) {
                played.game.click(id);
            }
        }
        checkRoundTrip(played);
    }
    played.game.pointerMovedOver(std::nullopt);
    played.game.click(ControlId::Quit);
    played.game.answerExitQuestion(false);
    checkRoundTrip(played);
    return 0;
}
