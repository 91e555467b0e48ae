#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/exit_question.h"
#include "engine/game.h"
#include "engine/game_record.h"
#include "engine/keyboard.h"
#include "engine/random_source.h"
#include "form/window_model.h"
#include "sound/audio_output.h"
#include "tovik_story/state_json.h"

namespace tovik::tools {

// No sound device in the headless player: a sound is only counted.
class CountingAudioOutput final : public sound::AudioOutput {
  public:
    void playFile(const std::filesystem::path&) override { plays_ += muted_ ? 0 : 1; }
    int plays() const { return plays_; }
    // While a record is replayed: a restored game plays no old sound.
    void mute(bool muted) { muted_ = muted; }

  private:
    int plays_ = 0;
    bool muted_ = false;
};

// The exit question of a scripted player: it stays open until an `answer` line answers it.
class OpenExitQuestion final : public ExitQuestion {
  public:
    std::optional<bool> ask(std::string_view title, std::string_view text) override {
        asked_ = OpenQuestion{std::string(title), std::string(text)};
        return std::nullopt;
    }
    const std::optional<OpenQuestion>& lastAsked() const { return asked_; }

  private:
    std::optional<OpenQuestion> asked_;
};

// The game played line by line: each command is one event of the window (a click, a pointer
// move, a timer tick, an answer to the exit question, a key, a focus put on a control), and each
// is answered by one state line.
//
//   click NAME   a click on one of the window's controls, or on `Form`, its background
//   move NAME    the pointer moves over a control, or over `Form`
//   tick NAME    one tick of HealthTimer, Death, Win or ColorChanger
//   answer yes|no
//   key KEY      Tab, BackTab, Enter, Space, Escape or 1..5
//   focus NAME   the keyboard's focus put on a control, as the pointer or a screen reader does
//   save         the game's record as one line: {"record": "tovik-record 1 ...\nend 12"}
//   restore TEXT the game played again from a record, answered by the state line
//
// "*N" after a command does it N times, answered once. A command the window could not have
// delivered (a hidden control, a disabled timer, a click while the exit question is open)
// changes nothing; a line that is no command gets an error line instead of the state and
// changes nothing either.
class PlaySession {
  public:
    // Loads the window. The sound paths are formed from `applicationDirectory`. Only a game on
    // the game's own dice, a SeededRandom, has a record: with others `save` is refused.
    PlaySession(RandomSource& random, std::string applicationDirectory);
    PlaySession(const PlaySession&) = delete;
    PlaySession& operator=(const PlaySession&) = delete;
    ~PlaySession();

    // Prints the state after loading, then answers every line of `in` until the input ends or
    // the window has been unloaded. Every reply is flushed at once, so a program can hold a
    // conversation with the player through a pipe. Stops early, with the reason, when a line is
    // too long to be a command (answered by an error line first) or when `out` cannot be written.
    std::optional<std::string> run(std::istream& in, std::ostream& out);

    // Carries out one line and returns its reply, the state line or an error line.
    std::string apply(std::string_view line);
    // Carries out one line without writing the state; returns why it is no command, if it is not.
    std::optional<std::string> perform(std::string_view line);
    std::string stateLine() const;

    // The game's record as it stands; none on other dice than the game's own.
    const GameRecord* record() const { return record_ ? &*record_ : nullptr; }
    // The game played again from `record`'s text; why not, and then nothing has changed.
    std::optional<std::string> restore(std::string_view record);

    bool unloaded() const { return table_->window.state() == WindowState::Unloaded; }
    const Game& game() const { return table_->game; }
    const WindowModel& window() const { return table_->window; }

  private:
    // The window, the game and the keyboard over them: made afresh for a restored game.
    struct Table {
        Table(RandomSource& random, sound::AudioOutput& audio, ExitQuestion& question,
              const std::string& applicationDirectory);
        WindowModel window;
        Game game;
        KeyboardPlay keys;
    };

    // The reply to `save` or `restore`, or nothing for a line that is neither.
    std::optional<std::string> recordCommand(std::string_view line);

    std::string applicationDirectory_;
    CountingAudioOutput audio_;
    OpenExitQuestion question_;
    std::unique_ptr<SeededRandom> restoredDice_;
    std::optional<GameRecord> record_;
    std::unique_ptr<Table> table_;
};

// The text of a JSON string without its quotes, unescaped: how `restore` takes `save`'s record
// back on one line. Nothing for a text that is no such string.
std::optional<std::string> jsonStringText(std::string_view escaped);

}  // namespace tovik::tools
