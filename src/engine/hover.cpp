#include "engine/game.h"
#include "engine/game_vocabulary.h"
#include "form/control_layout.h"

namespace tovik {

using enum ControlId;

namespace {

// Every move sets all six colours, visible or not: the highlight has no state of its own.
void light(WindowModel& window, std::optional<std::size_t> litChoice, bool startLit) {
    for (std::size_t i = 0; i < kChoiceLabelCount; ++i) {
        window.setTextColour(kChoiceLabels[i], i == litChoice ? kChoiceLit : kChoiceColour);
    }
    window.setTextColour(Start, startLit ? kStartLit : kStartNormal);
}

}  // namespace

void Game::Form_MouseMove() {
    light(window_, std::nullopt, false);
}

void Game::Start_MouseMove() {
    light(window_, std::nullopt, true);
}

void Game::choiceMouseMove(std::size_t label) {
    light(window_, label, false);
}

void Game::ColorChanger_Timer() {
    const Colour current = window_.textColour(WinGame);
    constexpr std::size_t kSteps = kBannerCycle.size();
    for (std::size_t step = 0; step < kSteps; ++step) {
        if (kBannerCycle[step] == current) {
            window_.setTextColour(WinGame, kBannerCycle[(step + 1) % kSteps]);
            return;
        }
    }
}

}  // namespace tovik
