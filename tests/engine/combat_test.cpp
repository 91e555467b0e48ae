#include <tuple>

#include "engine/spoken_screen.h"
#include "form/control_layout.h"
#include "story/language.h"
#include "story/passages.h"
#include "support/game_fixture.h"

namespace tovik::testing {
namespace {

using enum ControlId;

class Combat : public GameFixture {
  protected:
    // Blows on dice that land for the hero (1) or for the opponent (4).
    void blows(int die, int times = 1) {
        draws.push(die, times);
        for (int i = 0; i < times; ++i) {
            game.click(Attack);
        }
    }
    void strike(int times = 1) { blows(1, times); }
    void beStruck(int times = 1) { blows(4, times); }
};

TEST_F(Combat, TheHerosBlowTakesFiveAndTheOpponentsFiveOrThreeWithTheRing) {
    at(77);  // the ghost, 20
    draws.push(3);
    game.click(Attack);
    EXPECT_EQ(game.HealthOpponent(), "15");
    EXPECT_EQ(game.Health(), "60");
    EXPECT_EQ(game.Roll(), "3");
    EXPECT_EQ(draws.lastSides, 4);
    EXPECT_EQ(window.caption(Status), "Ларминов нанёс удар!");
    beStruck();
    EXPECT_EQ(game.Health(), "55");
    EXPECT_EQ(game.HealthOpponent(), "15");
    EXPECT_EQ(window.caption(Status), " ПРИЗРАК нанёс удар!");
    EXPECT_EQ(audio.played.size(), 2u);
    EXPECT_EQ(played(0), "ydar.wav");
    EXPECT_EQ(played(1), "ydar2.wav");
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
    EXPECT_EQ(window.caption(LifeOpponent), "СКЕЛЕТ: 65");  // the blanks only tell them apart
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
    EXPECT_EQ(shown(), (std::vector<ControlId>{Creator, Life, EndGame, TovikImage, Quit}));
    EXPECT_EQ(window.caption(Status), "");
    EXPECT_EQ(window.caption(EndGame), kDefeatBanner);
    EXPECT_EQ(game.Ring(), "0");
}

TEST_F(Combat, DyingOnTheWayOutStopsTheVictory) {
    at(96);
    ASSERT_TRUE(window.isTimerEnabled(Win));
    for (int i = 0; i < 4; ++i) {
        at(5);  // whatever brought life to nothing before the watch looked
    }
    game.tick(HealthTimer);
    EXPECT_EQ(window.caption(Life), "ЖИЗНЬ: -12");
    EXPECT_TRUE(window.isVisible(EndGame));
    EXPECT_FALSE(window.isTimerEnabled(Win));
    game.tick(Win);
    EXPECT_FALSE(window.isVisible(WinGame));
}

// Every fight's opponent as the label, the status line and the reader give it, in both
// languages: the name without the trailing blanks that keep the three skeletons apart.
struct ShownFight {
    int scene;
    const char* life;
    const char* russian;
    const char* english;
};

class EveryFight : public Combat, public ::testing::WithParamInterface<ShownFight> {
  protected:
    ~EveryFight() override { story::setLanguage(story::Language::Russian); }
};

TEST_P(EveryFight, ShowsAndSaysTheNameWithoutStrayBlanks) {
    const ShownFight& fight = GetParam();
    for (const auto& [language, name, blow, lifeWord] :
         {std::tuple{story::Language::Russian, fight.russian, " нанёс удар!", "ЖИЗНЬ: "},
          std::tuple{story::Language::English, fight.english, " strikes!", "LIFE: "}}) {
        story::setLanguage(language);
        game.tick(HealthTimer);  // the label as the scene before leaves it
        at(fight.scene);
        const std::string shown(name);
        // Written at once: the life watch may be half a second away.
        EXPECT_EQ(window.caption(LifeOpponent), shown + ": " + fight.life);
        const SpokenScreen before = spokenScreenOf(window, game);
        beStruck();
        const Announcement said = announce(before, spokenScreenOf(window, game));
        game.tick(HealthTimer);
        EXPECT_EQ(window.caption(LifeOpponent), shown + ": " + fight.life);
        EXPECT_EQ(window.caption(Status), " " + shown + blow);
        EXPECT_EQ(said.text, shown + blow + " " + lifeWord + game.Health() + ". " + shown + ": " +
                                 fight.life + ".");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Opponents, EveryFight,
    ::testing::Values(
        ShownFight{52, "60", "ДВОЙНИК", "THE DOUBLE"},
        ShownFight{61, "35", "ОБОРОТЕНЬ", "WEREWOLF"}, ShownFight{62, "70", "ЧЕРВЬ", "WORM"},
        ShownFight{63, "50", "ВАМПИР", "VAMPIRE"}, ShownFight{64, "40", "ГОБЛИН", "GOBLIN"},
        ShownFight{65, "25", "ПЕТУШОК", "COCKEREL"}, ShownFight{66, "30", "ВОЛКОЛАК", "WOLF-BEAST"},
        ShownFight{67, "65", "СКЕЛЕТ", "SKELETON"}, ShownFight{68, "65", "СКЕЛЕТ", "SKELETON"},
        ShownFight{69, "65", "СКЕЛЕТ", "SKELETON"},  // "СКЕЛЕТ  " to the victory check
        ShownFight{70, "65", "СКЕЛЕТ", "SKELETON"},  // "СКЕЛЕТ "
        ShownFight{76, "45", "ИЛЛИТИД", "ILLITHID"}, ShownFight{77, "20", "ПРИЗРАК", "GHOST"}),
    [](const auto& info) { return "Sc" + std::to_string(info.param.scene); });

}  // namespace
}  // namespace tovik::testing
