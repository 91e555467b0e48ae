#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "engine/game_record.h"
#include "engine/player_command.h"
#include "engine/random_source.h"
#include "story/language.h"
#include "tovik_story/play_session.h"
#include "tovik_story/state_json.h"

namespace tovik::testing {
namespace {

using nlohmann::ordered_json;

// Every line a session wrote, each parsed as JSON.
std::vector<ordered_json> linesOf(const std::string& written) {
    std::vector<ordered_json> lines;
    std::istringstream in(written);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(ordered_json::parse(line));
    }
    return lines;
}

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
    EXPECT_EQ(ordered_json::parse(jsonString(all)), all);
    // Bytes that are not UTF-8 become U+FFFD, the text after them kept: never a UTF-8 byte, a
    // continuation byte alone, half a Cyrillic letter, an overlong '/', a surrogate, too high.
    for (std::string_view text :
         {"\xFF", "\x80", "\xD0", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
        const std::string read = ordered_json::parse(jsonString(std::string(text) + "x"));
        EXPECT_TRUE(read.starts_with("\xEF\xBF\xBD") && read.ends_with('x')) << jsonString(text);
    }
}

std::string keysOf(const ordered_json& object) {
    std::string keys;
    for (const auto& [key, value] : object.items()) {
        keys += key + " ";
    }
    return keys;
}

TEST(StateLine, HasEveryMemberInAFixedOrder) {
    SeededRandom random(1);
    const std::string line = tools::PlaySession(random, "/opt/tovik").stateLine();
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const ordered_json state = ordered_json::parse(line);
    EXPECT_EQ(keysOf(state),
              "scene Health HealthOpponent NameOpponent Roll Ring controls timers window question "
              "sound ");
    const ordered_json& controls = state["controls"];
    EXPECT_EQ(keysOf(controls),
              "NameGame2 Start Creator Info R1 R2 R3 R4 R5 Status Life LifeOpponent EndGame "
              "WinGame Attack NameGame1 TovikImage Quit Item1 Item2 Item3 Item4 ");
    EXPECT_EQ(keysOf(controls["R1"]), "visible caption color ");
    EXPECT_EQ(keysOf(controls["WinGame"]), "visible caption color ");
    EXPECT_EQ(keysOf(controls["Attack"]), "visible caption ");
    EXPECT_EQ(keysOf(controls["Item4"]), "visible ");
    EXPECT_EQ(keysOf(state["timers"]), "HealthTimer Death Win ColorChanger ");
    EXPECT_EQ(keysOf(state["sound"]), "Filename Flags plays ");
}

// Plays `steps`, each a line sent ("" for the state before any) and what its reply holds, as
// JSON pointers and values, or "=": the state as it was before the line. The game's rules are
// pinned by the engine's tests; these steps pin how the protocol reads and shows them.
void play(tools::PlaySession& session,
          const std::vector<std::pair<std::string, std::string>>& steps) {
    for (const auto& [line, holds] : steps) {
        const std::string before = session.stateLine();
        const std::string reply = line.empty() ? before : session.apply(line);
        if (holds == "=") {
            EXPECT_EQ(reply, before) << line;
            continue;
        }
        const ordered_json state = ordered_json::parse(reply);
        const ordered_json wanted = ordered_json::parse(holds);
        for (const auto& [path, value] : wanted.items()) {
            EXPECT_EQ(state.value(ordered_json::json_pointer(path), ordered_json("(missing)")),
                      value)
                << line << ": " << path;
        }
    }
}

TEST(Play, AGameThroughTheProtocol) {
    SeededRandom random(20240501);  // the hero beats the goblin unhurt
    tools::PlaySession session(random, "/opt/tovik");
    play(session,
         {
             {"",  // the title screen is no scene
              R"({"/scene": null, "/Health": "60", "/Ring": "0", "/HealthOpponent": "",
                  "/Roll": "", "/controls/Start/visible": true, "/controls/Start/color": "#FFFFFF",
                  "/controls/WinGame/color": "#80FF80", "/controls/R1/visible": false,
                  "/timers/HealthTimer": true, "/timers/Death": false, "/window": "shown",
                  "/question": null, "/sound": {"Filename": "", "Flags": 0, "plays": 0}})"},
             {"move Start", R"({"/controls/Start/color": "#FF0000"})"},
             {"move Form", R"({"/controls/Start/color": "#FFFFFF"})"},  // the background
             {"click Start", R"({"/scene": 0, "/controls/Start/visible": false, "/sound":
                  {"Filename": "/opt/tovik/TovikSound/dindin.wav", "Flags": 1, "plays": 1}})"},
             {"jump R1", R"({"/error":
                  "unknown command 'jump'; expected click, move, tick, answer, key or focus"})"},
             {"click R1", R"({"/scene": 1})"},
             {"click R1", R"({"/scene": 74})"},
             {"click R5", R"({"/scene": 64, "/NameOpponent": "ГОБЛИН", "/HealthOpponent": "40",
                  "/controls/Attack/visible": true, "/controls/LifeOpponent/visible": true})"},
             {"click Attack", R"({"/Roll": "3", "/HealthOpponent": "35"})"},
             {"tick HealthTimer", R"({"/controls/LifeOpponent/caption": "ГОБЛИН: 35"})"},
             // The blows after the victory click a hidden button.
             {"click Attack *30", R"({"/scene": 75, "/NameOpponent": "",
                  "/controls/Attack/visible": false, "/sound/plays": 9})"},
             {"answer yes", "="},  // no question is open
             {"click Quit", R"({"/window": "hidden", "/question": {"title":
                  "Товик Ларминов в магическом подземелье", "text":
                  "Вы точно хотите выйти из игры «Товик Ларминов в магическом подземелье»?"}})"},
             {"click R1", "="},
             {"answer no", R"({"/window": "shown", "/question": null, "/scene": 75})"},
         });
    SeededRandom other(1);  // on these dice Sc74's first choice is fatal
    tools::PlaySession dying(other, "/opt/tovik");
    play(dying, {{"click Start", "{}"},
                 {"click R1", "{}"},
                 {"click R1", "{}"},
                 {"click R1", R"({"/scene": 104, "/timers/Death": true, "/timers/Win": false})"}});
}

TEST(Play, ALineThatIsNoCommandChangesNothing) {
    SeededRandom random(1);
    tools::PlaySession session(random, "/opt/tovik");
    EXPECT_EQ(ordered_json::parse(session.apply("  click\t Start  \r"))["scene"], 0);
    const std::string before = session.stateLine();
    const std::string expected = "expected click, move, tick, answer, key or focus";
    const std::pair<std::string_view, std::string> lines[] = {
        {"", "empty line; " + expected},
        {"  \t ", "empty line; " + expected},
        {"\r", "empty line; " + expected},
        {"Click R1", "unknown command 'Click'; " + expected},
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
        {"restore", ""},
        {"restore \"", ""},
        {"restore \\u0430", ""},
        {"save now", ""},
    };
    // Commands the window would not act upon: the state as it was.
    for (const char* line : {"click Form", "click Info", "click Item2", "click HealthTimer",
                             "move HealthTimer", "click R3", "tick Death", "answer no"}) {
        EXPECT_EQ(session.apply(line), before) << line;
    }
    for (const auto& [line, why] : lines) {
        const ordered_json error = ordered_json::parse(session.apply(line));
        EXPECT_EQ(error.size(), 1u) << line;
        ASSERT_TRUE(error.contains("error")) << line;
        if (!why.empty()) {
            EXPECT_EQ(error["error"], why) << line;
        }
        EXPECT_EQ(session.stateLine(), before) << line;
    }
}

TEST(PlayRun, AnswersEveryLineUpToTheYesOrTheBound) {
    const std::string longest = "click Start" + std::string(kMaxCommandLineBytes - 11, ' ');
    const std::string tooLong = "line 2 is longer than 4096 bytes; a command is one short line";
    const struct {
        std::string input;
        std::vector<std::string> replies;  // each line's scene, "error", or its window
        std::optional<std::string> problem;
    } cases[] = {
        {"click Start\r\n\nclick R1", {"null", "0", "error", "1"}, std::nullopt},
        {longest + "\n" + longest + " \nclick R1\n", {"null", "0", "error"}, tooLong},
        {"click Start\nclick Quit\nanswer yes\nclick R1\nnonsense\n",
         {"null", "0", "hidden", "unloaded"},
         std::nullopt},
    };
    for (const auto& test : cases) {
        SeededRandom random(1);
        tools::PlaySession session(random, "/opt/tovik");
        std::istringstream in(test.input);
        std::ostringstream out;
        EXPECT_EQ(session.run(in, out), test.problem);
        std::vector<std::string> replies;
        for (const ordered_json& line : linesOf(out.str())) {
            replies.push_back(line.contains("error")      ? "error"
                              : line["window"] != "shown" ? line["window"].get<std::string>()
                                                          : line["scene"].dump());
        }
        EXPECT_EQ(replies, test.replies) << test.input.substr(0, 40);
    }
    // The player is released with the window; the count of its sounds stays.
    SeededRandom random(1);
    tools::PlaySession session(random, "/opt/tovik");
    session.apply("click Start");
    session.apply("click Quit");
    const ordered_json last = ordered_json::parse(session.apply("answer yes"));
    EXPECT_EQ(last["sound"],
              ordered_json({{"Filename", nullptr}, {"Flags", nullptr}, {"plays", 1}}));
    EXPECT_TRUE(session.unloaded());
}

// A random game of `count` commands: mostly the clicks and keys that lead on, with moves,
// ticks, the focus and the exit question among them.
std::vector<std::string> randomCommands(std::uint64_t seed, int count) {
    static const std::vector<std::string> kCommands = [] {
        std::vector<std::string> all;
        std::istringstream in(
            "click R1|click R2|click R3|click R4|click R5|click Attack|click Attack|click Attack|"
            "click Item1|click Item3|click Item4|click EndGame|click WinGame|click Start|"
            "click Quit|answer no|move R1|move Start|move Form|tick HealthTimer|"
            "tick HealthTimer *3|tick Death|tick Win|tick ColorChanger *4|key Tab|key BackTab|"
            "key Enter|key Space|key 1|key 2|key Escape|focus R2|focus Attack|focus Info");
        for (std::string command; std::getline(in, command, '|');) {
            all.push_back(command);
        }
        return all;
    }();
    SeededRandom dice(seed);
    std::vector<std::string> commands = {"move Start", "click Start"};
    while (static_cast<int>(commands.size()) < count) {
        commands.push_back(
            kCommands[static_cast<std::size_t>(dice.draw(static_cast<int>(kCommands.size())) - 1)]);
    }
    return commands;
}

// A session of `seed` in `language` that has played the first `count` of `commands`.
std::unique_ptr<tools::PlaySession> played(SeededRandom& dice, story::Language language,
                                           const std::vector<std::string>& commands,
                                           std::size_t count) {
    story::setLanguage(language);
    auto session = std::make_unique<tools::PlaySession>(dice, "/opt/tovik");
    for (std::size_t i = 0; i < count; ++i) {
        session->apply(commands[i]);
    }
    return session;
}

TEST(PlayRun, AGameSavedAnywhereRestoresToTheSameGameInEitherLanguage) {
    using enum story::Language;
    // The sounds are counted by each player on its own, a restored game playing none of its past.
    static const std::regex plays("\"plays\": [0-9]+");
    const auto withoutPlays = [](const std::string& state) {
        return std::regex_replace(state, plays, "");
    };
    int inFights = 0;  // where the games were when they were saved: each must have come up
    int inQuestions = 0;
    int afterScenes = 0;
    for (const auto& [savedIn, restoredIn] : {std::pair{Russian, Russian},
                                              {English, English},
                                              {Russian, English},
                                              {English, Russian}}) {
        for (std::uint64_t seed = 1; seed <= 15; ++seed) {
            const std::vector<std::string> commands = randomCommands(seed, 240);
            const auto at = static_cast<std::size_t>(SeededRandom(seed * 31).draw(240));
            SCOPED_TRACE("seed " + std::to_string(seed) + ", saved after " + std::to_string(at) +
                         " in " + std::string(story::codeOf(savedIn)) + ", restored in " +
                         std::string(story::codeOf(restoredIn)));
            SeededRandom savedDice(seed);
            const ordered_json record =
                ordered_json::parse(played(savedDice, savedIn, commands, at)->apply("save"));
            ASSERT_EQ(record.size(), 1u);
            const std::string text = record.at("record");
            // The same game never saved, and a player holding another game until the restore.
            SeededRandom neverDice(seed);
            const auto never = played(neverDice, restoredIn, commands, at);
            SeededRandom otherDice(seed + 1000);
            const auto restored = played(otherDice, restoredIn, commands, 2);
            const std::string escaped = ordered_json(text).dump();
            ASSERT_EQ(
                withoutPlays(restored->apply("restore " + escaped.substr(1, escaped.size() - 2))),
                withoutPlays(never->stateLine()));
            ASSERT_EQ(restored->record()->text(), text);
            const ordered_json now = ordered_json::parse(never->stateLine());
            inFights += now["controls"]["Attack"]["visible"] == true ? 1 : 0;
            inQuestions += now["question"].is_null() ? 0 : 1;
            afterScenes += now["scene"].is_null() ? 0 : 1;
            for (std::size_t i = at; i < commands.size(); ++i) {
                ASSERT_EQ(withoutPlays(restored->apply(commands[i])),
                          withoutPlays(never->apply(commands[i])))
                    << commands[i] << " at " << i;
            }
        }
    }
    story::setLanguage(Russian);
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
    const std::pair<std::string, std::string> cases[] = {
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
    for (const auto& [record, refusal] : cases) {
        const std::optional<std::string> why = session.restore(record);
        ASSERT_TRUE(why.has_value()) << record;
        EXPECT_EQ(why->rfind(refusal, 0), 0u) << *why;
        EXPECT_EQ(session.stateLine(), before) << refusal;
        EXPECT_EQ(session.record()->text(), good) << refusal;
    }
}

}  // namespace
}  // namespace tovik::testing
