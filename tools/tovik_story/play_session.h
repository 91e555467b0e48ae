#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "engine/exit_question.h"
#include "engine/game.h"
#include "engine/random_source.h"
#include "form/window_model.h"
#include "sound/audio_output.h"
#include "tovik_story/state_json.h"

namespace tovik::tools {

// No sound device in the headless player: a sound is only counted.
class CountingAudioOutput final : public sound::AudioOutput {
  public:
    void playFile(const std::filesystem::path&) override { ++plays_; }
    int plays() const { return plays_; }

  private:
    int plays_ = 0;
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
// move, a timer tick, an answer to the exit question), and each is answered by one state line.
//
//   click NAME   a click on one of the window's controls, or on `Form`, its background
//   move NAME    the pointer moves over a control, or over `Form`
//   tick NAME    one tick of HealthTimer, Death, Win or ColorChanger
//   answer yes|no
//   save         the whole game as one line of text: {"snapshot": "tovik1...."}
//   restore TEXT the game taken back to a snapshot, answered by the state line
//
// A command the window could not have delivered (a hidden control, a disabled timer, a click
// while the exit question is open) changes nothing; a line that is no command gets an error
// line instead of the state and changes nothing either.
class PlaySession {
  public:
    // Loads the window. The sound paths are formed from `applicationDirectory`. Only the game's
    // own dice, a SeededRandom, can be saved in a snapshot: with others `save` is refused.
    PlaySession(RandomSource& random, std::string applicationDirectory);
    PlaySession(const PlaySession&) = delete;
    PlaySession& operator=(const PlaySession&) = delete;

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

    bool unloaded() const { return window_.state() == WindowState::Unloaded; }
    const Game& game() const { return game_; }
    const WindowModel& window() const { return window_; }

  private:
    // The reply to `save` or `restore`, or nothing for a line that is neither.
    std::optional<std::string> snapshotCommand(std::string_view line);

    SeededRandom* dice_;
    WindowModel window_;
    CountingAudioOutput audio_;
    OpenExitQuestion question_;
    Game game_;
};

}  // namespace tovik::tools
