#include <gtest/gtest.h>

#include "engine/random_source.h"
#include "json_reader.h"
#include "tovik_story/play_session.h"
#include "tovik_story/state_json.h"

namespace tovik::testing {
namespace {

using tools::appendJsonString;

std::string jsonString(std::string_view text) {
    std::string out;
    appendJsonString(out, text);
    return out;
}

TEST(JsonText, EscapesOnlyWhatJsonDemands) {
    EXPECT_EQ(jsonString("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(jsonString(std::string("\n\t\x1F\0", 4)), R"("\n\t\u001f\u0000")");
    // The story's own texts pass through untouched, blanks, apostrophes and slashes included.
    EXPECT_EQ(jsonString("СКЕЛЕТ  ''a/b''"), "\"СКЕЛЕТ  ''a/b''\"");
    EXPECT_EQ(jsonString("«Товик» \xF0\x9F\x92\x80"), "\"«Товик» \xF0\x9F\x92\x80\"");
}

TEST(JsonText, BytesThatAreNotUtf8BecomeTheReplacementCharacter) {
    const std::string_view replacement = "\xEF\xBF\xBD";
    const std::string_view bad[] = {
        "\xFF",              // never a UTF-8 byte
        "\x80",              // a continuation byte alone
        "\xD0",              // the first half of a Cyrillic letter alone
        "\xC0\xAF",          // an overlong '/'
        "\xED\xA0\x80",      // a surrogate
        "\xF4\x90\x80\x80",  // above U+10FFFF
    };
    for (std::string_view text : bad) {
        const Json read = Json::parse(jsonString(std::string(text) + "x"));
        EXPECT_EQ(read.string.substr(0, 3), replacement) << jsonString(text);
        EXPECT_EQ(read.string.back(), 'x') << "the text after a bad byte is kept";
    }
}

TEST(JsonText, EveryEscapedTextReadsBackAsItWas) {
    std::string all;
    for (int c = 1; c < 0x80; ++c) {
        all += static_cast<char>(c);
    }
    all += "Вы точно хотите выйти?";
    EXPECT_EQ(Json::parse(jsonString(all)).string, all);
}

TEST(JsonText, ColoursAreUpperCaseHexWithAllSixDigits) {
    EXPECT_EQ(tools::colourText(0x000000), "#000000");
    EXPECT_EQ(tools::colourText(0x00FF00), "#00FF00");
    EXPECT_EQ(tools::colourText(0xabcdef), "#ABCDEF");
}

TEST(JsonText, AnErrorLineHoldsOnlyTheReason) {
    EXPECT_EQ(tools::errorLine("no control named 'R\"6'"),
              R"({"error": "no control named 'R\"6'"})");
}

TEST(StateLine, HasEveryMemberInAFixedOrder) {
    SeededRandom random(1);
    tools::PlaySession session(random, "/opt/tovik");
    const Json state = Json::parse(session.stateLine());

    EXPECT_EQ(state.keys(), (std::vector<std::string>{"scene", "Health", "HealthOpponent",
                                                      "NameOpponent", "Roll", "Ring", "controls",
                                                      "timers", "window", "question", "sound"}));
    EXPECT_EQ(state["controls"].keys(),
              (std::vector<std::string>{"NameGame2", "Start",        "Creator", "Info",    "R1",
                                        "R2",        "R3",           "R4",      "R5",      "Status",
                                        "Life",      "LifeOpponent", "EndGame", "WinGame", "Attack",
                                        "NameGame1", "TovikImage",   "Quit",    "Item1",   "Item2",
                                        "Item3",     "Item4"}));
    const std::vector<std::string> label{"visible", "caption", "color"};
    EXPECT_EQ(state["controls"]["R1"].keys(), label);
    EXPECT_EQ(state["controls"]["WinGame"].keys(), label);
    EXPECT_EQ(state["controls"]["Attack"].keys(), (std::vector<std::string>{"visible", "caption"}));
    EXPECT_EQ(state["controls"]["Item4"].keys(), std::vector<std::string>{"visible"});
    EXPECT_EQ(state["timers"].keys(),
              (std::vector<std::string>{"HealthTimer", "Death", "Win", "ColorChanger"}));
    EXPECT_EQ(state["sound"].keys(), (std::vector<std::string>{"Filename", "Flags", "plays"}));
}

TEST(StateLine, ShowsTheLoadedWindowBeforeAnyCommand) {
    SeededRandom random(1);
    tools::PlaySession session(random, "/opt/tovik");
    const std::string line = session.stateLine();
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const Json state = Json::parse(line);

    EXPECT_TRUE(state["scene"].isNull()) << "the title screen is no scene";
    EXPECT_EQ(state["Health"].string, "60");
    EXPECT_EQ(state["Ring"].string, "0");
    EXPECT_EQ(state["HealthOpponent"].string, "");
    EXPECT_EQ(state["NameOpponent"].string, "");
    EXPECT_EQ(state["Roll"].string, "");
    EXPECT_TRUE(state["controls"]["Start"]["visible"].boolean);
    EXPECT_EQ(state["controls"]["Start"]["color"].string, "#FFFFFF");
    EXPECT_EQ(state["controls"]["WinGame"]["color"].string, "#80FF80");
    EXPECT_FALSE(state["controls"]["R1"]["visible"].boolean);
    EXPECT_TRUE(state["timers"]["HealthTimer"].boolean);
    EXPECT_FALSE(state["timers"]["Death"].boolean);
    EXPECT_EQ(state["window"].string, "shown");
    EXPECT_TRUE(state["question"].isNull());
    EXPECT_EQ(state["sound"]["Filename"].string, "");
    EXPECT_EQ(state["sound"]["Flags"].number, 0);
    EXPECT_EQ(state["sound"]["plays"].number, 0);
}

}  // namespace
}  // namespace tovik::testing
