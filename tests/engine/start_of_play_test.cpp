#include "form/control_layout.h"
#include "story/passages.h"
#include "support/game_fixture.h"

namespace tovik::testing {
namespace {

using enum ControlId;

std::vector<ControlId> visibleControls(const WindowModel& window) {
    std::vector<ControlId> visible;
    for (ControlId id : allControls()) {
        if (kindOf(id) != ControlKind::Timer && window.isVisible(id)) {
            visible.push_back(id);
        }
    }
    return visible;
}

using StartOfPlay = GameFixture;

TEST_F(StartOfPlay, LoadingShowsTheTitleScreenWithFullLife) {
    EXPECT_EQ(game.Health(), "60");
    EXPECT_EQ(game.Ring(), "0");
    EXPECT_EQ(game.HealthOpponent(), "");
    EXPECT_EQ(game.NameOpponent(), "");
    EXPECT_NE(game.Sound(), nullptr);
    EXPECT_EQ(window.caption(Life), "ЖИЗНЬ: 60");
    EXPECT_EQ(visibleControls(window), (std::vector<ControlId>{NameGame2, Start, Creator, Status,
                                                               Life, NameGame1, TovikImage, Quit}));
    EXPECT_TRUE(window.isTimerEnabled(HealthTimer));
    EXPECT_FALSE(window.isTimerEnabled(Death));
    EXPECT_FALSE(window.isTimerEnabled(Win));
    EXPECT_FALSE(window.isTimerEnabled(ColorChanger));
    EXPECT_TRUE(audio.played.empty());
}

TEST_F(StartOfPlay, StartHidesTheTitleChimesAndShowsTheOpeningChoice) {
    game.click(Start);
    EXPECT_EQ(visibleControls(window), (std::vector<ControlId>{Info, R1, Status, Life, Quit}));
    EXPECT_EQ(window.caption(Info), story::kOpeningPassage);
    EXPECT_EQ(window.caption(R1), story::captionOf(story::Key::K070));
    ASSERT_EQ(audio.played.size(), 1u);
    EXPECT_EQ(game.Sound()->Filename, "/opt/tovik/TovikSound/dindin.wav");
    EXPECT_EQ(game.Sound()->Flags, 1);
    EXPECT_EQ(game.Health(), "60");
}

TEST_F(StartOfPlay, TheOpeningChoiceLeadsToTheFirstFork) {
    game.click(Start);
    game.click(R1);
    EXPECT_EQ(window.caption(Info), story::passageOf(1));
    EXPECT_TRUE(window.isVisible(R3));
}

TEST_F(StartOfPlay, OneSoundPlayerServesTheWholeWindowAcrossGames) {
    const sound::WavePlayer* first = game.Sound();
    game.click(Start);
    game.click(R1);
    at(34);  // a death
    game.tick(Death);
    game.tick(HealthTimer);
    game.click(EndGame);
    game.click(Start);
    EXPECT_EQ(game.Sound(), first);
    EXPECT_EQ(audio.played.size(), 2u);  // both chimes through the same player
}

TEST_F(StartOfPlay, SoundPathsUseTheFolderBesideTheExecutable) {
    EXPECT_EQ(game.soundPath("ydar.wav"), "/opt/tovik/TovikSound/ydar.wav");
    // The separator is added even when the directory already ends with one.
    WindowModel other;
    Game rooted(other, audio, draws, answer, "/");
    EXPECT_EQ(rooted.soundPath("x.wav"), "//TovikSound/x.wav");
}

}  // namespace
}  // namespace tovik::testing
