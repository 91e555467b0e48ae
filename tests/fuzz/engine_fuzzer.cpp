// Plays the game with events read from the fuzzer's bytes and checks, after every event, the
// rules that hold on every screen whatever the player does. Each byte is one event (see
// eventFor); a die the game throws takes the next byte (1 + byte % sides), the exit question
// too (byte % 3: 0 leaves it open, 1 answers No, 2 Yes). Past the end dice show 1 and the
// question stays open.

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <regex>
#include <span>
#include <string>
#include <string_view>

#include "engine/decimal_text.h"
#include "engine/exit_question.h"
#include "engine/game.h"
#include "engine/random_source.h"
#include "form/window_model.h"
#include "fuzz/engine_events.h"
#include "require.h"
#include "sound/audio_output.h"
#include "story/choice_table.h"
#include "story/scene_catalogue.h"

namespace {

using tovik::ControlId;
using tovik::WindowState;
using tovik::fuzz::Event;

// Everything a player could see change, and everything the game would do to the outside.
struct Snapshot {
    tovik::WindowModel window;
    std::array<std::string, 5> members;
    bool soundPlayer = false;
    bool questionOpen = false;
    int asked = 0;
    int drawn = 0;
    int played = 0;
    bool operator==(const Snapshot&) const = default;
};

struct Session final : tovik::RandomSource, tovik::ExitQuestion, tovik::sound::AudioOutput {
    explicit Session(std::span<const std::uint8_t> input) : bytes(input) { game.load(); }

    std::optional<std::uint8_t> next() {
        if (bytes.empty()) {
            return std::nullopt;
        }
        const std::uint8_t byte = bytes.front();
        bytes = bytes.subspan(1);
        return byte;
    }
    int draw(int sides) override {
        ++drawn;
        const std::optional<std::uint8_t> byte = next();
        return 1 + (byte ? *byte % sides : 0);
    }
    std::optional<bool> ask(std::string_view, std::string_view) override {
        ++asked;
        const std::optional<std::uint8_t> byte = next();
        return !byte || *byte % 3 == 0 ? std::nullopt : std::optional<bool>(*byte % 3 == 2);
    }
    void playFile(const std::filesystem::path&) override { ++played; }

    void apply(const Event& event) {
        switch (event.kind) {
            case Event::Kind::Click:
                return game.click(*event.control);
            case Event::Kind::Move:
                return game.pointerMovedOver(event.control);
            case Event::Kind::Tick:
                return game.tick(*event.control);
            case Event::Kind::Answer:
                return game.answerExitQuestion(event.yes);
        }
    }
    Snapshot snapshot() const {
        return {
            window,
            {game.Health(), game.HealthOpponent(), game.NameOpponent(), game.Roll(), game.Ring()},
            game.Sound() != nullptr,
            game.isExitQuestionOpen(),
            asked,
            drawn,
            played};
    }

    std::span<const std::uint8_t> bytes;
    int drawn = 0;
    int asked = 0;
    int played = 0;
    tovik::WindowModel window;
    tovik::Game game{window, *this, *this, *this, "/tovik"};
};

bool isDispatchedBy(std::size_t label, std::string_view caption) {
    for (const tovik::story::ChoiceTest& test : tovik::story::choiceTable()[label]) {
        for (tovik::story::Key key : test.captions) {
            if (tovik::story::captionOf(key) == caption) {
                return true;
            }
        }
    }
    return false;
}

void checkRules(const Session& session) {
    const tovik::WindowModel& window = session.window;
    bool runEnded = false;
    for (std::size_t i = 0; i < tovik::kChoiceLabelCount; ++i) {
        const ControlId label = tovik::kChoiceLabels[i];
        if (!window.isVisible(label)) {
            runEnded = true;
            continue;
        }
        require(!runEnded, "the visible choices are a run starting at R1");
        require(isDispatchedBy(i, window.caption(label)),
                "every visible choice caption is one its label dispatches");
    }
    // The empty Status also stands on the loaded window, until the first scene hides it.
    const bool fight = window.isVisible(ControlId::Attack);
    require(window.isVisible(ControlId::LifeOpponent) == fight,
            "Attack and LifeOpponent are shown together or not at all");
    require(!fight || window.isVisible(ControlId::Status), "a fight shows Status");
    require(
        fight || !window.isVisible(ControlId::Status) || window.caption(ControlId::Status).empty(),
        "no blow is reported outside a fight");
    static const std::regex decimal("0|-?[1-9][0-9]*");  // as the game keeps numbers, no "-0"
    require(std::regex_match(session.game.Health(), decimal), "Health is decimal text");
    require(!(window.isVisible(ControlId::EndGame) && window.isVisible(ControlId::WinGame)),
            "at most one banner is shown");
    require(session.game.isExitQuestionOpen() == (window.state() == WindowState::Hidden),
            "the window is hidden exactly while the exit question is open");
}

// Extra coverage for libFuzzer: the scenes are data, not code, so reaching a new one would look
// like nothing new. Each scene counts apart plainly, under a banner, in a fight, with an
// ending's countdown running, with life at 0 or below before the life watch saw it, ring worn.
constexpr std::size_t kSceneStates = 6;
__attribute__((used, section("__libfuzzer_extra_counters")))
std::array<std::uint8_t, (tovik::story::kSceneCount + 1) * kSceneStates>
    sceneCounters;

std::bitset<tovik::story::kSceneCount + 1> scenesReached;

void countScene(const Session& session) {
    const tovik::WindowModel& window = session.window;
    const std::optional<int> scene =
        window.isVisible(ControlId::Info)
            ? tovik::story::sceneWithPassage(window.caption(ControlId::Info))
            : std::nullopt;
    if (!scene) {
        return;
    }
    const std::array<bool, kSceneStates> states = {
        true,
        window.isVisible(ControlId::EndGame) || window.isVisible(ControlId::WinGame),
        window.isVisible(ControlId::Attack),
        window.isTimerEnabled(ControlId::Death) || window.isTimerEnabled(ControlId::Win),
        tovik::toNumber(session.game.Health()) <= 0,
        session.game.Ring() == "1",
    };
    for (std::size_t state = 0; state < kSceneStates; ++state) {
        std::uint8_t& counter =
            sceneCounters[static_cast<std::size_t>(*scene) * kSceneStates + state];
        counter = static_cast<std::uint8_t>(counter + (states[state] ? 1 : 0));
    }
    scenesReached.set(static_cast<std::size_t>(*scene));
}

// With TOVIK_FUZZ_SCENES set, says at exit which scenes the inputs reached: run it with
// -runs=0 over a corpus to see how far into the story the corpus gets.
void reportScenes() {
    std::string missed;
    for (int scene = 1; scene <= tovik::story::kSceneCount; ++scene) {
        missed +=
            scenesReached.test(static_cast<std::size_t>(scene)) ? "" : " " + std::to_string(scene);
    }
    std::fprintf(stderr, "scenes reached: %zu of %d; missed:%s\n",
                 scenesReached.count() - (scenesReached.test(0) ? 1 : 0), tovik::story::kSceneCount,
                 missed.empty() ? " none" : missed.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (std::getenv("TOVIK_FUZZ_SCENES") != nullptr) {
        std::atexit(reportScenes);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Session session({data, size});
    checkRules(session);
    while (const std::optional<std::uint8_t> byte = session.next()) {
        const Event event = tovik::fuzz::eventFor(*byte);
        const bool unloaded = session.window.state() == WindowState::Unloaded;
        const bool mouse = event.kind == Event::Kind::Click || event.kind == Event::Kind::Move;
        const bool heldBack = unloaded || (session.game.isExitQuestionOpen() && mouse);
        const std::optional<Snapshot> before =
            heldBack ? std::optional(session.snapshot()) : std::nullopt;
        session.apply(event);
        require(!heldBack || session.snapshot() == before,
                unloaded ? "nothing happens once the window is unloaded"
                         : "nothing is clickable while the exit question is open");
        require(session.window.state() != WindowState::Unloaded || session.game.Sound() == nullptr,
                "unloading releases the sound player");
        checkRules(session);
        countScene(session);
    }
    return 0;
}
