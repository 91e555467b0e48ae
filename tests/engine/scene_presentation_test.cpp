#include "form/control_layout.h"
#include "support/game_fixture.h"
#include "support/scene_routes.h"

namespace tovik::testing {
namespace {

using enum ControlId;

using ScenePresentation = GameFixture;

TEST_F(ScenePresentation, FewerChoicesOrAFightHideTheRestAndAnOrdinarySceneTheFight) {
    at(39);  // five choices
    at(3);   // one choice
    EXPECT_TRUE(window.isVisible(R1));
    at(39);
    at(61);  // a fight
    for (ControlId label : {R1, R2, R3, R4, R5}) {
        EXPECT_EQ(window.isVisible(label), false) << nameOf(label);
        EXPECT_EQ(window.caption(label), "") << nameOf(label);
    }
    for (ControlId fight : {Attack, Status, LifeOpponent}) {
        EXPECT_TRUE(window.isVisible(fight)) << nameOf(fight);
    }
    EXPECT_EQ(window.caption(Status), "");
    EXPECT_EQ(game.NameOpponent(), "ОБОРОТЕНЬ");
    EXPECT_EQ(game.HealthOpponent(), "35");
    draws.push(1);
    game.click(Attack);
    ASSERT_EQ(window.caption(Status), "Ларминов нанёс удар!");
    at(3);
    for (ControlId fight : {Attack, Status, LifeOpponent}) {
        EXPECT_FALSE(window.isVisible(fight)) << nameOf(fight);
    }
    EXPECT_EQ(window.caption(Status), "");
    EXPECT_EQ(game.HealthOpponent(), "0");
    EXPECT_EQ(game.NameOpponent(), "");
}

// Life and the ring after scenes shown one after another from a fresh game (life 60): every
// showing applies its change again, without bounds, but the second bottle restores exactly 60
// and the roast chicken heals up to 60 and never lowers.
TEST(LifeAndRing, FollowTheScenesShown) {
    const struct {
        std::vector<int> scenes;
        const char* life;
        const char* ring;
    } cases[] = {
        {{11}, "82", "0"},           // +22
        {{11, 42, 42}, "60", "0"},   // -11 each time
        {{5, 5, 5, 5}, "-12", "0"},  // -18 each time
        {{84}, "77", "0"},           // +17 with its sound
        {{66}, "52", "0"},           // the wolf-beast wounds after setting up the fight
        {{11, 17}, "60", "0"},       // the second bottle
        {{5, 5, 5, 17}, "60", "0"},
        {{23}, "60", "1"},                        // the ring put on
        {{23, 101}, "58", "0"},                   // and lost, with 2 life
        {{5, 5, 90, 90, 90, 90, 47}, "18", "0"},  // the roast chicken, +6 from 12
        {{90, 90, 47}, "60", "0"},                // 54
        {{83, 5, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 11, 47}, "45", "0"},  // 39
        {{83, 90, 90, 90, 83, 90, 90, 47}, "60", "0"},                         // 55
        {{47}, "60", "0"},
        {{11, 47}, "82", "0"},
    };
    for (const auto& test : cases) {
        LoadedGame played;
        for (int scene : test.scenes) {
            played.at(scene);
        }
        EXPECT_EQ(played.game.Health(), test.life) << ::testing::PrintToString(test.scenes);
        EXPECT_EQ(played.game.Ring(), test.ring) << ::testing::PrintToString(test.scenes);
    }
}

TEST_F(ScenePresentation, SoundScenesPlayTheirFile) {
    for (int scene : {84, 53, 65, 82, 86, 87}) {
        at(scene);
    }
    std::vector<std::string> files;
    for (std::size_t i = 0; i < audio.played.size(); ++i) {
        files.push_back(played(i));
    }
    EXPECT_EQ(files, (std::vector<std::string>{"health.wav", "shock.wav", "techno.wav", "stone.wav",
                                               "voda.wav", "shelest.wav"}));
    EXPECT_EQ(game.Sound()->Flags, 1);
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

// Every scene is reached by clicks alone, as a player reaches it (the routes throw otherwise).
TEST(SceneRoutes, ReachEveryScene) {
    for (int scene = 1; scene <= story::kSceneCount; ++scene) {
        LoadedGame played;
        for (const RouteStep& step : SceneRoutes::story().to(scene)) {
            if (step.draw) {
                played.draws.push(*step.draw);
            }
            played.game.click(step.control);
        }
        EXPECT_TRUE(played.showing(scene)) << scene;
    }
}

constexpr Colour kDark = 0x008000;
constexpr Colour kBright = 0x00FF00;

using Hover = GameFixture;

TEST_F(Hover, OnlyTheChoiceUnderThePointerIsBrightUntilAnotherChoiceOrTheBackground) {
    game.pointerMovedOver(Start);
    EXPECT_EQ(window.textColour(Start), 0xFF0000u);
    game.pointerMovedOver(std::nullopt);
    EXPECT_EQ(window.textColour(Start), 0xFFFFFFu);

    at(52);
    at(39);
    const auto colours = [&] {
        std::vector<Colour> all;
        for (ControlId label : kChoiceLabels) {
            all.push_back(window.textColour(label));
        }
        return all;
    };
    game.pointerMovedOver(R2);
    EXPECT_EQ(colours(), (std::vector<Colour>{kDark, kBright, kDark, kDark, kDark}));
    game.pointerMovedOver(R3);
    // Controls without a move handler keep the highlight.
    for (ControlId quiet : {Info, Life, Status, Quit, Creator}) {
        game.pointerMovedOver(quiet);
    }
    EXPECT_EQ(colours(), (std::vector<Colour>{kDark, kDark, kBright, kDark, kDark}));
    game.pointerMovedOver(std::nullopt);
    EXPECT_EQ(colours(), (std::vector<Colour>(5, kDark)));
    game.pointerMovedOver(R1);
    game.click(R1);  // the next scene's caption appears still bright
    EXPECT_EQ(window.textColour(R1), kBright);
}

TEST_F(Hover, TheBannerCycleWalksTenColoursAndIgnoresOthersAndStoppedTimersDoNotTick) {
    game.tick(ColorChanger);
    EXPECT_EQ(window.textColour(WinGame), 0x80FF80u);
    game.tick(Death);
    EXPECT_EQ(game.Health(), "60");

    game.showScene(96);
    game.tick(Win);
    std::vector<Colour> seen;
    for (int i = 0; i < 10; ++i) {
        game.tick(ColorChanger);
        seen.push_back(window.textColour(WinGame));
    }
    EXPECT_EQ(seen, (std::vector<Colour>{0xFF0000, 0xFFC0C0, 0xFF8000, 0xFFFF00, 0x00FF00, 0x00FFFF,
                                         0x0000FF, 0xFF00FF, 0x008080, 0x80FF80}));
    window.setTextColour(WinGame, 0x123456);
    game.tick(ColorChanger);
    EXPECT_EQ(window.textColour(WinGame), 0x123456u);
}

}  // namespace
}  // namespace tovik::testing
