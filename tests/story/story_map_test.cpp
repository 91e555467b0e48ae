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

std::string mapOf(const tools::StoryTables& story) {
    std::ostringstream out;
    tools::writeDotMap(story, out);
    return out.str();
}

// The line that declares a node, e.g. `  Sc96 [label="Sc96\nvictory", ...];`.
std::string nodeLine(const std::string& dot, const std::string& node) {
    std::smatch line;
    const std::regex declaration("\n  " + node + " \\[[^\n]*");
    return std::regex_search(dot, line, declaration) ? line.str() : "";
}

TEST(TheDungeonMap, NamesEverySceneOnceAndLabelsEveryWayOn) {
    const std::string dot = mapOf(tools::loadStoryTables());
    EXPECT_TRUE(dot.starts_with("digraph dungeon {\n"));
    EXPECT_TRUE(dot.ends_with("}\n"));
    for (int number = 1; number <= 106; ++number) {
        const std::string name = "Sc" + std::to_string(number);
        EXPECT_THAT(nodeLine(dot, name), HasSubstr("label=\"" + name)) << name;
    }
    EXPECT_EQ(nodeLine(dot, "Sc107"), "");
    EXPECT_THAT(dot, ::testing::Not(HasSubstr("unreachable")));
    const std::pair<const char*, const char*> nodes[] = {
        {"Sc96", "victory\", shape=doublecircle, color=green"},
        {"Sc34", "death\", shape=octagon, color=red"},
        {"Sc98", "death (lost)\", shape=octagon"},
        {"Sc69", "fight: \\\"СКЕЛЕТ  \\\" (65)\", shape=box, color=orange"},
        {"start", "shape=house"},
    };
    for (const auto& [node, shown] : nodes) {
        EXPECT_THAT(nodeLine(dot, node), HasSubstr(shown));
    }
    // Both targets of the chance choice and of the box on the throne.
    for (const char* edge :
         {"  start -> Sc1 [label=\"R1: ",
          "  Sc20 -> Sc23 [label=\"R2: Перешагнуть через пропасть и\\nидти "
          "дальше\"];",
          "  Sc52 -> Sc7 [label=\"beats \\\"ДВОЙНИК\\\"\"",
          "  Sc4 -> Sc32 [label=\"uses the necklace\"", "  Sc39 -> Sc6 [label=\"uses the scroll\"",
          "  Sc43 -> Sc42 [label=\"R1: ", "  Sc43 -> Sc41 [label=\"R1: ", "(fur ball held)",
          "  Sc27 -> Sc34 [label=\"R2: "}) {
        EXPECT_THAT(dot, HasSubstr(edge));
    }

    tools::StoryTables story = tools::loadStoryTables();
    std::erase(story.scene(24)->choices, story::Key::K021);
    const std::string unreachable = nodeLine(mapOf(story), "Sc37");
    EXPECT_THAT(unreachable, HasSubstr("unreachable\""));
    EXPECT_THAT(unreachable, HasSubstr("color=gray, fontcolor=gray"));
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

TEST(TheStoryCommands, WriteTheMapCheckAndRefuseExtraArguments) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string path = QDir(folder.path()).filePath("dungeon.dot").toStdString();
    EXPECT_EQ(run(tools::runMap, {"map", path}), 0);
    std::stringstream written;
    written << std::ifstream(path).rdbuf();
    EXPECT_EQ(written.str(), mapOf(tools::loadStoryTables()));

    ::testing::internal::CaptureStdout();
    EXPECT_EQ(run(tools::runCheck, {"check"}), 0);
    EXPECT_THAT(::testing::internal::GetCapturedStdout(), HasSubstr("all 10 checks hold"));

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run(tools::runMap, {"map", path, "again.dot"}), 2);
    EXPECT_EQ(run(tools::runCheck, {"check", "--all"}), 2);
    EXPECT_EQ(run(tools::runMap, {"map", folder.path().toStdString() + "/no/such/folder.dot"}), 1);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(errors, HasSubstr("tovik-story map: unexpected argument \"again.dot\""));
    EXPECT_THAT(errors, HasSubstr("tovik-story check: unexpected argument \"--all\""));
    EXPECT_THAT(errors, HasSubstr("cannot write"));
}

}  // namespace
}  // namespace tovik::testing
