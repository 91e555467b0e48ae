#include <gtest/gtest.h>

#include "engine/random_source.h"
#include "json_reader.h"
#include "tovik_story/play_session.h"
#include "tovik_story/state_json.h"

namespace tovik::testing {
namespace {

std::string jsonString(std::string_view text) {
    std::string out;
    tools::appendJsonString(out, text);
    return out;
}

TEST(JsonText, EscapesOnlyWhatJsonDemandsAndReadsBackAsItWas) {
    EXPECT_EQ(jsonString("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(jsonString(std::string("\n\t\x1F\0", 4)), R"("\n\t\u001f\u0000")");
    // The story's own texts pass through untouched, blanks, apostrophes and slashes included.
    EXPECT_EQ(jsonString("СКЕЛЕТ  ''a/b''"), "\"СКЕЛЕТ  ''a/b''\"");
    EXPECT_EQ(jsonString("«Товик» \xF0\x9F\x92\x80"), "\"«Товик» \xF0\x9F\x92\x80\"");
    std::string all;
    for (int c = 1; c < 0x80; ++c) {
        all += static_cast<char>(c);
    }
    all += "Вы точно хотите выйти?";
    EXPECT_EQ(Json::parse(jsonString(all)).string, all);
}

TEST(JsonText, BytesThatAreNotUtf8BecomeTheReplacementCharacter) {
    // Never a UTF-8 byte, a continuation byte alone, half a Cyrillic letter, an overlong '/',
    // a surrogate, above U+10FFFF.
    for (std::string_view text :
         {"\xFF", "\x80", "\xD0", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
        const Json read = Json::parse(jsonString(std::string(text) + "x"));
        EXPECT_EQ(read.string.substr(0, 3), "\xEF\xBF\xBD") << jsonString(text);
        EXPECT_EQ(read.string.back(), 'x') << "the text after a bad byte is kept";
    }
}

TEST(StateLine, HasEveryMemberInAFixedOrder) {
    SeededRandom random(1);
    tools::PlaySession session(random, "/opt/tovik");
    const std::string line = session.stateLine();
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const Json state = Json::parse(line);
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

}  // namespace
}  // namespace tovik::testing
