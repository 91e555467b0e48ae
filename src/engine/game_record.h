#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/game.h"
#include "engine/keyboard.h"
#include "engine/player_command.h"

namespace tovik {

// A game kept as what happened in it: the seed of its dice and every event a view handed the
// engine, in order. Played again through the engine from a fresh window, it gives the very same
// game, in whichever language is played now, so a restored game is always one that could have
// been played. The page keeps it across reloads, `tovik-story play` saves and restores it, the
// window replays it, and a bug report is one.
//
//   tovik-record 1 story=5d3c0a91 seed=1234
//   move Start
//   click Start
//   tick HealthTimer *12
//   key Tab
//   end 15
//
// The first line names the format's version, the story the events were played on (its
// fingerprint, the same in every language) and the seed. Then one line of the players' command
// language an event; an event repeated is written once with "*N". The last line counts the
// events, so that a record cut short is told from a shorter game. Every game has exactly one
// record text: a record written any other way is refused, so that a record read and saved
// again is the same text.

inline constexpr int kRecordVersion = 1;
// Far more than hours of play, and within what a browser's session storage holds.
inline constexpr std::size_t kMostRecordBytes = 2 << 20;
// A timer ticking twice a second for eleven days.
inline constexpr std::uint64_t kMostRecordEvents = kMostRepeats;

// The story's rules and texts as written, in Russian, so one fingerprint holds in every language.
std::uint32_t storyFingerprint();

struct RecordedGame;

// A record as it is written during play.
class GameRecord {
  public:
    explicit GameRecord(std::uint64_t seed);

    // Adds an event. A game past the bounds is no longer kept: false, and the record is full.
    bool add(const PlayerCommand& command);
    bool full() const { return full_; }

    std::uint64_t seed() const { return seed_; }
    std::uint64_t events() const { return events_; }
    std::string text() const;

    // What changed since the last call, for a view that keeps a copy of the text: its first
    // `keep` bytes stay, the rest becomes `tail`.
    struct Change {
        std::size_t keep = 0;
        std::string tail;
    };
    Change takeChange();
    // The view's copy is the whole text as it stands.
    void copied() { copied_ = settled_.size(); }

  private:
    friend GameRecord recordOf(const RecordedGame& game, std::string_view text);
    std::string tailText() const;

    std::uint64_t seed_;
    std::string settled_;  // the first line and every event line before the last one
    PlayerCommand last_;
    std::uint64_t events_ = 0;
    std::size_t copied_ = 0;
    bool full_ = false;
};

// A record read and checked whole.
struct RecordedGame {
    std::uint64_t seed = 0;
    std::vector<PlayerCommand> commands;
    std::uint64_t events = 0;
    std::size_t lastLineAt = 0;  // where the last event's line starts in the text
};

// The game in `text`, or in one line why it is none: not a record, of another version or
// another story, truncated, damaged, or past the bounds.
std::variant<RecordedGame, std::string> readRecord(std::string_view text);

// The seed on a record's first line, or why that line is refused: for a view that plays the
// record's lines as they come.
std::variant<std::uint64_t, std::string> readRecordFirstLine(std::string_view line);
inline constexpr std::string_view kRecordMagic = "tovik-record";
inline constexpr std::string_view kRecordEnd = "end ";

// The record of a game read whole from `text`, as `add` would have written it.
GameRecord recordOf(const RecordedGame& game, std::string_view text);

// One command as a view delivers it, with what every view does after an event: the keyboard's
// focus follows the screen.
void playCommand(const PlayerCommand& command, Game& game, KeyboardPlay& keys);

}  // namespace tovik
