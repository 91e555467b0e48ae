#include "engine/game_record.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>

#include "story/caption_texts.h"
#include "story/choice_table.h"
#include "story/passages.h"
#include "story/scene_catalogue.h"

namespace tovik {

namespace {

constexpr std::string_view kMagic = kRecordMagic;
constexpr std::string_view kEnd = kRecordEnd;

// FNV-1a: a change of any one byte changes the result.
class Fingerprint {
  public:
    void add(std::string_view text) {
        for (char byte : text) {
            hash_ = (hash_ ^ static_cast<std::uint8_t>(byte)) * 16777619u;
        }
        add(0);  // so that "ab" + "c" differs from "a" + "bc"
    }
    void add(std::uint32_t number) {
        for (int shift = 0; shift < 32; shift += 8) {
            hash_ = (hash_ ^ ((number >> shift) & 0xFFu)) * 16777619u;
        }
    }
    std::uint32_t value() const { return hash_; }

  private:
    std::uint32_t hash_ = 2166136261u;
};

std::uint32_t makeFingerprint() {
    Fingerprint print;
    print.add(story::kOpeningPassage);
    for (std::string_view caption : story::kCaptionTexts) {
        print.add(caption);
    }
    print.add(static_cast<std::uint32_t>(story::numberOf(story::kOpeningChoice)));
    for (int number = 1; number <= story::kSceneCount; ++number) {
        const story::Scene& scene = story::sceneNumber(number);
        print.add(story::russianPassageOf(number));
        print.add(static_cast<std::uint32_t>(scene.choices.size()));
        for (story::Key key : scene.choices) {
            print.add(static_cast<std::uint32_t>(story::numberOf(key)));
        }
        print.add(scene.fight ? scene.fight->opponent : std::string_view("-"));
        print.add(static_cast<std::uint32_t>(scene.fight ? scene.fight->life : -1));
        const story::SceneEffects& effects = scene.effects;
        print.add(static_cast<std::uint32_t>(effects.items.size()));
        for (const story::ItemChange& item : effects.items) {
            print.add(static_cast<std::uint32_t>(indexOf(item.item)) * 2 + (item.shown ? 1 : 0));
        }
        print.add(effects.defeatBanner);
        print.add(effects.sound);
        print.add(static_cast<std::uint32_t>(effects.ending));
        print.add(static_cast<std::uint32_t>(effects.life.rule));
        print.add(static_cast<std::uint32_t>(effects.life.amount));
        print.add(static_cast<std::uint32_t>(effects.ringWorn ? 1 + *effects.ringWorn : 0));
    }
    for (const std::vector<story::ChoiceTest>& tests : story::choiceTable()) {
        print.add(static_cast<std::uint32_t>(tests.size()));
        for (const story::ChoiceTest& test : tests) {
            print.add(static_cast<std::uint32_t>(test.captions.size()));
            for (story::Key key : test.captions) {
                print.add(static_cast<std::uint32_t>(story::numberOf(key)));
            }
            print.add(static_cast<std::uint32_t>(test.target));
            print.add(static_cast<std::uint32_t>(test.condition));
            print.add(static_cast<std::uint32_t>(test.otherTarget));
        }
    }
    return print.value();
}

std::string storyField(std::uint32_t fingerprint) {
    char text[16];
    std::snprintf(text, sizeof text, "story=%08x", fingerprint);
    return text;
}

std::string firstLine(std::uint64_t seed) {
    return std::string(kMagic) + " " + std::to_string(kRecordVersion) + " " +
           storyField(storyFingerprint()) + " seed=" + std::to_string(seed);
}

std::string endLine(std::uint64_t events) {
    return std::string(kEnd) + std::to_string(events);
}

bool sameEvent(PlayerCommand a, const PlayerCommand& b) {
    a.times = b.times;
    return a == b;
}

std::optional<std::uint64_t> wholeNumber(std::string_view text) {
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        std::to_string(number) != text) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

std::variant<std::uint64_t, std::string> readRecordFirstLine(std::string_view line) {
    if (!line.starts_with(std::string(kMagic) + " ")) {
        return std::string("not a game record: it does not start with \"tovik-record\"");
    }
    line.remove_prefix(kMagic.size() + 1);
    const std::string_view version = line.substr(0, line.find(' '));
    if (version != std::to_string(kRecordVersion)) {
        return "a record of another version (" + std::string(version.substr(0, 16)) +
               "); this game reads version " + std::to_string(kRecordVersion);
    }
    line.remove_prefix(std::min(line.size(), version.size() + 1));
    const std::string_view story = line.substr(0, line.find(' '));
    const std::string ours = storyField(storyFingerprint());
    if (story != ours) {
        return "a record of another story (" + std::string(story.substr(0, 24)) +
               "); this game's is " + ours;
    }
    line.remove_prefix(std::min(line.size(), story.size() + 1));
    const std::optional<std::uint64_t> seed =
        line.starts_with("seed=") ? wholeNumber(line.substr(5)) : std::nullopt;
    if (!seed) {
        return std::string("the record is damaged: its first line has no seed=N at its end");
    }
    return *seed;
}

std::uint32_t storyFingerprint() {
    static const std::uint32_t fingerprint = makeFingerprint();
    return fingerprint;
}

GameRecord::GameRecord(std::uint64_t seed) : seed_(seed), settled_(firstLine(seed) + "\n") {}

std::string GameRecord::tailText() const {
    return (events_ == 0 ? std::string() : lineOf(last_) + "\n") + endLine(events_);
}

std::string GameRecord::text() const {
    return settled_ + tailText();
}

bool GameRecord::add(const PlayerCommand& command) {
    if (full_) {
        return false;
    }
    const bool merged = events_ > 0 && sameEvent(last_, command);
    const std::uint64_t events = events_ + command.times;
    PlayerCommand last = command;
    std::size_t bytes = settled_.size();
    if (merged) {
        last.times = last_.times + command.times;
    } else if (events_ > 0) {
        bytes += lineOf(last_).size() + 1;
    }
    bytes += lineOf(last).size() + 1 + endLine(events).size();
    if (events > kMostRecordEvents || bytes > kMostRecordBytes) {
        full_ = true;
        return false;
    }
    if (!merged && events_ > 0) {
        settled_ += lineOf(last_) + "\n";
    }
    last_ = last;
    events_ = events;
    return true;
}

GameRecord::Change GameRecord::takeChange() {
    Change change{copied_, settled_.substr(copied_) + tailText()};
    copied_ = settled_.size();
    return change;
}

std::variant<RecordedGame, std::string> readRecord(std::string_view text) {
    if (text.size() > kMostRecordBytes) {
        return "the record is longer than " + std::to_string(kMostRecordBytes) +
               " bytes, more than any game keeps";
    }
    if (text.empty()) {
        return std::string("the record is empty");
    }
    RecordedGame game;
    const std::size_t length = text.size();
    std::uint64_t events = 0;
    int number = 0;
    bool ended = false;
    while (!text.empty() || number == 0) {
        const std::size_t lineAt = length - text.size();
        const std::size_t lineEnd = text.find('\n');
        const std::string_view line = text.substr(0, lineEnd);
        text.remove_prefix(lineEnd == std::string_view::npos ? text.size() : lineEnd + 1);
        ++number;
        const auto where = [number] {
            return "the record is damaged at line " + std::to_string(number);
        };
        if (number == 1) {
            const auto seed = readRecordFirstLine(line);
            if (const auto* why = std::get_if<std::string>(&seed)) {
                return *why;
            }
            game.seed = std::get<std::uint64_t>(seed);
            continue;
        }
        if (ended) {
            return "the record is damaged: it goes on after its end line";
        }
        if (line.starts_with(kEnd)) {
            const std::optional<std::uint64_t> counted = wholeNumber(line.substr(kEnd.size()));
            if (counted != events) {
                return "the record is damaged: its end line does not count its " +
                       std::to_string(events) + " events";
            }
            ended = lineEnd == std::string_view::npos;
            if (!ended) {
                return "the record is damaged: it goes on after its end line";
            }
            continue;
        }
        const auto parsed = parsePlayerCommand(line);
        if (const auto* why = std::get_if<std::string>(&parsed)) {
            return where() + ": " + *why;
        }
        const PlayerCommand& command = std::get<PlayerCommand>(parsed);
        if (lineOf(command) != line ||
            (!game.commands.empty() && sameEvent(game.commands.back(), command))) {
            return where() + ": not written as the game writes it";
        }
        events += command.times;
        if (events > kMostRecordEvents) {
            return "the record holds more than " + std::to_string(kMostRecordEvents) +
                   " events, more than any game keeps";
        }
        game.commands.push_back(command);
        game.lastLineAt = lineAt;
    }
    if (!ended) {
        return std::string("the record is truncated: its end line is missing");
    }
    game.events = events;
    return game;
}

GameRecord recordOf(const RecordedGame& game, std::string_view text) {
    // The text read is the one `add` would have written: it is taken as it stands.
    GameRecord record(game.seed);
    if (!game.commands.empty()) {
        record.settled_ = std::string(text.substr(0, game.lastLineAt));
        record.last_ = game.commands.back();
        record.events_ = game.events;
    }
    return record;
}

void playCommand(const PlayerCommand& command, Game& game, KeyboardPlay& keys) {
    for (std::uint32_t time = 0; time < command.times; ++time) {
        switch (command.verb) {
            case Verb::Click:
                if (command.control) {  // the background has no click handler
                    game.click(*command.control);
                }
                break;
            case Verb::Move:
                game.pointerMovedOver(command.control);
                break;
            case Verb::Tick:
                game.tick(*command.control);
                break;
            case Verb::Answer:
                game.answerExitQuestion(command.yes);
                break;
            case Verb::Key:
                keys.press(command.key, false);
                break;
            case Verb::Focus:
                keys.focusOn(*command.control);
                continue;  // the screen is as it was
        }
        keys.followScreen();
    }
}

}  // namespace tovik
