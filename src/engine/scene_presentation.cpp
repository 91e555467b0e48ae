#include "engine/decimal_text.h"
#include "engine/game.h"
#include "engine/game_vocabulary.h"
#include "form/control_layout.h"
#include "story/choice_table.h"
#include "story/interface_texts.h"

namespace tovik {

using enum ControlId;

void Game::showScene(int number) {
    const story::Scene& scene = story::sceneNumber(number);
    const bool fight = scene.fight.has_value();
    const std::size_t shown = scene.choices.size();

    // The same steps for every scene, so that no scene depends on the one before it.
    window_.setCaption(Info, story::passageOf(number));
    for (std::size_t i = 0; i < kChoiceLabelCount; ++i) {
        window_.setCaption(kChoiceLabels[i], i < shown ? story::captionOf(scene.choices[i]) : "");
    }
    for (std::size_t i = 0; i < kChoiceLabelCount; ++i) {
        window_.setVisible(kChoiceLabels[i], i < shown);
    }
    window_.setCaption(Status, "");
    window_.setVisible(Attack, fight);
    window_.setVisible(Status, fight);
    healthOpponent_ = fight ? toDecimalText(scene.fight->life) : "0";
    nameOpponent_ =
        fight ? std::string(story::translated(story::kOpponentContext, scene.fight->opponent))
              : std::string();
    if (fight) {
        // The opponent's label shows who and how strong from the fight's first moment; waiting
        // for the life watch would show the last label, or ": 0", for up to half a second.
        window_.setCaption(LifeOpponent, opponentLifeCaption(nameOpponent_, healthOpponent_));
    }
    window_.setVisible(LifeOpponent, fight);

    const story::SceneEffects& effects = scene.effects;
    for (const story::ItemChange& change : effects.items) {
        window_.setVisible(change.item, change.shown);
    }
    if (!effects.defeatBanner.empty()) {
        window_.setCaption(EndGame, story::translated(story::kBannerContext, effects.defeatBanner));
    }
    if (!effects.sound.empty()) {
        playSound(effects.sound);
    }
    if (effects.ending == story::Ending::Death) {
        window_.setTimerEnabled(Death, true);
    } else if (effects.ending == story::Ending::Victory) {
        window_.setTimerEnabled(Win, true);
    }
    applyLifeChange(effects.life);
    if (effects.ringWorn) {
        ring_ = *effects.ringWorn ? "1" : "0";
    }
}

void Game::applyLifeChange(const story::LifeChange& change) {
    const double startingLife = toNumber(kStartingLife);
    const double life = toNumber(health_);
    switch (change.rule) {
        case story::LifeRule::None:
            return;
        case story::LifeRule::Add:
            return setHealth(life + change.amount);
        case story::LifeRule::SetToStart:
            return setHealth(startingLife);
        case story::LifeRule::AddUpToStart:
            // The roast chicken: never above 60, and a life already above 60 stays as it is.
            if (life < startingLife - change.amount) {
                return setHealth(life + change.amount);
            }
            if (life <= startingLife) {
                return setHealth(startingLife);
            }
            return;
    }
}

}  // namespace tovik
