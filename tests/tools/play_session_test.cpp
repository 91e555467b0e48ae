#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "engine/exit_question.h"
#include "engine/game_record.h"
#include "engine/player_command.h"
#include "engine/random_source.h"
#include "json_reader.h"
#include "story/language.h"
#include "tovik_story/play_session.h"

namespace tovik::testing {
namespace {

// Every line a session wrote, each parsed as JSON.
std::vector<Json> linesOf(const std::string& written) {
    std::vector<Json> lines;
    std::istringstream in(written);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(Json::parse(line));
    }
    return lines;
}

// With this seed the hero beats the goblin of Sc64.
constexpr std::uint64_t kSeed = 20240501;

class Play : public ::testing::Test {
  protected:
    Json send(std::string_view line) {
        reply = session.apply(line);
        return Json::parse(reply);
    }
    Json state() const { return Json::parse(session.stateLine()); }
    static int sceneOf(const Json& state) {
        return state["scene"].isNull() ? -1 : static_cast<int>(state["scene"].number);
    }

    SeededRandom random{kSeed};
    tools::PlaySession session{random, "/opt/tovik"};
    std::string reply;
};

TEST_F(Play, AShortGameThroughTheProtocol) {
    // The title screen lights Start under the pointer and lets it go on the background.
    EXPECT_EQ(send("move Start")["controls"]["Start"]["color"].string, "#FF0000");
    EXPECT_EQ(send("move Form")["controls"]["Start"]["color"].string, "#FFFFFF");

    Json now = send("click Start");
    EXPECT_EQ(sceneOf(now), 0);
    EXPECT_FALSE(now["controls"]["Start"]["visible"].boolean);
    EXPECT_EQ(now["sound"]["Filename"].string, "/opt/tovik/TovikSound/dindin.wav");
    EXPECT_EQ(now["sound"]["Flags"].number, 1);
    EXPECT_EQ(now["sound"]["plays"].number, 1);

    const std::string before = session.stateLine();
    EXPECT_EQ(send("jump R1")["error"].string,
              "unknown command 'jump'; expected click, move, tick, answer, key or focus");
    EXPECT_EQ(session.stateLine(), before);

    EXPECT_EQ(sceneOf(send("click R1")), 1);
    now = send("move R2");
    EXPECT_EQ(now["controls"]["R2"]["color"].string, "#00FF00");
    for (const char* other : {"R1", "R3", "R4", "R5"}) {
        EXPECT_EQ(now["controls"][other]["color"].string, "#008000") << other;
    }
    EXPECT_EQ(send("move Info")["controls"]["R2"]["color"].string, "#00FF00")
        << "Info has no mouse-move handler";

    EXPECT_EQ(sceneOf(send("click R1")), 74);
    now = send("click R5");
    ASSERT_EQ(sceneOf(now), 64);
    EXPECT_EQ(now["NameOpponent"].string, "ГОБЛИН");
    EXPECT_EQ(now["HealthOpponent"].string, "40");
    EXPECT_TRUE(now["controls"]["Attack"]["visible"].boolean);
    EXPECT_TRUE(now["controls"]["LifeOpponent"]["visible"].boolean);

    // Blow after blow, as the window would deliver them between the life watch's ticks.
    for (int blow = 0; blow < 100 && sceneOf(now) == 64; ++blow) {
        now = send("click Attack");
        const std::string roll = now["Roll"].string;
        EXPECT_TRUE(roll >= "1" && roll <= "4" && roll.size() == 1) << roll;
        if (sceneOf(now) == 64) {
            now = send("tick HealthTimer");
            EXPECT_EQ(now["controls"]["LifeOpponent"]["caption"].string,
                      "ГОБЛИН: " + now["HealthOpponent"].string);
        }
        ASSERT_FALSE(now["controls"]["EndGame"]["visible"].boolean) << "the goblin won";
    }
    ASSERT_EQ(sceneOf(now), 75);
    EXPECT_EQ(now["NameOpponent"].string, "");
    EXPECT_FALSE(now["controls"]["Attack"]["visible"].boolean);

    for (const auto& [label, scene] : std::vector<std::pair<std::string, int>>{
             {"R2", 79}, {"R2", 81}, {"R1", 50}, {"R2", 51}, {"R1", 53}}) {
        ASSERT_EQ(sceneOf(send("click " + label)), scene) << label;
    }
    EXPECT_EQ(state()["sound"]["Filename"].string, "/opt/tovik/TovikSound/shock.wav");

    // The chance choice of Sc53: a draw of 1 leads to Sc54, a 2 to Sc55.
    now = send("click R1");
    const std::string roll = now["Roll"].string;
    ASSERT_TRUE(roll == "1" || roll == "2") << roll;
    EXPECT_EQ(sceneOf(now), roll == "1" ? 54 : 55);
}

TEST_F(Play, ALineThatIsNoCommandChangesNothing) {
    send("click Start");
    const std::string before = session.stateLine();
    const std::pair<std::string_view, std::string_view> bad[] = {
        {"", "empty line; expected click, move, tick, answer, key or focus"},
        {"  \t ", "empty line; expected click, move, tick, answer, key or focus"},
        {"\r", "empty line; expected click, move, tick, answer, key or focus"},
        {"Click R1", "unknown command 'Click'; expected click, move, tick, answer, key or focus"},
        {"click", "'click' takes one control name"},
        {"move R1 R2", "'move' takes one control name"},
        {"click r1", "no control named 'r1'"},
        {"click R6", "no control named 'R6'"},
        {"tick R1", "'R1' is not a timer; tick HealthTimer, Death, Win or ColorChanger"},
        {"tick Form", "'Form' is not a timer; tick HealthTimer, Death, Win or ColorChanger"},
        {"tick Clock", "no control named 'Clock'"},
        {"answer", "answer takes one word, yes or no"},
        {"answer Yes", "answer takes one word, yes or no"},
        {"key F11", "key takes one key: Tab, BackTab, Enter, Space, Escape or 1 to 5"},
        {"focus Form", "focus takes a control, not the window's background"},
        {"click R1 *0", "a command repeats as *N, with N from 1 to 2000000, not '*0'"},
        {"tick Win *2000001", "a command repeats as *N, with N from 1 to 2000000, not '*2000001'"},
    };
    for (const auto& [line, why] : bad) {
        const Json reply = send(line);
        EXPECT_EQ(reply.keys(), std::vector<std::string>{"error"}) << line;
        EXPECT_EQ(reply["error"].string, why) << line;
        EXPECT_EQ(session.stateLine(), before) << line;
    }
}

TEST_F(Play, CommandsTolerateBlanksAndWindowsLineEnds) {
    EXPECT_EQ(sceneOf(send("  click\t Start  \r")), 0);
    // Valid commands that the window would not act upon reply with the unchanged state.
    const std::string before = session.stateLine();
    for (const char* line : {"click Form", "click Info", "click Item2", "click HealthTimer",
                             "move HealthTimer", "click R3", "tick Death", "answer no"}) {
        EXPECT_EQ(session.apply(line), before) << line;
    }
}

TEST_F(Play, ADeathSceneEndsAfterItsTimerAndTheBannerLeadsBackToTheTitle) {
    send("click Start");
    send("click R1");
    send("click R1");
    Json now = send("click R1");  // Sc74: the first choice is fatal
    ASSERT_EQ(sceneOf(now), 104);
    EXPECT_TRUE(now["timers"]["Death"].boolean);
    EXPECT_FALSE(now["controls"]["R1"]["visible"].boolean);

    EXPECT_FALSE(send("tick HealthTimer")["controls"]["EndGame"]["visible"].boolean);
    EXPECT_EQ(send("tick Death")["Health"].string, "0");
    now = send("tick HealthTimer");
    EXPECT_TRUE(now["controls"]["EndGame"]["visible"].boolean);
    EXPECT_EQ(now["controls"]["EndGame"]["caption"].string, "Игра окончена! Ларминов погиб.");
    EXPECT_FALSE(now["controls"]["Info"]["visible"].boolean);
    EXPECT_FALSE(now["timers"]["Death"].boolean);
    EXPECT_EQ(now["controls"]["Life"]["caption"].string, "ЖИЗНЬ: 0");
    const std::string over = reply;
    EXPECT_EQ(session.apply("tick Death"), over) << "a disabled timer does not tick";

    now = send("click EndGame");
    EXPECT_FALSE(now["controls"]["EndGame"]["visible"].boolean);
    EXPECT_TRUE(now["controls"]["Start"]["visible"].boolean);
    EXPECT_TRUE(now["controls"]["NameGame1"]["visible"].boolean);
    EXPECT_EQ(now["Health"].string, "60");
    EXPECT_EQ(sceneOf(send("click Start")), 0);
}

TEST_F(Play, TheExitQuestionWaitsForItsAnswer) {
    send("click Start");
    send("click R1");
    const std::string playing = session.stateLine();
    EXPECT_EQ(session.apply("answer yes"), playing) << "no question is open";

    Json now = send("click Quit");
    EXPECT_EQ(now["window"].string, "hidden");
    EXPECT_EQ(now["question"]["title"].string, kExitTitle);
    EXPECT_EQ(now["question"]["text"].string, kExitText);
    const std::string asking = reply;
    for (const char* ignored : {"click R1", "move R2", "click Quit", "move Form"}) {
        EXPECT_EQ(session.apply(ignored), asking) << ignored;
    }

    EXPECT_EQ(session.apply("answer no"), playing) << "No leaves the game where it stood";
}

TEST_F(Play, AnsweringYesUnloadsTheWindowAndEndsThePlay) {
    std::istringstream in("click Start\nclick Quit\nanswer yes\nclick R1\nnonsense\n");
    std::ostringstream out;
    session.run(in, out);

    const std::vector<Json> lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 4u) << "the load, then one line a command up to the Yes";
    const Json& last = lines.back();
    EXPECT_EQ(last["window"].string, "unloaded");
    EXPECT_TRUE(last["question"].isNull());
    // The player is released with the window; the count of its sounds stays.
    EXPECT_TRUE(last["sound"]["Filename"].isNull());
    EXPECT_TRUE(last["sound"]["Flags"].isNull());
    EXPECT_EQ(last["sound"]["plays"].number, 1);
    EXPECT_TRUE(session.unloaded());
}

TEST(PlayRun, AnswersEveryLineEvenTheLastWithoutItsEnd) {
    SeededRandom random(1);
    tools::PlaySession session(random, "/opt/tovik");
    std::istringstream in("click Start\r\n\nclick R1");
    std::ostringstream out;
    session.run(in, out);
    const std::vector<Json> lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1]["scene"].number, 0);
    EXPECT_EQ(lines[2].keys(), std::vector<std::string>{"error"});
    EXPECT_EQ(lines[3]["scene"].number, 1);
}

TEST(PlayRun, ALineOfTheBoundIsReadAndOneByteMoreEndsThePlay) {
    SeededRandom random(1);
    tools::PlaySession session(random, "/opt/tovik");
    const std::string longest = "click Start" + std::string(kMaxCommandLineBytes - 11, ' ');
    std::istringstream in(longest + "\n" + longest + " \nclick R1\n");
    std::ostringstream out;
    const std::optional<std::string> problem = session.run(in, out);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(*problem, "line 2 is longer than 4096 bytes; a command is one short line");
    const std::vector<Json> lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1]["scene"].number, 0);
    EXPECT_EQ(lines[2]["error"].string, *problem);
}

std::string playedWithSeed(std::uint64_t seed, const std::string& commands) {
    SeededRandom random(seed);
    tools::PlaySession session(random, "/opt/tovik");
    std::istringstream in(commands);
    std::ostringstream out;
    session.run(in, out);
    return out.str();
}

TEST(PlayRun, TheSameSeedPlaysTheSameGame) {
    // Sc73 leads to the skeleton of Sc67: enough blows for any difference in the draws to show.
    std::string commands = "click Start\nclick R1\nclick R3\nclick R1\n";
    for (int blow = 0; blow < 40; ++blow) {
        commands += "click Attack\ntick HealthTimer\n";
    }
    const std::string first = playedWithSeed(7, commands);
    EXPECT_EQ(playedWithSeed(7, commands), first);
    EXPECT_NE(first.find("\"NameOpponent\": \"СКЕЛЕТ\""), std::string::npos);

    std::string rolls;
    for (std::size_t at = first.find("\"Roll\": \""); at != std::string::npos;
         at = first.find("\"Roll\": \"", at + 1)) {
        rolls += first[at + 9];
    }
    EXPECT_NE(rolls.find('4'), std::string::npos) << "the opponent strikes now and then";
    EXPECT_NE(rolls.find('1'), std::string::npos) << rolls;
}

// The sounds are counted by each player on its own, a restored game playing none of its past.
std::string withoutPlays(const std::string& state) {
    static const std::regex plays("\"plays\": [0-9]+");
    return std::regex_replace(state, plays, "");
}

// A random game of `count` commands: mostly the clicks and keys that lead on, with moves,
// ticks, the focus and the exit question among them.
std::vector<std::string> randomCommands(std::uint64_t seed, int count) {
    static const std::vector<std::string> kCommands = {"click R1",
                                                       "click R2",
                                                       "click R3",
                                                       "click R4",
                                                       "click R5",
                                                       "click Attack",
                                                       "click Attack",
                                                       "click Attack",
                                                       "click Item1",
                                                       "click Item3",
                                                       "click Item4",
                                                       "click EndGame",
                                                       "click WinGame",
                                                       "click Start",
                                                       "click Quit",
                                                       "answer no",
                                                       "move R1",
                                                       "move Start",
                                                       "move Form",
                                                       "tick HealthTimer",
                                                       "tick HealthTimer *3",
                                                       "tick Death",
                                                       "tick Win",
                                                       "tick ColorChanger *4",
                                                       "key Tab",
                                                       "key BackTab",
                                                       "key Enter",
                                                       "key Space",
                                                       "key 1",
                                                       "key 2",
                                                       "key Escape",
                                                       "focus R2",
                                                       "focus Attack",
                                                       "focus Info"};
    SeededRandom dice(seed);
    std::vector<std::string> commands = {"move Start", "click Start"};
    while (static_cast<int>(commands.size()) < count) {
        commands.push_back(
            kCommands[static_cast<std::size_t>(dice.draw(static_cast<int>(kCommands.size())) - 1)]);
    }
    return commands;
}

TEST(PlayRun, AGameSavedAnywhereRestoresToTheSameGameInEitherLanguage) {
    struct Case {
        story::Language saved;
        story::Language restored;
    };
    using enum story::Language;
    // Where the games were when they were saved: each of these must have come up.
    int inFights = 0;
    int inQuestions = 0;
    int afterScenes = 0;
    for (const Case test : {Case{Russian, Russian}, Case{English, English}, Case{Russian, English},
                            Case{English, Russian}}) {
        for (std::uint64_t seed = 1; seed <= 15; ++seed) {
            const std::vector<std::string> commands = randomCommands(seed, 240);
            SeededRandom moment(seed * 31);
            const auto at =
                static_cast<std::size_t>(moment.draw(static_cast<int>(commands.size())));
            SCOPED_TRACE("seed " + std::to_string(seed) + ", saved after " + std::to_string(at) +
                         " commands in " + std::string(story::codeOf(test.saved)) +
                         ", restored in " + std::string(story::codeOf(test.restored)));

            story::setLanguage(test.saved);
            SeededRandom savedDice(seed);
            tools::PlaySession saved(savedDice, "/opt/tovik");
            for (std::size_t i = 0; i < at; ++i) {
                saved.apply(commands[i]);
            }
            const Json record = Json::parse(saved.apply("save"));
            ASSERT_EQ(record.keys(), std::vector<std::string>{"record"});

            // The same game never saved, and a player holding another game until the restore.
            story::setLanguage(test.restored);
            SeededRandom neverDice(seed);
            tools::PlaySession never(neverDice, "/opt/tovik");
            for (std::size_t i = 0; i < at; ++i) {
                never.apply(commands[i]);
            }
            SeededRandom otherDice(seed + 1000);
            tools::PlaySession restored(otherDice, "/opt/tovik");
            restored.apply("click Start");
            const std::string escaped = tools::JsonWriter().string(record["record"].string).text();
            ASSERT_EQ(
                withoutPlays(restored.apply("restore " + escaped.substr(1, escaped.size() - 2))),
                withoutPlays(never.stateLine()));
            ASSERT_EQ(restored.record()->text(), record["record"].string);
            const Json now = Json::parse(never.stateLine());
            inFights += now["controls"]["Attack"]["visible"].boolean ? 1 : 0;
            inQuestions += now["question"].isNull() ? 0 : 1;
            afterScenes += now["scene"].isNull() ? 0 : 1;
            for (std::size_t i = at; i < commands.size(); ++i) {
                ASSERT_EQ(withoutPlays(restored.apply(commands[i])),
                          withoutPlays(never.apply(commands[i])))
                    << commands[i] << " at " << i;
            }
        }
    }
    story::setLanguage(story::Language::Russian);
    EXPECT_GT(inFights, 0);
    EXPECT_GT(inQuestions, 0);
    EXPECT_GT(afterScenes, 20);
}

TEST(PlayRun, ARecordThatIsNoGameOfThisStoryIsRefusedAndChangesNothing) {
    SeededRandom dice(7);
    tools::PlaySession session(dice, "/opt/tovik");
    for (const char* line : {"click Start", "click R1", "click R3", "click R1", "click Attack"}) {
        session.apply(line);
    }
    const std::string good = session.record()->text();
    const std::string first = good.substr(0, good.find('\n'));
    const auto replaced = [&](std::string_view from, std::string_view to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const std::string many = std::to_string(kMostRecordEvents);
    struct Case {
        std::string record;
        std::string refusal;
    };
    const std::vector<Case> cases = {
        {"", "the record is empty"},
        {"tovik1.okX3eYIhyv9y8248AAYAFEIAAAAGBwQBAQEAGAEBABgBAAQAAXVCkJE",
         "not a game record: it does not start with \"tovik-record\""},
        {replaced("record 1", "record 2"),
         "a record of another version (2); this game reads "
         "version 1"},
        {replaced("story=", "story=0"), "a record of another story (story=0"},
        {good.substr(0, good.size() - 1),
         "the record is damaged: its end line does not count its 5"},
        {good.substr(0, good.rfind('\n')), "the record is truncated: its end line is missing"},
        {good.substr(0, good.rfind("click R3")), "the record is truncated"},
        {good + "\n", "the record is damaged: it goes on after its end line"},
        {replaced("click R3", "click R3\nclick R3"),
         "the record is damaged at line 5: not written"},
        {replaced("click R3", "click  R3"), "the record is damaged at line 4: not written"},
        {replaced("click R3", "click R3 *1"), "the record is damaged at line 4: not written"},
        {replaced("click R3", "jump R3"),
         "the record is damaged at line 4: unknown command 'jump'"},
        {replaced("\n", "\r\n"), "the record is damaged: its first line has no seed=N"},
        {first + "\ntick HealthTimer *" + many + "\nclick R1\nend " + many + "1",
         "the record holds more than " + many + " events"},
        {first + "\n" + std::string(kMostRecordBytes, '#'), "the record is longer than"},
    };
    const std::string before = session.stateLine();
    for (const Case& test : cases) {
        const std::optional<std::string> why = session.restore(test.record);
        ASSERT_TRUE(why.has_value()) << test.record;
        EXPECT_EQ(why->rfind(test.refusal, 0), 0u) << *why;
        EXPECT_EQ(session.stateLine(), before) << test.refusal;
        EXPECT_EQ(session.record()->text(), good) << test.refusal;
    }
    for (const std::string line : {"restore", "restore \"", "restore \\u0430", "save now"}) {
        EXPECT_EQ(Json::parse(session.apply(line)).keys(), std::vector<std::string>{"error"})
            << line;
    }
    EXPECT_EQ(session.stateLine(), before);
}

}  // namespace
}  // namespace tovik::testing
