#include "engine/decimal_text.h"
#include "engine/game.h"
#include "engine/game_vocabulary.h"
#include "form/control_layout.h"
#include "story/interface_texts.h"
#include "story/victories.h"

namespace tovik {

using enum ControlId;

namespace {
constexpr int kBlow = 5;        // what the hero's blow takes from the opponent
constexpr int kBlowOnBare = 5;  // what the opponent's blow takes from the hero
constexpr int kBlowOnRing = 3;  // ... while he wears the ring
}  // namespace

void Game::Attack_Click() {
    roll_ = toDecimalText(random_.draw(4));
    if (toNumber(roll_) < 4) {
        healthOpponent_ = toDecimalText(toNumber(healthOpponent_) - kBlow);
        playSound(kHeroBlowSound);
        window_.setCaption(Status, heroBlowStatus());
    } else {
        const int blow = toNumber(ring_) != 0 ? kBlowOnRing : kBlowOnBare;
        setHealth(toNumber(health_) - blow);
        playSound(kOpponentBlowSound);
        window_.setCaption(Status, opponentBlowStatus(nameOpponent_));
    }
    // Every check reads the state afresh: a victory scene may have started the next fight, and
    // that is how the skeleton keeps rising.
    for (const story::Victory& victory : story::kVictories) {
        if (window_.isVisible(LifeOpponent) &&
            nameOpponent_ == story::translated(story::kOpponentContext, victory.opponent) &&
            toNumber(healthOpponent_) <= 0) {
            showScene(victory.scene);
        }
    }
}

void Game::HealthTimer_Timer() {
    window_.setCaption(Life, std::string(lifePrefix()) + health_);
    window_.setCaption(LifeOpponent, opponentLifeCaption(nameOpponent_, healthOpponent_));
    if (toNumber(health_) > 0) {
        return;
    }
    gameOver();
}

}  // namespace tovik
