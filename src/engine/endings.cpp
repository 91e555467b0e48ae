#include "engine/game.h"
#include "form/control_layout.h"
#include "story/interface_texts.h"

namespace tovik {

using enum ControlId;

// Every death ends here: in a fight, by a life change below 1, or by the death timer through
// the life watch.
void Game::gameOver() {
    window_.setTimerEnabled(Death, false);
    // A hero who dies on the way out must not see the victory banner over the defeat banner,
    // not even when the life watch finds him dead only after the banner has come up.
    window_.setTimerEnabled(Win, false);
    if (window_.isVisible(WinGame)) {
        putVictoryBannerAway();
    }
    clearPlay();
    for (ControlId control : {NameGame1, NameGame2, Start}) {
        window_.setVisible(control, false);
    }
    window_.setVisible(Status, false);
    window_.setCaption(Status, "");
    window_.setVisible(EndGame, true);
}

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
    backToTitleScreen();
}

void Game::WinGame_Click() {
    clearPlay();
    window_.setTimerEnabled(Win, false);
    putVictoryBannerAway();
    backToTitleScreen();
}

void Game::putVictoryBannerAway() {
    window_.setVisible(WinGame, false);
    window_.setTimerEnabled(ColorChanger, false);
    window_.setTextColour(WinGame, kBannerColour);  // the next victory starts its cycle here
}

// Both banners lead back to the title screen with the defeat banner as designed and the
// hero's life as at the start.
void Game::backToTitleScreen() {
    window_.setVisible(EndGame, false);
    window_.setCaption(EndGame, story::translated(story::kDefeatBannerText));
    window_.setTextColour(EndGame, kBannerColour);
    health_ = kStartingLife;
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
    for (ControlId control : kTitleScreen) {
        window_.setVisible(control, true);
    }
}

void Game::Quit_Click() {
    window_.hide();
    exitQuestionOpen_ = true;
    if (const std::optional<bool> answer =
            exitQuestion_.ask(story::translated(story::kExitTitleText),
                              story::translated(story::kExitQuestionText))) {
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
