#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QTemporaryDir>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

#include "look/game_font.h"
#include "story_check/dot_map.h"
#include "story_check/story_checks.h"
#include "story_check/story_commands.h"

namespace tovik::testing {
namespace {

using story::Key;
using ::testing::HasSubstr;
using tools::Check;
using tools::StoryTables;

std::vector<std::string> messagesOf(const std::vector<tools::Finding>& findings, Check check) {
    std::vector<std::string> messages;
    for (const tools::Finding& finding : findings) {
        if (finding.check == check) {
            messages.push_back(finding.message);
        }
    }
    return messages;
}

TEST(TheStoryCheck, PassesTheGamesStoryMeasuredWithTheBundledFont) {
    std::ostringstream out;
    EXPECT_EQ(tools::checkStoryTo(tools::loadStoryTables(), out), 0);
    EXPECT_THAT(out.str(), HasSubstr("story check: all 10 checks hold (106 scenes, 125 keys)\n"));
    EXPECT_THAT(out.str(), HasSubstr("tallest passage: Sc"));

    // A system font standing in for the bundled one would measure other widths.
    EXPECT_TRUE(QFile::exists(":/fonts/LiberationSans-Regular.ttf"));
    EXPECT_EQ(QFontInfo(gameFont(13)).family(), "Liberation Sans");
    const tools::Measurements measured = tools::measureStory(tools::loadStoryTables());
    EXPECT_GT(measured.tallestPassageHeight, 100);  // several lines, not an unloaded font
    EXPECT_LE(measured.tallestPassageHeight, 311);
    EXPECT_GT(measured.widestCaptionRightEdge, 272 + 200);
    EXPECT_LE(measured.widestCaptionRightEdge, 1024);

    StoryTables broken = tools::loadStoryTables();
    broken.scene(37)->passage.clear();
    out.str("");
    EXPECT_EQ(tools::checkStoryTo(broken, out), 1);
    EXPECT_THAT(out.str(), HasSubstr("Sc37: empty passage\n"));
    EXPECT_THAT(out.str(), HasSubstr("story check: 1 finding (no empty text 1)\n"));
}

// A finding of `check` that holds `parts` in this order; no parts: the check finds nothing.
struct Expected {
    Check check;
    std::vector<std::string> parts;
};

// Each breaks one thing in a copy of the game's story, the way an author could.
struct Fault {
    const char* name;
    std::function<void(StoryTables&)> plant;
    std::vector<Expected> expected;
};

std::string& caption(StoryTables& story, Key key) {
    return story.captions.at(story::numberOf(key));
}

void replaceIn(std::string& text, std::string_view from, std::string_view to) {
    text.replace(text.find(from), from.size(), to);
}

const Fault kFaults[] = {
    {"the only way in removed",  // the board in Sc24 is the only way to Sc37
     [](StoryTables& s) { std::erase(s.scene(24)->choices, Key::K021); },
     {{Check::Reachability, {"Sc37: unreachable from the opening choice"}}}},
    {"an item no scene hands out",  // only Sc88 hands out the trident that opens Sc2
     [](StoryTables& s) { s.scene(88)->effects.items.clear(); },
     {{Check::Reachability, {"Sc2: unreachable from the opening choice"}}}},
    {"an opponent's trailing blank",
     [](StoryTables& s) { s.scene(77)->fight->opponent = "ПРИЗРАК "; },
     {{Check::WayOn,
       {"Sc77: the fight against \"ПРИЗРАК \" leads nowhere: no victory has that exact name"}},
      {Check::Reachability, {"Sc3: unreachable from the opening choice"}}}},
    {"no last step",
     [](StoryTables& s) { s.scene(95)->choices.clear(); },
     {{Check::WayOn, {"Sc95: no choice, no fight and no ending: the hero is stuck"}},
      {Check::Victory, {"Sc96: the victory cannot be reached"}}}},
    {"a choice back to its own scene",  // Sc3 offers K004 alone: a way on, but to nowhere
     [](StoryTables& s) {
         for (story::ChoiceTest& test : s.labels[0]) {
             if (std::ranges::find(test.captions, Key::K004) != test.captions.end()) {
                 test.target = 3;
             }
         }
     },
     {{Check::WayOn, {}},
      {Check::NoTrap,
       {"Sc3: no death and no victory can be reached from here: the hero is trapped"}}}},
    {"a test to no scene",
     [](StoryTables& s) { s.labels[1][0].target = 107; },
     {{Check::Reachability, {"R2 test 1 leads to Sc107, which does not exist"}}}},
    {"a caption missing from its list",
     [](StoryTables& s) {
         for (story::ChoiceTest& test : s.labels[1]) {
             std::erase(test.captions, Key::K087);
         }
     },
     {{Check::LabelLists,
       {"Sc20: R2 shows K087 \"Перешагнуть через пропасть и идти дальше\", "
        "which is not in R2's list: the click does nothing"}}}},
    {"captions swapped between labels",
     [](StoryTables& s) { std::swap(s.scene(20)->choices[0], s.scene(20)->choices[1]); },
     {{Check::LabelLists, {"Sc20: R1 shows K087"}},
      {Check::LabelLists, {"Sc20: R2 shows K032"}},
      {Check::LabelLists,
       {"R1's list has K032 \"Спуститься в пропасть\", but no scene shows it on R1"}}}},
    {"two keys with one text",
     [](StoryTables& s) { caption(s, Key::K020) = caption(s, Key::K021); },
     {{Check::OneTextPerKey,
       {"K020 and K021 have the same text \"Отодвинуть доску и пролезть в щель\""}}}},
    {"the word said twice in two texts",
     [](StoryTables& s) { caption(s, Key::K124) = "«Даркулинн»"; },
     {{Check::OneTextPerKey, {"K076 and K124 must be one and the same text"}}}},
    {"a later test with an earlier test's text",
     [](StoryTables& s) { s.labels[0].push_back({.captions = {Key::K004}, .target = 5}); },
     {{Check::OneTextPerKey, {"R1's list has K004 twice: the later one can never be chosen"}}}},
    {"two alike passages",
     [](StoryTables& s) { s.scene(22)->passage = s.scene(21)->passage + "  "; },
     {{Check::DistinctPassages, {"Sc22: the same passage as Sc21"}}}},
    {"a passage five times as long",
     [](StoryTables& s) {
         const std::string passage = s.scene(42)->passage;
         for (int i = 0; i < 4; ++i) {
             s.scene(42)->passage += " " + passage;
         }
     },
     {{Check::Fit,
       {"Sc42: passage on Info is ", " px too tall for its box (",
        " of 311 px): its end is cut "
        "off"}}}},
    {"a caption past the window's edge",
     [](StoryTables& s) { caption(s, Key::K057) += ", и ещё раз: " + caption(s, Key::K057); },
     {{Check::Fit,
       {"K057 \"", "\": the caption ends at ", " px past the window's right edge at 1024 px"}}}},
    {"a longer defeat banner",
     [](StoryTables& s) {
         s.scene(98)->effects.defeatBanner =
             "Игра окончена! Ларминов проиграл, потому что заблудился и не нашёл выхода из "
             "подземелья.";
     },
     {{Check::Fit, {"Sc98: defeat banner is "}}}},
    {"a life change not stated",
     [](StoryTables& s) { replaceIn(s.scene(5)->passage, "18", "восемнадцать"); },
     {{Check::LifeNumbers, {"Sc5: changes life by -18, but the passage never says 18"}}}},
    {"a life change inside a longer number",
     [](StoryTables& s) { replaceIn(s.scene(5)->passage, "18", "180"); },
     {{Check::LifeNumbers, {"Sc5: changes life by -18, but the passage never says 18"}}}},
};

bool holdsInOrder(const std::string& message, const std::vector<std::string>& parts) {
    std::size_t at = 0;
    for (const std::string& part : parts) {
        at = message.find(part, at);
        if (at == std::string::npos) {
            return false;
        }
        at += part.size();
    }
    return true;
}

TEST(AStoryWithOneFault, IsNamedByTheCheckItBreaks) {
    for (const Fault& fault : kFaults) {
        StoryTables story = tools::loadStoryTables();
        fault.plant(story);
        const std::vector<tools::Finding> findings = tools::checkStory(story);
        for (const Expected& expected : fault.expected) {
            const std::vector<std::string> messages = messagesOf(findings, expected.check);
            if (expected.parts.empty()) {
                EXPECT_THAT(messages, ::testing::IsEmpty()) << fault.name;
            } else {
                EXPECT_TRUE(std::ranges::any_of(messages,
                                                [&](const std::string& message) {
                                                    return holdsInOrder(message, expected.parts);
                                                }))
                    << fault.name << ": " << ::testing::PrintToString(messages);
            }
        }
    }
}

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
