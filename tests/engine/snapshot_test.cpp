#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/random_source.h"
#include "engine/snapshot.h"
#include "form/window_model.h"
#include "story/scene_catalogue.h"
#include "support/recording_audio_output.h"
#include "support/scripted_answer.h"

namespace tovik::testing {
namespace {

using enum ControlId;

// A loaded game on seeded dice, whose exit question stays open until it is answered.
struct Played {
    explicit Played(std::uint64_t seed) : dice(seed) { game.load(); }

    std::string save() const { return saveSnapshot(game, window, dice); }
    std::optional<std::string> restore(const std::string& text) {
        return restoreSnapshot(text, game, window, dice);
    }
    bool sameAs(const Played& other) const {
        return window == other.window && game.memory() == other.game.memory() &&
               dice.state() == other.dice.state();
    }

    WindowModel window;
    sound::RecordingAudioOutput audio;
    SeededRandom dice;
    ScriptedAnswer answer;
    Game game{window, audio, dice, answer, "/opt/tovik"};
};

constexpr ControlId kClickable[] = {Start,  R1,    R2,    R3,    R4,      R5,
                                    Attack, Item1, Item3, Item4, EndGame, WinGame};
constexpr ControlId kTimers[] = {HealthTimer, HealthTimer, HealthTimer, Death, Win, ColorChanger};

// One thing a restless player does, drawn from `script`: mostly a click on something shown or a
// tick, now and then a move, the red cross or an answer to its question.
void playOne(SeededRandom& script, Played& a, Played* b = nullptr) {
    const auto both = [&](auto&& event) {
        event(a.game);
        if (b) {
            event(b->game);
        }
    };
    const int roll = script.draw(20);
    if (roll <= 9) {
        std::vector<ControlId> shown;
        for (ControlId id : kClickable) {
            if (a.window.isVisible(id)) {
                shown.push_back(id);
            }
        }
        if (!shown.empty()) {
            const ControlId id =
                shown[static_cast<std::size_t>(script.draw(static_cast<int>(shown.size())) - 1)];
            return both([&](Game& game) { game.click(id); });
        }
    }
    if (roll <= 15) {
        const ControlId timer = kTimers[script.draw(std::size(kTimers)) - 1];
        return both([&](Game& game) { game.tick(timer); });
    }
    if (roll <= 17) {
        const int over = script.draw(kControlCount + 1) - 1;
        const std::optional<ControlId> control =
            over == kControlCount ? std::nullopt : std::optional(static_cast<ControlId>(over));
        return both([&](Game& game) { game.pointerMovedOver(control); });
    }
    if (roll == 18) {
        return both([&](Game& game) { game.click(Quit); });
    }
    const bool yes = script.draw(12) == 1;
    both([&](Game& game) { game.answerExitQuestion(yes); });
}

TEST(Snapshot, ARestoredGamePlaysOnExactlyAsTheSavedOne) {
    // What the games were doing when they were saved: each must have come up.
    std::map<std::string, int> savedIn;
    for (std::uint64_t seed = 1; seed <= 60; ++seed) {
        SeededRandom script(seed * 7919);
        Played original(seed);
        // Most games start somewhere in the story, to reach all of it in a few steps; the way
        // out is short, so the games after a victory start there and play only a little.
        const std::uint64_t kind = seed % 5;
        if (seed % 3 != 0 || kind == 4) {
            original.game.click(Start);
            original.game.showScene(kind == 4 ? 96 : script.draw(story::kSceneCount));
        }
        // Then some steps, and on to the next moment of the kind this seed is after.
        const int prefix = kind == 4 ? script.draw(20) : 10 + script.draw(300);
        const auto wanted = [&](const Played& game) {
            const WindowModel& shown = game.window;
            switch (kind) {
                case 0:
                    return shown.isVisible(EndGame) || shown.isVisible(WinGame);
                case 1:
                    return game.game.isExitQuestionOpen();
                case 2:
                    return shown.isVisible(Start);
                case 4:
                    return shown.isTimerEnabled(Win) || shown.isTimerEnabled(ColorChanger);
                default:
                    return true;
            }
        };
        for (int i = 0; i < prefix || (i < 5000 && !wanted(original)); ++i) {
            playOne(script, original);
        }
        const WindowModel& shown = original.window;
        savedIn["a fight"] += shown.isVisible(Attack);
        savedIn["a banner"] += shown.isVisible(EndGame) || shown.isVisible(WinGame);
        savedIn["the exit question"] += original.game.isExitQuestionOpen();
        savedIn["the title screen"] += shown.isVisible(Start);
        savedIn["an unloaded window"] += shown.state() == WindowState::Unloaded;
        savedIn["the ring"] += original.game.Ring() == "1";
        savedIn["a victory"] += shown.isTimerEnabled(Win) || shown.isTimerEnabled(ColorChanger);
        savedIn["an item"] += shown.isVisible(Item1) || shown.isVisible(Item3);

        const std::string text = original.save();
        EXPECT_LE(text.size(), 80u);
        // Half the games are restored into a fresh game, half into one played elsewhere.
        Played restored(seed + 1000);
        SeededRandom elsewhere(seed);
        for (int i = 0; seed % 2 == 0 && i < 100; ++i) {
            playOne(elsewhere, restored);
        }
        const std::size_t soundsBefore = original.audio.played.size();
        restored.audio.played.clear();
        ASSERT_EQ(restored.restore(text), std::nullopt) << "seed " << seed;
        ASSERT_TRUE(restored.sameAs(original)) << "seed " << seed;
        EXPECT_EQ(restored.save(), text);
        EXPECT_TRUE(restored.audio.played.empty()) << "a restore plays nothing";

        for (int step = 0; step < 150; ++step) {
            playOne(script, original, &restored);
            if (!restored.sameAs(original)) {
                ADD_FAILURE() << "seed " << seed << ": the games part at step " << step;
                break;
            }
            // Every screen of real play is one the game takes back.
            const std::optional<std::string> why = restored.restore(restored.save());
            if (why) {
                ADD_FAILURE() << "seed " << seed << ", step " << step << ": " << *why;
                break;
            }
        }
        const std::vector played(original.audio.played.begin() + soundsBefore,
                                 original.audio.played.end());
        EXPECT_EQ(restored.audio.played, played) << "seed " << seed;
    }
    for (const auto& [moment, count] : savedIn) {
        EXPECT_GT(count, 0) << moment;
    }
}

TEST(Snapshot, ADamagedOrForeignSnapshotIsRefusedAndChangesNothing) {
    Played saved(5);
    SeededRandom script(5);
    while (!saved.window.isVisible(Attack)) {
        playOne(script, saved);
    }
    const std::string good = saved.save();
    const std::string fields = good.substr(good.find('.'));
    const std::vector<std::uint8_t> zeros(40, 0);
    const std::vector<std::uint8_t> nothing;

    const struct {
        const char* what;
        std::string text;
        const char* why;
    } cases[] = {
        {"empty", "", "empty"},
        {"foreign text", "Товик Ларминов", "not a snapshot"},
        {"a web address", "https://example.org/?tovik1.AAAA", "not a snapshot"},
        {"no version", "tovik" + fields, "not a snapshot"},
        {"another version", "tovik2" + fields, "version 2"},
        {"a far version", "tovik123456789012345678901234567890" + fields, "version 1234"},
        {"cut short by one", good.substr(0, good.size() - 1), "damaged"},
        {"cut short by half", good.substr(0, good.size() / 2), "damaged"},
        {"only the prefix", "tovik1.", "damaged"},
        {"one more character", good + "A", "damaged"},
        {"padded", good + "==", "damaged"},
        {"a trailing blank", good + " ", "damaged"},
        {"a line end", good + "\n", "damaged"},
        {"far too long", good + std::string(1000, 'A'), "too long"},
        {"no fields", sealSnapshot(nothing), "ends early"},
        {"fields of zeros", sealSnapshot(zeros), "damaged"},
    };
    Played target(9);
    SeededRandom elsewhere(9);
    for (int i = 0; i < 40; ++i) {
        playOne(elsewhere, target);
    }
    const std::string before = target.save();
    for (const auto& bad : cases) {
        const std::optional<std::string> why = target.restore(bad.text);
        ASSERT_TRUE(why.has_value()) << bad.what;
        EXPECT_NE(why->find(bad.why), std::string::npos) << bad.what << ": " << *why;
        EXPECT_EQ(target.save(), before) << bad.what;
    }
    // Any one character changed, to another of the alphabet or to one outside it.
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (char other : {good[at] == 'A' ? 'B' : 'A', '!'}) {
            std::string changed = good;
            changed[at] = other;
            EXPECT_TRUE(target.restore(changed).has_value()) << "character " << at;
        }
    }
    EXPECT_EQ(target.save(), before);
    EXPECT_EQ(target.restore(good), std::nullopt);
}

}  // namespace
}  // namespace tovik::testing
