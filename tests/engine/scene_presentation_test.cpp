#include "form/control_layout.h"
#include "support/game_fixture.h"
#include "support/scene_routes.h"

namespace tovik::testing {
namespace {

using enum ControlId;

using ScenePresentation = GameFixture;

TEST_F(ScenePresentation, AnOrdinarySceneAfterAFightPutsTheFightAway) {
    at(52);  // the double
    ASSERT_TRUE(window.isVisible(Attack));
    draws.push(1);
    game.click(Attack);
    ASSERT_EQ(window.caption(Status), "Ларминов нанёс удар!");
    at(3);
    EXPECT_FALSE(window.isVisible(Attack));
    EXPECT_FALSE(window.isVisible(Status));
    EXPECT_FALSE(window.isVisible(LifeOpponent));
    EXPECT_EQ(window.caption(Status), "");
    EXPECT_EQ(game.HealthOpponent(), "0");
    EXPECT_EQ(game.NameOpponent(), "");
}

TEST_F(ScenePresentation, FewerChoicesClearAndHideTheRestOfTheLabels) {
    at(39);  // five choices
    at(3);   // one choice
    EXPECT_TRUE(window.isVisible(R1));
    for (ControlId label : {R2, R3, R4, R5}) {
        EXPECT_FALSE(window.isVisible(label));
        EXPECT_EQ(window.caption(label), "");
    }
}

TEST_F(ScenePresentation, AFightSceneShowsOnlyTheFightControls) {
    at(39);
    at(61);
    for (ControlId label : kChoiceLabels) {
        EXPECT_FALSE(window.isVisible(label));
        EXPECT_EQ(window.caption(label), "");
    }
    EXPECT_TRUE(window.isVisible(Attack));
    EXPECT_TRUE(window.isVisible(Status));
    EXPECT_TRUE(window.isVisible(LifeOpponent));
    EXPECT_EQ(window.caption(Status), "");
    EXPECT_EQ(game.NameOpponent(), "ОБОРОТЕНЬ");
    EXPECT_EQ(game.HealthOpponent(), "35");
}

TEST_F(ScenePresentation, LifeChangesHaveNoBounds) {
    at(11);
    EXPECT_EQ(game.Health(), "82");
    at(42);
    at(42);  // every showing applies its effect again
    EXPECT_EQ(game.Health(), "60");
    at(5);
    at(5);
    at(5);
    at(5);
    EXPECT_EQ(game.Health(), "-12");
    EXPECT_TRUE(window.isVisible(R2));  // the scene still offers its choices
}

TEST_F(ScenePresentation, TheSecondBottleRestoresExactlySixty) {
    at(11);  // 82
    at(17);
    EXPECT_EQ(game.Health(), "60");
    at(5);
    at(5);
    at(5);  // 6
    at(17);
    EXPECT_EQ(game.Health(), "60");
}

TEST_F(ScenePresentation, TheRoastChickenHealsUpToSixtyButNeverLowers) {
    // Reach each starting life through real scenes: Sc5 -18, Sc90 -3, Sc83 +5, Sc11 +22.
    const std::vector<std::pair<std::vector<int>, std::pair<const char*, const char*>>> cases = {
        {{5, 5, 90, 90, 90, 90}, {"12", "18"}},
        {{90, 90}, {"54", "60"}},
        {{83, 5, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 11}, {"39", "45"}},
        {{83, 90, 90, 90, 83, 90, 90}, {"55", "60"}},
        {{}, {"60", "60"}},
        {{11}, {"82", "82"}},
    };
    for (const auto& [scenes, values] : cases) {
        WindowModel freshWindow;
        Game fresh(freshWindow, audio, draws, answer, "/opt/tovik");
        fresh.load();  // life 60
        for (int scene : scenes) {
            fresh.showScene(scene);
        }
        ASSERT_EQ(fresh.Health(), values.first);
        fresh.showScene(47);
        EXPECT_EQ(fresh.Health(), values.second) << "from " << values.first;
    }
}

TEST_F(ScenePresentation, SoundScenesPlayTheirFileBeforeTheirLifeChange) {
    at(84);
    ASSERT_EQ(audio.played.size(), 1u);
    EXPECT_EQ(played(0), "health.wav");
    EXPECT_EQ(game.Health(), "77");
    for (int scene : {53, 65, 82, 86, 87}) {
        at(scene);
    }
    EXPECT_EQ(played(1), "shock.wav");
    EXPECT_EQ(played(2), "techno.wav");
    EXPECT_EQ(played(3), "stone.wav");
    EXPECT_EQ(played(4), "voda.wav");
    EXPECT_EQ(played(5), "shelest.wav");
    EXPECT_EQ(game.Sound()->Flags, 1);
}

TEST_F(ScenePresentation, TheWolfBeastWoundsTheHeroAfterTheFightIsSetUp) {
    at(66);
    EXPECT_EQ(game.Health(), "52");
    EXPECT_EQ(game.NameOpponent(), "ВОЛКОЛАК");
    EXPECT_EQ(game.HealthOpponent(), "30");
}

TEST_F(ScenePresentation, ItemsAreGainedAndLostByTheirScenes) {
    at(59);
    at(85);
    at(88);
    at(27);
    for (ControlId item : kItems) {
        EXPECT_TRUE(window.isVisible(item));
    }
    at(35);  // the necklace again: still one necklace
    EXPECT_TRUE(window.isVisible(Item4));
    at(16);  // pockets emptied, the worn necklace stays
    EXPECT_FALSE(window.isVisible(Item1));
    EXPECT_FALSE(window.isVisible(Item2));
    EXPECT_FALSE(window.isVisible(Item3));
    EXPECT_TRUE(window.isVisible(Item4));
}

TEST_F(ScenePresentation, TheRingIsPutOnAndLost) {
    at(23);
    EXPECT_EQ(game.Ring(), "1");
    at(101);
    EXPECT_EQ(game.Ring(), "0");
    EXPECT_EQ(game.Health(), "58");
}

TEST_F(ScenePresentation, EndingScenesStartTheirTimersAndTheLosingBanner) {
    at(34);
    EXPECT_TRUE(window.isTimerEnabled(Death));
    EXPECT_EQ(window.caption(EndGame), kDefeatBanner);
    at(98);
    EXPECT_EQ(window.caption(EndGame), kLostBanner);
    EXPECT_FALSE(window.isVisible(R1));
    at(96);
    EXPECT_TRUE(window.isTimerEnabled(Win));
}

TEST_F(ScenePresentation, TheSkeletonsTrailingBlanksAreKept) {
    at(70);
    EXPECT_EQ(game.NameOpponent(), "СКЕЛЕТ ");
    at(69);
    EXPECT_EQ(game.NameOpponent(), "СКЕЛЕТ  ");
    at(67);
    EXPECT_EQ(game.NameOpponent(), "СКЕЛЕТ");
}

// The choice that opens a fight, taken as a player takes it, writes the opponent's label at once:
// the life watch may be half a second away.
TEST(FightStart, TheOpponentsLabelShowsNameAndLifeBeforeTheLifeWatchTicks) {
    int fights = 0;
    for (int number = 1; number <= story::kSceneCount; ++number) {
        const std::optional<story::Fight>& fight = story::sceneNumber(number).fight;
        if (!fight) {
            continue;
        }
        ++fights;
        WindowModel window;
        sound::RecordingAudioOutput audio;
        ScriptedDraws draws;
        ScriptedAnswer answer;
        Game game(window, audio, draws, answer, "/opt/tovik");
        game.load();
        const Route& route = SceneRoutes::story().to(number);
        for (std::size_t i = 0; i < route.size(); ++i) {
            if (i + 1 == route.size()) {
                game.tick(HealthTimer);  // the label as the scene before leaves it
            }
            if (route[i].draw) {
                draws.push(*route[i].draw);
            }
            game.click(route[i].control);
        }
        // The label shows no trailing blanks: those only keep the skeletons apart.
        const std::string_view name = fight->opponent;
        EXPECT_EQ(window.caption(LifeOpponent),
                  std::string(name.substr(0, name.find_last_not_of(' ') + 1)) + ": " +
                      std::to_string(fight->life))
            << "scene " << number;
    }
    EXPECT_GT(fights, 10);
}

}  // namespace
}  // namespace tovik::testing
