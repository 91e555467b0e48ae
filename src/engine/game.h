#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/exit_question.h"
#include "engine/random_source.h"
#include "form/controls.h"
#include "form/window_model.h"
#include "sound/audio_output.h"
#include "sound/wave_player.h"
#include "story/scene_catalogue.h"

namespace tovik {

// Whether a click on this control reaches a handler of the game: Start, the choices, Attack,
// the three items that can be used, the red cross and the two banners. The window shows the
// pointing hand over these.
bool hasClickHandler(ControlId control);

// The game window's logic, `OsnEkran1` without a toolkit. It reacts to the window's events
// (clicks, pointer moves, timer ticks) by changing the WindowModel and its own few members;
// everything else the game remembers lives in the controls themselves: the scene on screen is
// the text on Info and the choice labels, an item is held while its picture is visible, and a
// fight is on while Attack, Status and LifeOpponent are visible.
class Game {
  public:
    Game(WindowModel& window, sound::AudioOutput& audio, RandomSource& random,
         ExitQuestion& exitQuestion, std::string applicationDirectory);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // The window has been created: the sound player is made and the game set up.
    void load() { Form_Load(); }
    // The window goes away without asking (its frame was closed).
    void unload() { Form_Unload(); }

    // Events as the window delivers them. Each does nothing where the window could not have
    // raised it: a hidden control, a control without that handler, a disabled timer, an open
    // exit question, an unloaded window.
    void click(ControlId control);
    void pointerMovedOver(std::optional<ControlId> control);  // nothing: the form's background
    void tick(ControlId timer);
    // Whether a timer ticks now: enabled, in a window that has not been unloaded, whatever the
    // game left enabled there. The views run their real timers by this alone.
    bool timerRuns(ControlId timer) const;
    void answerExitQuestion(bool yes);
    bool isExitQuestionOpen() const { return exitQuestionOpen_; }

    // Scene n, 1..106, exactly as a choice, a won fight or an item shows it. Tools and tests
    // that visit a scene directly start here, as every route into the scene does.
    void showScene(int number);

    // The window's members.
    const sound::WavePlayer* Sound() const { return sound_.get(); }
    const std::string& Health() const { return health_; }
    const std::string& HealthOpponent() const { return healthOpponent_; }
    const std::string& NameOpponent() const { return nameOpponent_; }
    const std::string& Roll() const { return roll_; }
    const std::string& Ring() const { return ring_; }

    // The full path of a file in the sound folder beside the executable.
    std::string soundPath(std::string_view file) const;

  private:
    // The one list of the controls that take a click, with the handler each reaches; none for
    // every other control. Clicks and hasClickHandler both read it.
    using ClickHandler = void (*)(Game&);
    static ClickHandler clickHandlerOf(ControlId control);
    friend bool hasClickHandler(ControlId control);

    // The window's handlers, raised through the events above.
    void Form_Load();
    void Form_Unload();
    void Start_Click();
    void choiceClick(std::size_t label);  // R1_Click .. R5_Click, label 0..4
    void Attack_Click();
    void Item1_Click();
    void Item3_Click();
    void Item4_Click();
    void Quit_Click();
    void EndGame_Click();
    void WinGame_Click();
    void HealthTimer_Timer();
    void Death_Timer();
    void Win_Timer();
    void ColorChanger_Timer();
    void Form_MouseMove();
    void Start_MouseMove();
    void choiceMouseMove(std::size_t label);  // R1_MouseMove .. R5_MouseMove, label 0..4

    void applyLifeChange(const story::LifeChange& change);
    void playSound(std::string_view file);
    void gameOver();
    void putVictoryBannerAway();
    void clearPlay();
    void backToTitleScreen();
    void showTitleScreen();
    void setHealth(double value);

    WindowModel& window_;
    sound::AudioOutput& audio_;
    RandomSource& random_;
    ExitQuestion& exitQuestion_;
    std::string applicationDirectory_;
    bool exitQuestionOpen_ = false;

    std::unique_ptr<sound::WavePlayer> sound_;
    std::string health_;
    std::string healthOpponent_;
    std::string nameOpponent_;
    std::string roll_;
    std::string ring_;
};

}  // namespace tovik
