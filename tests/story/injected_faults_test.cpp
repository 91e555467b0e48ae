#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "findings.h"
#include "story_check/story_commands.h"

namespace tovik::testing {
namespace {

using story::Key;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using tools::Check;

// Each case breaks one thing in a copy of the game's story, the way an author could, and
// expects the checker to name it.
class AStoryWithOneFault : public ::testing::Test {
  protected:
    tools::StoryTables story = tools::loadStoryTables();

    tools::SceneRecord& scene(int number) { return *story.scene(number); }
    std::string& caption(Key key) { return story.captions.at(story::numberOf(key)); }

    std::vector<std::string> findings(Check check) const { return messagesOf(story, check); }

    static void removeFromList(std::vector<story::ChoiceTest>& tests, Key key) {
        for (story::ChoiceTest& test : tests) {
            std::erase(test.captions, key);
        }
    }
};

TEST_F(AStoryWithOneFault, FailsTheCheckWithItsFindingAndTheSummary) {
    scene(37).passage.clear();
    std::ostringstream out;
    EXPECT_EQ(tools::checkStoryTo(story, out), 1);
    EXPECT_THAT(out.str(), HasSubstr("Sc37: empty passage\n"));
    EXPECT_THAT(out.str(), HasSubstr("story check: 1 finding (no empty text 1)\n"));
}

TEST_F(AStoryWithOneFault, ASceneWhoseOnlyWayInIsRemovedIsUnreachable) {
    // The board in Sc24 is the only way to Sc37.
    std::erase(scene(24).choices, Key::K021);
    EXPECT_THAT(findings(Check::Reachability),
                Contains("Sc37: unreachable from the opening choice"));
}

TEST_F(AStoryWithOneFault, AnItemNoSceneHandsOutOpensNothing) {
    // The steel door opens only to the trident, and only Sc88 hands the trident out.
    scene(88).effects.items.clear();
    EXPECT_THAT(findings(Check::Reachability),
                Contains("Sc2: unreachable from the opening choice"));
}

TEST_F(AStoryWithOneFault, AnOpponentsNameIsMatchedWithItsTrailingBlanks) {
    scene(77).fight->opponent = "ПРИЗРАК ";
    EXPECT_THAT(findings(Check::WayOn),
                Contains("Sc77: the fight against \"ПРИЗРАК \" leads nowhere: no victory has "
                         "that exact name"));
    EXPECT_THAT(findings(Check::Reachability),
                Contains("Sc3: unreachable from the opening choice"));
}

TEST_F(AStoryWithOneFault, WithoutTheLastStepThereIsNoWayOut) {
    scene(95).choices.clear();
    EXPECT_THAT(findings(Check::WayOn),
                Contains("Sc95: no choice, no fight and no ending: the hero is stuck"));
    EXPECT_THAT(findings(Check::Victory),
                Contains(HasSubstr("Sc96: the victory cannot be reached")));
}

TEST_F(AStoryWithOneFault, AChoiceLeadingBackToItsOwnSceneTrapsTheHero) {
    // Sc3 offers K004 alone; pointed back at Sc3 it still is a way on, but to nowhere.
    for (story::ChoiceTest& test : story.labels[0]) {
        if (std::ranges::find(test.captions, Key::K004) != test.captions.end()) {
            test.target = 3;
        }
    }
    EXPECT_THAT(findings(Check::WayOn), IsEmpty());
    EXPECT_THAT(findings(Check::NoTrap),
                Contains("Sc3: no death and no victory can be reached from here: the hero is "
                         "trapped"));
}

TEST_F(AStoryWithOneFault, ATestLeadingToNoSceneIsNamed) {
    story.labels[1][0].target = 107;
    EXPECT_THAT(findings(Check::Reachability),
                Contains("R2 test 1 leads to Sc107, which does not exist"));
}

TEST_F(AStoryWithOneFault, ACaptionMissingFromItsLabelsListIsNamed) {
    removeFromList(story.labels[1], Key::K087);
    EXPECT_THAT(findings(Check::LabelLists),
                Contains("Sc20: R2 shows K087 \"Перешагнуть через пропасть и идти дальше\", "
                         "which is not in R2's list: the click does nothing"));
}

TEST_F(AStoryWithOneFault, CaptionsSwappedBetweenLabelsBreakTheListsBothWays) {
    std::swap(scene(20).choices[0], scene(20).choices[1]);
    const auto lists = findings(Check::LabelLists);
    EXPECT_THAT(lists, Contains(HasSubstr("Sc20: R1 shows K087")));
    EXPECT_THAT(lists, Contains(HasSubstr("Sc20: R2 shows K032")));
    EXPECT_THAT(lists, Contains(HasSubstr("R1's list has K032 \"Спуститься в пропасть\", but "
                                          "no scene shows it on R1")));
}

TEST_F(AStoryWithOneFault, TwoKeysWithOneTextAreNamed) {
    caption(Key::K020) = caption(Key::K021);
    EXPECT_THAT(findings(Check::OneTextPerKey),
                Contains("K020 and K021 have the same text \"Отодвинуть доску и пролезть в "
                         "щель\""));
}

TEST_F(AStoryWithOneFault, TheTwoWordsSaidTwiceMustStayOneText) {
    caption(Key::K124) = "«Даркулинн»";
    EXPECT_THAT(findings(Check::OneTextPerKey),
                Contains(HasSubstr("K076 and K124 must be one and the same text")));
}

TEST_F(AStoryWithOneFault, ALaterTestWithAnEarlierTestsTextCanNeverBeChosen) {
    story.labels[0].push_back({.captions = {Key::K004}, .target = 5});
    EXPECT_THAT(findings(Check::OneTextPerKey),
                Contains("R1's list has K004 twice: the later one can never be chosen"));
}

TEST_F(AStoryWithOneFault, TwoAlikePassagesAreNamed) {
    scene(22).passage = scene(21).passage + "  ";
    EXPECT_THAT(findings(Check::DistinctPassages), Contains("Sc22: the same passage as Sc21"));
}

TEST_F(AStoryWithOneFault, APassageFiveTimesAsLongDoesNotFitInfo) {
    const std::string passage = scene(42).passage;
    scene(42).passage = passage + " " + passage + " " + passage + " " + passage + " " + passage;
    const auto fit = findings(Check::Fit);
    ASSERT_EQ(fit.size(), 1u);
    EXPECT_THAT(fit[0], ::testing::MatchesRegex(
                            "Sc42: passage on Info is [0-9]+ px too tall for its box \\([0-9]+ of "
                            "311 px\\): its end is cut off"));
}

TEST_F(AStoryWithOneFault, ACaptionPastTheWindowsEdgeIsNamed) {
    caption(Key::K057) += ", и ещё раз: " + caption(Key::K057);
    EXPECT_THAT(findings(Check::Fit),
                Contains(::testing::MatchesRegex(
                    "K057 \".*\": the caption ends at [0-9]+ px, [0-9]+ px past the window's "
                    "right edge at 1024 px")));
}

TEST_F(AStoryWithOneFault, ALongerDefeatBannerIsMeasuredInItsBox) {
    scene(98).effects.defeatBanner =
        "Игра окончена! Ларминов проиграл, потому что заблудился и не нашёл "
        "выхода из подземелья.";
    EXPECT_THAT(findings(Check::Fit), Contains(HasSubstr("Sc98: defeat banner is ")));
}

TEST_F(AStoryWithOneFault, ALifeChangeMustBeStatedInItsPassage) {
    std::string& passage = scene(5).passage;
    passage.replace(passage.find("18"), 2, "восемнадцать");
    EXPECT_THAT(findings(Check::LifeNumbers),
                Contains("Sc5: changes life by -18, but the passage never says 18"));
}

TEST_F(AStoryWithOneFault, ANumberInsideALongerOneIsNotTheLifeChange) {
    std::string& passage = scene(5).passage;
    passage.replace(passage.find("18"), 2, "180");
    EXPECT_THAT(findings(Check::LifeNumbers),
                Contains("Sc5: changes life by -18, but the passage never says 18"));
}

TEST_F(AStoryWithOneFault, IsFoundAgainstACopyThatIsCleanUntilBroken) {
    EXPECT_THAT(tools::checkStory(story), IsEmpty());
}

}  // namespace
}  // namespace tovik::testing
