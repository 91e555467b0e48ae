#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <regex>
#include <sstream>

#include "story_check/dot_map.h"
#include "story_check/story_commands.h"

namespace tovik::testing {
namespace {

using ::testing::HasSubstr;

std::string realMap() {
    std::ostringstream out;
    tools::writeDotMap(tools::loadStoryTables(), out);
    return out.str();
}

// The line that declares a node, e.g. `  Sc96 [label="Sc96\nvictory", ...];`.
std::string nodeLine(const std::string& dot, const std::string& node) {
    std::smatch line;
    const std::regex declaration("\n  " + node + " \\[[^\n]*");
    return std::regex_search(dot, line, declaration) ? line.str() : "";
}

TEST(TheDungeonMap, NamesEveryOneOfTheScenesOnce) {
    const std::string dot = realMap();
    EXPECT_TRUE(dot.starts_with("digraph dungeon {\n"));
    EXPECT_TRUE(dot.ends_with("}\n"));
    for (int number = 1; number <= 106; ++number) {
        const std::string name = "Sc" + std::to_string(number);
        EXPECT_THAT(nodeLine(dot, name), HasSubstr("label=\"" + name)) << name;
    }
    EXPECT_EQ(nodeLine(dot, "Sc107"), "");
    EXPECT_THAT(dot, ::testing::Not(HasSubstr("unreachable")));
}

TEST(TheDungeonMap, MarksTheWayOutDeathsAndFights) {
    const std::string dot = realMap();
    EXPECT_THAT(nodeLine(dot, "Sc96"), HasSubstr("victory\", shape=doublecircle, color=green"));
    EXPECT_THAT(nodeLine(dot, "Sc34"), HasSubstr("death\", shape=octagon, color=red"));
    EXPECT_THAT(nodeLine(dot, "Sc98"), HasSubstr("death (lost)\", shape=octagon"));
    EXPECT_THAT(nodeLine(dot, "Sc69"),
                HasSubstr("fight: \\\"СКЕЛЕТ  \\\" (65)\", shape=box, color=orange"));
    EXPECT_THAT(nodeLine(dot, "start"), HasSubstr("shape=house"));
}

TEST(TheDungeonMap, LabelsEveryWayOnWithWhatLeadsThere) {
    const std::string dot = realMap();
    EXPECT_THAT(dot, HasSubstr("  start -> Sc1 [label=\"R1: "));
    EXPECT_THAT(dot, HasSubstr("  Sc20 -> Sc23 [label=\"R2: Перешагнуть через пропасть и\\nидти "
                               "дальше\"];"));
    EXPECT_THAT(dot, HasSubstr("  Sc52 -> Sc7 [label=\"beats \\\"ДВОЙНИК\\\"\""));
    EXPECT_THAT(dot, HasSubstr("  Sc4 -> Sc32 [label=\"uses the necklace\""));
    EXPECT_THAT(dot, HasSubstr("  Sc39 -> Sc6 [label=\"uses the scroll\""));
    // Both targets of the random choice and of the box on the throne.
    EXPECT_THAT(dot, HasSubstr("  Sc43 -> Sc42 [label=\"R1: "));
    EXPECT_THAT(dot, HasSubstr("  Sc43 -> Sc41 [label=\"R1: "));
    EXPECT_THAT(dot, HasSubstr("(fur ball held)"));
    EXPECT_THAT(dot, HasSubstr("  Sc27 -> Sc34 [label=\"R2: "));
}

TEST(TheDungeonMap, ShowsAnUnreachableSceneGreyed) {
    tools::StoryTables story = tools::loadStoryTables();
    std::erase(story.scene(24)->choices, story::Key::K021);
    std::ostringstream out;
    tools::writeDotMap(story, out);
    EXPECT_THAT(nodeLine(out.str(), "Sc37"), HasSubstr("unreachable\""));
    EXPECT_THAT(nodeLine(out.str(), "Sc37"), HasSubstr("color=gray"));
}

// The commands of tovik-story, as its main calls them.
int run(int (*command)(int, char**), std::vector<std::string> words) {
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    return command(static_cast<int>(words.size()), argv.data());
}

TEST(TheStoryCommands, WriteTheMapToAFileAndRefuseExtraArguments) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string path = QDir(folder.path()).filePath("dungeon.dot").toStdString();
    EXPECT_EQ(run(tools::runMap, {"map", path}), 0);
    std::ifstream file(path);
    std::stringstream written;
    written << file.rdbuf();
    EXPECT_EQ(written.str(), realMap());

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run(tools::runMap, {"map", path, "again.dot"}), 2);
    EXPECT_EQ(run(tools::runCheck, {"check", "--all"}), 2);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(errors, HasSubstr("tovik-story map: unexpected argument \"again.dot\""));
    EXPECT_THAT(errors, HasSubstr("tovik-story check: unexpected argument \"--all\""));

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run(tools::runMap, {"map", folder.path().toStdString() + "/no/such/folder.dot"}), 1);
    EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("cannot write"));
}

TEST(TheStoryCommands, CheckTheGamesStoryWithoutFindings) {
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(run(tools::runCheck, {"check"}), 0);
    EXPECT_THAT(::testing::internal::GetCapturedStdout(), HasSubstr("all 10 checks hold"));
}

}  // namespace
}  // namespace tovik::testing
