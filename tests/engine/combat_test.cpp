#include "form/control_layout.h"
#include "story/passages.h"
#include "support/game_fixture.h"

namespace tovik::testing {
namespace {

using enum ControlId;

class Combat : public GameFixture {
  protected:
    void strike(int times = 1) {
        draws.push(1, times);
        for (int i = 0; i < times; ++i) {
            game.click(Attack);
        }
    }
    void beStruck(int times = 1) {
        draws.push(4, times);
        for (int i = 0; i < times; ++i) {
            game.click(Attack);
        }
    }
};

TEST_F(Combat, TheHerosBlowTakesFiveFromTheOpponentOnly) {
    at(77);  // the ghost, 20
    draws.push(3);
    game.click(Attack);
    EXPECT_EQ(game.HealthOpponent(), "15");
    EXPECT_EQ(game.Health(), "60");
    EXPECT_EQ(game.Roll(), "3");
    EXPECT_EQ(draws.lastSides, 4);
    EXPECT_EQ(window.caption(Status), "Ларминов нанёс удар!");
    EXPECT_EQ(played(0), "ydar.wav");
}

TEST_F(Combat, TheOpponentsBlowCostsFiveOrThreeWithTheRing) {
    at(77);
    beStruck();
    EXPECT_EQ(game.Health(), "55");
    EXPECT_EQ(game.HealthOpponent(), "20");
    EXPECT_EQ(window.caption(Status), " ПРИЗРАК нанёс удар!");
    EXPECT_EQ(played(0), "ydar2.wav");
    at(23);  // the ring
    at(77);
    beStruck();
    EXPECT_EQ(game.Health(), "52");
    at(101);  // the ring vanishes, and 2 life with it
    at(77);
    beStruck();
    EXPECT_EQ(game.Health(), "45");
}

TEST_F(Combat, ABlowToExactlyZeroWinsTheFight) {
    at(77);
    strike(3);
    EXPECT_TRUE(showing(77));
    strike();
    EXPECT_TRUE(showing(3));
    EXPECT_FALSE(window.isVisible(Attack));
    EXPECT_EQ(game.HealthOpponent(), "0");
}

TEST_F(Combat, TheSkeletonRisesAgainAndAgain) {
    at(67);
    strike(13);
    EXPECT_TRUE(showing(70));
    EXPECT_EQ(game.NameOpponent(), "СКЕЛЕТ ");
    EXPECT_EQ(game.HealthOpponent(), "65");
    strike(13);
    EXPECT_TRUE(showing(69));
    EXPECT_EQ(game.NameOpponent(), "СКЕЛЕТ  ");
    game.tick(HealthTimer);
    EXPECT_EQ(window.caption(LifeOpponent), "СКЕЛЕТ  : 65");
    strike(13);
    EXPECT_TRUE(showing(70));
    EXPECT_EQ(game.HealthOpponent(), "65");
    EXPECT_TRUE(window.isVisible(Attack));
}

TEST_F(Combat, TheLifeWatchShowsBothLivesAndIgnoresALivingHero) {
    at(63);
    beStruck(2);
    strike();
    EXPECT_EQ(window.caption(Life), "ЖИЗНЬ: 60");  // only the watch refreshes the labels
    game.tick(HealthTimer);
    EXPECT_EQ(window.caption(Life), "ЖИЗНЬ: 50");
    EXPECT_EQ(window.caption(LifeOpponent), "ВАМПИР: 45");
    EXPECT_TRUE(window.isVisible(Attack));
}

TEST_F(Combat, ALostFightEndsTheGameAtTheNextTick) {
    at(23);  // wearing the ring
    at(85);  // and the fur ball
    at(62);  // the worm
    beStruck(20);
    EXPECT_EQ(game.Health(), "0");
    EXPECT_TRUE(window.isVisible(Attack));  // clicks still count until the watch looks
    game.tick(HealthTimer);
    EXPECT_EQ(window.caption(Life), "ЖИЗНЬ: 0");
    for (ControlId id : {Info, R1, R2, R3, R4, R5, Attack, LifeOpponent, Item1, Item2, Item3, Item4,
                         NameGame1, NameGame2, Start, Status}) {
        EXPECT_FALSE(window.isVisible(id)) << nameOf(id);
    }
    EXPECT_EQ(window.caption(Status), "");
    EXPECT_TRUE(window.isVisible(EndGame));
    EXPECT_EQ(window.caption(EndGame), kDefeatBanner);
    EXPECT_EQ(game.Ring(), "0");
    EXPECT_TRUE(window.isVisible(Quit));
    EXPECT_TRUE(window.isVisible(Life));
}

TEST_F(Combat, ANegativeLifeIsShownWithItsSignAndEndsTheGame) {
    for (int i = 0; i < 4; ++i) {
        at(5);
    }
    game.tick(HealthTimer);
    EXPECT_EQ(window.caption(Life), "ЖИЗНЬ: -12");
    EXPECT_TRUE(window.isVisible(EndGame));
}

TEST_F(Combat, DyingOnTheWayOutStopsTheVictory) {
    at(96);
    ASSERT_TRUE(window.isTimerEnabled(Win));
    for (int i = 0; i < 4; ++i) {
        at(5);  // whatever brought life to nothing before the watch looked
    }
    game.tick(HealthTimer);
    EXPECT_FALSE(window.isTimerEnabled(Win));
    game.tick(Win);
    EXPECT_FALSE(window.isVisible(WinGame));
}

}  // namespace
}  // namespace tovik::testing
