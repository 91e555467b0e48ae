#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>
#include <sstream>

#include "findings.h"
#include "look/game_font.h"
#include "story_check/story_commands.h"

namespace tovik::testing {
namespace {

using tools::Check;

const std::vector<tools::Finding>& realFindings() {
    static const std::vector<tools::Finding> findings = tools::checkStory(tools::loadStoryTables());
    return findings;
}

// One case per rule, so that a broken rule names itself: every scene reachable, the way out
// reachable, a way on from every scene, no loop without an ending, captions and label lists
// agreeing both ways, one text per key, distinct non-empty passages, every text fitting its
// control, and every life change stated in its passage.
class TheGamesStory : public ::testing::TestWithParam<Check> {};

TEST_P(TheGamesStory, KeepsTheRule) {
    EXPECT_THAT(messagesOf(realFindings(), GetParam()), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(EveryRule, TheGamesStory, ::testing::ValuesIn(tools::kAllChecks),
                         [](const ::testing::TestParamInfo<Check>& info) {
                             std::string name(tools::checkName(info.param));
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST(TheStoryCheck, PassesTheGamesStoryAndSaysSo) {
    std::ostringstream out;
    EXPECT_EQ(tools::checkStoryTo(tools::loadStoryTables(), out), 0);
    EXPECT_THAT(out.str(), ::testing::HasSubstr("story check: all 10 checks hold (106 scenes, "
                                                "125 keys)\n"));
    EXPECT_THAT(out.str(), ::testing::HasSubstr("tallest passage: Sc"));
}

TEST(TheStoryCheck, MeasuresWithTheBundledFontWithinTheLimits) {
    // A system font standing in for the bundled one would measure other widths.
    EXPECT_TRUE(QFile::exists(":/fonts/LiberationSans-Regular.ttf"));
    EXPECT_EQ(QFontInfo(gameFont(13)).family(), "Liberation Sans");

    const tools::Measurements measured = tools::measureStory(tools::loadStoryTables());
    EXPECT_GT(measured.tallestPassageHeight, 100);  // several lines, not an unloaded font
    EXPECT_LE(measured.tallestPassageHeight, 311);
    EXPECT_GT(measured.widestCaptionRightEdge, 272 + 200);
    EXPECT_LE(measured.widestCaptionRightEdge, 1024);
}

}  // namespace
}  // namespace tovik::testing
