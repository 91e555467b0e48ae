// Plays the game with events read from the fuzzer's bytes and checks, after every event, the
// rules that hold on every screen whatever the player does.
//
// The bytes are read front to back. Each byte is one event (see eventFor); whatever the game
// asks for while it handles the event takes the next byte: a die takes one (1 + byte % sides),
// the exit question takes one (byte % 3: 0 leaves it open, 1 answers No, 2 answers Yes). When
// the bytes run out every die shows 1 and the question stays open.

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
#include "form/controls.h"
#include "form/window_model.h"
#include "fuzz/engine_events.h"
#include "require.h"
#include "sound/audio_output.h"
#include "story/choice_table.h"
#include "story/scene_catalogue.h"

namespace {

using tovik::ControlId;
using tovik::WindowModel;
using tovik::WindowState;

// The bytes not yet read.
struct ByteStream {
    std::span<const std::uint8_t> bytes;
    std::optional<std::uint8_t> next() {
        if (bytes.empty()) {
            return std::nullopt;
        }
        const std::uint8_t byte = bytes.front();
        bytes = bytes.subspan(1);
        return byte;
    }
};

struct FuzzedDraws final : tovik::RandomSource {
    explicit FuzzedDraws(ByteStream& from) : bytes(from) {}
    int draw(int sides) override {
        ++drawn;
        const std::optional<std::uint8_t> byte = bytes.next();
        return 1 + (byte ? *byte % sides : 0);
    }
    ByteStream& bytes;
    int drawn = 0;
};

struct FuzzedAnswer final : tovik::ExitQuestion {
    explicit FuzzedAnswer(ByteStream& from) : bytes(from) {}
    std::optional<bool> ask(std::string_view, std::string_view) override {
        ++asked;
        const std::optional<std::uint8_t> byte = bytes.next();
        return !byte || *byte % 3 == 0 ? std::nullopt : std::optional<bool>(*byte % 3 == 2);
    }
    ByteStream& bytes;
    int asked = 0;
};

using tovik::fuzz::Event;
using tovik::fuzz::eventFor;

class CountingAudio final : public tovik::sound::AudioOutput {
  public:
    void playFile(const std::filesystem::path&) override { ++played; }
    int played = 0;
};

void apply(tovik::Game& game, const Event& event) {
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

// Everything a player could see change, and everything the game would do to the outside.
struct Snapshot {
    WindowModel window;
    std::array<std::string, 5> members;
    bool soundPlayer = false;
    bool questionOpen = false;
    int asked = 0;
    int drawn = 0;
    int played = 0;
    bool operator==(const Snapshot&) const = default;
};

struct Session {
    explicit Session(ByteStream& bytes)
        : draws(bytes), answer(bytes), game(window, audio, draws, answer, "/tovik") {}

    Snapshot snapshot() const {
        return {
            window,
            {game.Health(), game.HealthOpponent(), game.NameOpponent(), game.Roll(), game.Ring()},
            game.Sound() != nullptr,
            game.isExitQuestionOpen(),
            answer.asked,
            draws.drawn,
            audio.played};
    }

    WindowModel window;
    CountingAudio audio;
    FuzzedDraws draws;
    FuzzedAnswer answer;
    tovik::Game game;
};

// Decimal text as the game keeps its numbers: an optional minus sign and digits without a
// leading zero, never "-0".
bool isDecimalText(const std::string& text) {
    static const std::regex decimal("0|-?[1-9][0-9]*");
    return std::regex_match(text, decimal);
}

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
    const WindowModel& window = session.window;
    const tovik::Game& game = session.game;

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

    // A fight shows Attack, Status and LifeOpponent together. The empty Status also stands on
    // the window as designed, until the first scene hides it.
    const bool fight = window.isVisible(ControlId::Attack);
    require(window.isVisible(ControlId::LifeOpponent) == fight,
            "Attack and LifeOpponent are shown together or not at all");
    require(!fight || window.isVisible(ControlId::Status), "a fight shows Status");
    require(
        fight || !window.isVisible(ControlId::Status) || window.caption(ControlId::Status).empty(),
        "no blow is reported outside a fight");

    require(isDecimalText(game.Health()), "Health is decimal text");

    require(!(window.isVisible(ControlId::EndGame) && window.isVisible(ControlId::WinGame)),
            "at most one banner is shown");

    require(game.isExitQuestionOpen() == (window.state() == WindowState::Hidden),
            "the window is hidden exactly while the exit question is open");
}

// Libfuzzer reads these as extra coverage: the game's scenes are data, not code, so without
// them reaching a new scene would look like nothing new. Each scene counts apart as it is seen
// plainly, under a banner, in a fight, with an ending's countdown running, with the hero's life
// at 0 or below before the life watch has seen it, and with the ring worn.
constexpr std::size_t kSceneStates = 6;
__attribute__((used, section("__libfuzzer_extra_counters")))
std::array<std::uint8_t, (tovik::story::kSceneCount + 1) * kSceneStates>
    sceneCounters;

std::bitset<tovik::story::kSceneCount + 1> scenesReached;

void countScene(const Session& session) {
    const WindowModel& window = session.window;
    if (!window.isVisible(ControlId::Info)) {
        return;
    }
    const std::optional<int> scene =
        tovik::story::sceneWithPassage(window.caption(ControlId::Info));
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
        if (states[state]) {
            std::uint8_t& counter =
                sceneCounters[static_cast<std::size_t>(*scene) * kSceneStates + state];
            counter = static_cast<std::uint8_t>(counter + 1);
        }
    }
    scenesReached.set(static_cast<std::size_t>(*scene));
}

// With TOVIK_FUZZ_SCENES set, the fuzzer says at exit which scenes its inputs reached: run it
// with -runs=0 over a corpus to see how far into the story the corpus gets.
void reportScenes() {
    std::string missed;
    for (int scene = 1; scene <= tovik::story::kSceneCount; ++scene) {
        if (!scenesReached.test(static_cast<std::size_t>(scene))) {
            missed += " " + std::to_string(scene);
        }
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
    ByteStream bytes{{data, size}};
    Session session(bytes);
    session.game.load();
    checkRules(session);
    while (const std::optional<std::uint8_t> byte = bytes.next()) {
        const Event event = eventFor(*byte);
        const bool questionOpen = session.game.isExitQuestionOpen();
        const bool unloaded = session.window.state() == WindowState::Unloaded;
        const bool mouse = event.kind == Event::Kind::Click || event.kind == Event::Kind::Move;
        std::optional<Snapshot> before;
        if (unloaded || (questionOpen && mouse)) {
            before = session.snapshot();
        }
        apply(session.game, event);
        if (unloaded) {
            require(session.snapshot() == before, "nothing happens once the window is unloaded");
        } else if (before) {
            require(session.snapshot() == before,
                    "nothing is clickable while the exit question is open");
        }
        if (session.window.state() == WindowState::Unloaded) {
            require(session.game.Sound() == nullptr, "unloading releases the sound player");
        }
        checkRules(session);
        countScene(session);
    }
    return 0;
}
