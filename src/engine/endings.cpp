#include "engine/control_layout.h"
#include "engine/game.h"

namespace tovik {

using enum ControlId;

void Game::Death_Timer() {
    // The life watch ends the game at its next tick, and stops this timer then.
    health_ = "0";
}

void Game::Win_Timer() {
    window_.setTimerEnabled(Win, false);
    window_.setTimerEnabled(ColorChanger, true);
    window_.setVisible(WinGame, true);
}

void Game::EndGame_Click() {
    window_.setVisible(EndGame, false);
    window_.setCaption(EndGame, kDefeatBanner);
    window_.setTextColour(EndGame, 0xFF0000);
    health_ = "60";
    showTitleScreen();
}

void Game::WinGame_Click() {
    clearPlay();
    window_.setTimerEnabled(Win, false);
    window_.setVisible(WinGame, false);
    window_.setTimerEnabled(ColorChanger, false);
    window_.setTextColour(WinGame, 0xFF0000);  // the next victory starts its cycle from red
    window_.setVisible(EndGame, false);
    window_.setCaption(EndGame, kDefeatBanner);
    window_.setTextColour(EndGame, 0xFF0000);
    health_ = "60";
    showTitleScreen();
}

// Both endings put the game away the same way before the next one: no passage, no choices, no
// fight, no items and no ring.
void Game::clearPlay() {
    window_.setVisible(Info, false);
    for (ControlId label : kChoiceLabels) {
        window_.setVisible(label, false);
    }
    window_.setVisible(Attack, false);
    window_.setVisible(LifeOpponent, false);
    for (ControlId item : kItems) {
        window_.setVisible(item, false);
    }
    ring_ = "0";
}

void Game::showTitleScreen() {
    for (ControlId control : {NameGame1, NameGame2, Start, Creator, TovikImage}) {
        window_.setVisible(control, true);
    }
}

void Game::Quit_Click() {
    window_.hide();
    exitQuestionOpen_ = true;
    if (const std::optional<bool> answer = exitQuestion_.ask(kExitTitle, kExitText)) {
        answerExitQuestion(*answer);
    }
}

void Game::answerExitQuestion(bool yes) {
    if (!exitQuestionOpen_) {
        return;
    }
    exitQuestionOpen_ = false;
    if (yes) {
        Form_Unload();
    } else {
        window_.show();
    }
}

}  // namespace tovik
