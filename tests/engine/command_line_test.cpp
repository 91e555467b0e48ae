#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/command_line.h"
#include "engine/no_sound_line.h"
#include "engine/player_command.h"
#include "story/interface_texts.h"
#include "story/language.h"

namespace tovik {
namespace {

using story::Language;

// The options as one line: "name=value;..." in name order, or the refusal.
std::string readOptions(const std::vector<std::string_view>& arguments) {
    static constexpr OptionRule kRules[] = {{"seed", true}, {"first-frame-time", false}};
    const auto parsed = parseOptions(arguments, kRules);
    if (const auto* why = std::get_if<std::string>(&parsed)) {
        return "refused: " + *why;
    }
    std::string given;
    for (const auto& [name, value] : std::get<GivenOptions>(parsed).values) {
        given += name + "=" + value + ";";
    }
    return given;
}

TEST(CommandLineOptions, EachOptionAtMostOnceAndNothingElse) {
    const struct {
        std::vector<std::string_view> arguments;
        std::string expected;
    } cases[] = {
        {{}, ""},
        {{"--seed", "5"}, "seed=5;"},
        {{"--seed=5"}, "seed=5;"},
        {{"--seed="}, "seed=;"},  // the seed's own reading refuses it
        {{"--seed", "--first-frame-time"}, "seed=--first-frame-time;"},
        {{"--first-frame-time", "-h"}, "first-frame-time=;help=;"},
        {{"--seed", "1", "--seed", "2"}, "refused: --seed given twice"},
        {{"--seed=1", "--seed", "1"}, "refused: --seed given twice"},
        {{"--seed"}, "refused: --seed needs a value"},
        {{"--first-frame-time=1"}, "refused: --first-frame-time takes no value"},
        {{"--speed", "1"}, "refused: unknown option '--speed'"},
        {{"-seed", "1"}, "refused: unexpected argument '-seed'"},
        {{"--seed", "1", "extra\n"}, "refused: unexpected argument 'extra\\n'"},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(readOptions(test.arguments), test.expected) << test.expected;
    }
}

TEST(CommandLineOptions, MessagesShowControlCharactersAsEscapes) {
    const struct {
        std::string_view text;
        std::string_view shown;
    } cases[] = {
        {std::string_view("a\0b", 3), "a\\x00b"},
        {"1\n2\r\t", "1\\n2\\r\\t"},
        {"\x1b[31m\x7f", "\\x1b[31m\\x7f"},
        {"C:\\games", "C:\\\\games"},
        {"Товик", "Товик"},
        // C1 controls, as characters and as raw bytes: U+009B and 0x9B both start a sequence.
        {"a\u009b31m\u0085", "a\\u009b31m\\u0085"},
        {"a\x9b"
         "31m",
         "a\\x9b31m"},
        {"\u00a0\U0010FFFF", "\u00a0\U0010FFFF"},
        // Every byte outside well-formed UTF-8: cut short, overlong, a surrogate, too high.
        {"\xd0\xc0\x80\xed\xa0\x80\xf4\x90\x80\x80\xff",
         "\\xd0\\xc0\\x80\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80\\xff"},
        {"\xe2\x82", "\\xe2\\x82"},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(printable(test.text), test.shown);
    }
    EXPECT_EQ(std::get<std::string>(seedOption("1\n2")),
              "--seed takes a whole number from 0 to 18446744073709551615, not '1\\n2'");
}

TEST(NoSoundLine, NamesItsCauseInTheLanguagePlayedWithPathsEscaped) {
    using enum sound::NoSound::Cause;
    using enum sound::ModuleRefusal;
    using enum story::Language;
    const std::string refused = "the sound module /p/lib/tovik/tovik-sdl-sound.so was not loaded ";
    const struct {
        Language language;
        sound::NoSound::Cause cause;
        sound::ModuleRefusal refusal;
        const char* at;
        std::string line;
    } cases[] = {
        {Russian, NoDevice, Unreadable, "", "Игра идёт без звука: звуковое устройство недоступно"},
        {English, NoDevice, Unreadable, "", "Playing without sound: no audio device is available"},
        {Russian, NoModule, Unreadable, "",
         "Игра идёт без звука: звукового модуля нет ни в одной из папок /p/games, /usr/lib/tovik"},
        {English, NoModule, Unreadable, "",
         "Playing without sound: none of the folders /p/games, /usr/lib/tovik holds the sound "
         "module"},
        {Russian, ModuleRefused, OthersMayChange, "/p/l\nib\x9b",
         "Игра идёт без звука: звуковой модуль /p/lib/tovik/tovik-sdl-sound.so не загружен, так "
         "как /p/l\\nib\\x9b могут изменить другие пользователи"},
        {English, ModuleRefused, OthersMayChange, "/p/lib",
         "Playing without sound: " + refused + "because other users can change /p/lib"},
        {English, ModuleRefused, OtherBuild, "",
         "Playing without sound: " + refused + "because it comes from another build of the game"},
    };
    for (const auto& c : cases) {
        story::setLanguage(c.language);
        const std::vector<std::filesystem::path> places{"/p/games", "/usr/lib/tovik"};
        EXPECT_EQ(
            noSoundLine({c.cause, places, "/p/lib/tovik/tovik-sdl-sound.so", c.refusal, c.at}),
            c.line);
    }
    story::setLanguage(Russian);
}

// The lines read from `input`, each as "text" or a mark for how the reading ended.
std::vector<std::string> linesOf(const std::string& input) {
    std::istringstream in(input);
    CommandReader reader(in);
    std::vector<std::string> lines;
    for (std::string line;;) {
        switch (reader.next(line)) {
            case LineRead::Line:
                lines.push_back(line);
                continue;
            case LineRead::TooLong:
                lines.push_back("too long at line " + std::to_string(reader.lineNumber()));
                return lines;
            case LineRead::End:
                return lines;
        }
    }
}

TEST(CommandReader, TakesOneByteOrderMarkAtTheVeryStartOnly) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string longest(kMaxCommandLineBytes, 'x');
    const struct {
        std::string input;
        std::vector<std::string> lines;
    } cases[] = {
        {bom + "click Start\nmove R1", {"click Start", "move R1"}},
        {bom, {}},
        {bom + "\n", {""}},
        {bom + bom + "a", {bom + "a"}},
        {"a\n" + bom + "b\n", {"a", bom + "b"}},
        {" " + bom, {" " + bom}},
        {"\xEF\xBB"
         "a",
         {"\xEF\xBB"
          "a"}},
        {bom + longest + "\n", {longest}},  // the mark does not count towards the length
        {longest + "y", {"too long at line 1"}},
        {"a\n" + longest + "\n", {"a", longest}},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(linesOf(test.input), test.lines) << test.input.substr(0, 20);
    }
}

TEST(LanguageOfEnvironment, FollowsTheFirstLocaleSet) {
    using Variables = std::map<std::string, std::string>;
    const std::pair<Variables, Language> cases[] = {
        {{}, Language::Russian},
        {{{"LANG", "C.UTF-8"}}, Language::Russian},
        {{{"LANG", "POSIX"}}, Language::Russian},
        {{{"LANG", "ru_RU.UTF-8"}}, Language::Russian},
        {{{"LANG", "en_GB.UTF-8"}}, Language::English},
        {{{"LANG", "de_DE@euro"}}, Language::English},
        {{{"LANG", "ru_RU.UTF-8"}, {"LC_ALL", "fr_FR"}}, Language::English},
        {{{"LANG", "en_US"}, {"LC_MESSAGES", "ru_UA"}}, Language::Russian},
        {{{"LANG", ""}, {"LC_ALL", ""}, {"LC_MESSAGES", "en"}}, Language::English},
        // LANGUAGE is a list whose first entry wins, but only under a real locale.
        {{{"LANG", "en_US"}, {"LANGUAGE", "ru:en"}}, Language::Russian},
        {{{"LANG", "ru_RU"}, {"LANGUAGE", "en_GB:ru"}}, Language::English},
        {{{"LANG", "C"}, {"LANGUAGE", "en"}}, Language::Russian},
    };
    for (const auto& [variables, expected] : cases) {
        static const Variables* given = nullptr;
        given = &variables;
        const auto read = [](const char* name) -> const char* {
            const auto found = given->find(name);
            return found == given->end() ? nullptr : found->second.c_str();
        };
        EXPECT_EQ(story::languageOfEnvironment(read), expected)
            << ::testing::PrintToString(variables);
    }
}

// The page loads its catalogue as data, Russian texts named by their digest: every built-in
// translation comes out the same, an older Russian text or an unknown context still falls back,
// and damaged data loads nothing.
TEST(Translation, ACatalogueLoadedAsDataTranslatesAsTheBuiltInOne) {
    using namespace std::string_literals;
    EXPECT_EQ(story::russianDigest(""), 0x811c9dc5U);
    EXPECT_EQ(story::russianDigest("a"), 0xe40c292cU);
    std::string data;
    for (const story::CatalogueEntry& entry : story::catalogueOf(Language::English)) {
        char digest[9];
        std::snprintf(digest, sizeof digest, "%08x", story::russianDigest(entry.russian));
        data += std::string(entry.context) + '\0' + digest + '\0';
        data += std::string(entry.translation) + '\0';
    }
    for (const std::string& damaged : {data.substr(0, data.size() - 1), "a\0zz\0b\0"s,
                                       "\0"s + "00000000\0b\0"s, "a\0"s + "0000000g\0b\0"s}) {
        EXPECT_FALSE(story::loadCatalogue(Language::English, damaged));
    }
    char extra[9];
    std::snprintf(extra, sizeof extra, "%08x", story::russianDigest("проверка"));
    ASSERT_TRUE(
        story::loadCatalogue(Language::English, data + "test:only\0"s + extra + "\0check\0"s));
    EXPECT_EQ(story::translated(Language::English, "test:only", "проверка"), "check");
    EXPECT_FALSE(story::loadCatalogue(Language::Russian, data));
    std::size_t compared = 0;
    for (const story::CatalogueEntry& entry : story::catalogueOf(Language::English)) {
        EXPECT_EQ(story::translated(Language::English, entry.context, entry.russian),
                  entry.translation);
        ++compared;
    }
    EXPECT_GT(compared, 100U);
    EXPECT_EQ(story::translated(Language::English, story::kStartText.context, "СТАРТ!"), "СТАРТ!");
    EXPECT_EQ(story::translated(Language::English, "title:nothing", "СТАРТ"), "СТАРТ");
    EXPECT_EQ(story::translated(Language::Russian, story::kStartText.context, "СТАРТ"), "СТАРТ");
    EXPECT_TRUE(story::loadCatalogue(Language::English, ""));  // back to the built-in table
    EXPECT_EQ(story::translated(Language::English, "test:only", "проверка"), "проверка");
}

}  // namespace
}  // namespace tovik
