#include "story/passages.h"
#include "support/game_fixture.h"

namespace tovik::testing {
namespace {

using enum ControlId;

using Items = GameFixture;

TEST_F(Items, TheScrollSpeaksTheRightWordAtTheForceField) {
    at(59);
    for (int field : {39, 40, 41, 42}) {
        at(field);
        game.click(Item1);
        EXPECT_TRUE(showing(6)) << "at Sc" << field;
        EXPECT_TRUE(window.isVisible(Item1));  // not used up
    }
}

TEST_F(Items, TheTridentOpensOnlyTheSteelDoor) {
    at(88);
    at(4);
    game.click(Item3);
    EXPECT_TRUE(showing(4));
    at(30);
    game.click(Item3);
    EXPECT_TRUE(showing(2));
    EXPECT_TRUE(window.isVisible(Item3));
}

TEST_F(Items, TheNecklaceTurnsOnlyTheEyesBeam) {
    at(27);
    at(30);
    game.click(Item4);
    EXPECT_TRUE(showing(30));
    at(4);
    game.click(Item4);
    EXPECT_TRUE(showing(32));
}

TEST_F(Items, ItemsNotHeldCannotBeClicked) {
    // Each item at the one scene where it would work, while it is not held.
    const std::pair<int, ControlId> uses[] = {{30, Item3}, {4, Item4}, {39, Item1}};
    for (const auto& [scene, item] : uses) {
        at(scene);
        ASSERT_FALSE(window.isVisible(item));
        game.click(item);
        EXPECT_TRUE(showing(scene)) << nameOf(item) << " at Sc" << scene;
    }
}

TEST_F(Items, TheFurBallIsNeverClickedAndTheEmptiedPocketsLoseIt) {
    at(85);
    at(27);
    game.click(Item2);
    EXPECT_TRUE(showing(27));
    at(16);
    at(27);
    game.click(R2);
    EXPECT_TRUE(showing(34));
}

}  // namespace
}  // namespace tovik::testing
