#include "engine/decimal_text.h"
#include "engine/game.h"
#include "story/choice_table.h"

namespace tovik {

void Game::choiceClick(std::size_t label) {
    const std::string& caption = window_.caption(kChoiceLabels[label]);
    // The caption is the key: compared whole and exactly, so a stray blank, another letter case
    // or an "е" for an "ё" matches nothing, and the empty caption of an unused label neither.
    for (const story::ChoiceTest& test : story::choiceTable()[label]) {
        bool matches = false;
        for (story::Key key : test.captions) {
            matches = matches || caption == story::captionOf(key);
        }
        if (!matches) {
            continue;
        }
        switch (test.condition) {
            case story::Condition::None:
                return showScene(test.target);
            case story::Condition::Chance:
                roll_ = toDecimalText(random_.draw(2));
                return showScene(toNumber(roll_) == 1 ? test.target : test.otherTarget);
            case story::Condition::FurBallHeld:
                return showScene(window_.isVisible(ControlId::Item2) ? test.target
                                                                     : test.otherTarget);
        }
    }
}

}  // namespace tovik
