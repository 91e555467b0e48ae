#include "story/passages.h"
#include "support/game_fixture.h"

namespace tovik::testing {
namespace {

using enum ControlId;
using enum story::Key;

using ChoiceDispatch = GameFixture;

TEST_F(ChoiceDispatch, TheSameWordLeadsElsewhereOnAnotherLabel) {
    at(39);
    game.click(R1);  // magic word B, first try
    EXPECT_TRUE(showing(40));
    game.click(R3);  // the same word, second try
    EXPECT_TRUE(showing(43));
    at(39);
    game.click(R5);  // magic word E, first try
    EXPECT_TRUE(showing(40));
    game.click(R2);  // the same word, second try
    EXPECT_TRUE(showing(43));
}

TEST_F(ChoiceDispatch, TheRightWordWorksFromEitherLabel) {
    at(39);
    game.click(R4);
    EXPECT_TRUE(showing(6));
    at(41);
    game.click(R1);
    EXPECT_TRUE(showing(6));
}

TEST_F(ChoiceDispatch, OnlyTheExactCaptionMatches) {
    at(1);
    const std::string left = window.caption(R1);
    for (const std::string& variant : {left + " ", " " + left, std::string(), left.substr(1)}) {
        window.setCaption(R1, variant);
        game.click(R1);
        EXPECT_TRUE(showing(1)) << "caption '" << variant << "' must do nothing";
    }
    // "е" for "ё" is another caption too: find a caption with ё and spoil it.
    std::string withYo;
    story::Key keyWithYo{};
    for (const story::ChoiceTest& test : story::choiceTable()[0]) {
        for (story::Key key : test.captions) {
            if (withYo.empty() && story::captionOf(key).find("ё") != std::string_view::npos) {
                withYo = story::captionOf(key);
                keyWithYo = key;
            }
        }
    }
    ASSERT_FALSE(withYo.empty());
    withYo.replace(withYo.find("ё"), std::string("ё").size(), "е");
    window.setCaption(R1, withYo);
    game.click(R1);
    EXPECT_TRUE(showing(1)) << "key " << story::numberOf(keyWithYo);
    // Upper case of the first letter is a different caption as well.
    window.setCaption(R1, std::string(story::captionOf(K050)));
    game.click(R1);
    EXPECT_TRUE(showing(74));
}

TEST_F(ChoiceDispatch, AlternativesOfOneTestLeadToTheSameScene) {
    for (int from : {81, 89, 85, 90}) {
        at(from);
        game.click(R1);
        EXPECT_TRUE(showing(50)) << "from Sc" << from;
    }
}

TEST_F(ChoiceDispatch, ChanceChoicesDrawOneOrTwo) {
    struct Case {
        int from;
        int onOne;
        int onTwo;
    };
    for (const Case& c : {Case{43, 42, 41}, Case{53, 54, 55}, Case{71, 86, 87}}) {
        for (int draw : {1, 2}) {
            at(c.from);
            draws.push(draw);
            game.click(R1);
            EXPECT_TRUE(showing(draw == 1 ? c.onOne : c.onTwo)) << "Sc" << c.from << " " << draw;
            EXPECT_EQ(game.Roll(), std::to_string(draw));
            EXPECT_EQ(draws.lastSides, 2);
        }
    }
    EXPECT_TRUE(draws.empty());
}

TEST_F(ChoiceDispatch, PuttingTheBoxBackDependsOnTheFurBall) {
    at(85);  // the fur ball
    at(27);
    game.click(R2);
    EXPECT_TRUE(showing(33));
    EXPECT_FALSE(window.isVisible(Item2));  // it soaked up the water and stays behind
    at(27);
    game.click(R2);
    EXPECT_TRUE(showing(34));
}

TEST_F(ChoiceDispatch, OrdinaryChoicesDrawNoDice) {
    at(1);
    game.click(R3);
    EXPECT_TRUE(showing(73));
    EXPECT_EQ(draws.drawn, 0);
    EXPECT_EQ(game.Roll(), "");
}

TEST_F(ChoiceDispatch, AClickOnAHiddenLabelDoesNothing) {
    at(3);
    window.setCaption(R2, story::captionOf(K112));  // a caption R2 knows, on a hidden label
    game.click(R2);
    EXPECT_TRUE(showing(3));
}

}  // namespace
}  // namespace tovik::testing
