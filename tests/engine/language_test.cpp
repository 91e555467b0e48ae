#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

#include "story/interface_texts.h"
#include "story/language.h"

namespace tovik::testing {
namespace {

using story::Language;

struct EnvironmentCase {
    std::map<std::string, std::string> variables;
    Language expected;
};

void PrintTo(const EnvironmentCase& given, std::ostream* out) {
    for (const auto& [name, value] : given.variables) {
        *out << name << "=" << value << " ";
    }
}

class LanguageOfEnvironment : public ::testing::TestWithParam<EnvironmentCase> {};

TEST_P(LanguageOfEnvironment, FollowsTheFirstLocaleSet) {
    static const std::map<std::string, std::string>* variables = nullptr;
    variables = &GetParam().variables;
    const auto read = [](const char* name) -> const char* {
        const auto found = variables->find(name);
        return found == variables->end() ? nullptr : found->second.c_str();
    };
    EXPECT_EQ(story::languageOfEnvironment(read), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LanguageOfEnvironment,
    ::testing::Values(
        EnvironmentCase{{}, Language::Russian},
        EnvironmentCase{{{"LANG", "C.UTF-8"}}, Language::Russian},
        EnvironmentCase{{{"LANG", "POSIX"}}, Language::Russian},
        EnvironmentCase{{{"LANG", "ru_RU.UTF-8"}}, Language::Russian},
        EnvironmentCase{{{"LANG", "en_GB.UTF-8"}}, Language::English},
        EnvironmentCase{{{"LANG", "de_DE@euro"}}, Language::English},
        EnvironmentCase{{{"LANG", "ru_RU.UTF-8"}, {"LC_ALL", "fr_FR"}}, Language::English},
        EnvironmentCase{{{"LANG", "en_US"}, {"LC_MESSAGES", "ru_UA"}}, Language::Russian},
        EnvironmentCase{{{"LANG", ""}, {"LC_ALL", ""}, {"LC_MESSAGES", "en"}}, Language::English},
        // LANGUAGE is a list whose first entry wins, but only under a real locale.
        EnvironmentCase{{{"LANG", "en_US"}, {"LANGUAGE", "ru:en"}}, Language::Russian},
        EnvironmentCase{{{"LANG", "ru_RU"}, {"LANGUAGE", "en_GB:ru"}}, Language::English},
        EnvironmentCase{{{"LANG", "C"}, {"LANGUAGE", "en"}}, Language::Russian}));

TEST(Translation, ShowsTheRussianWhileTheCatalogueTranslatesAnOlderText) {
    const std::string_view english =
        story::translated(Language::English, story::kStartText.context, story::kStartText.russian);
    EXPECT_NE(english, story::kStartText.russian);
    EXPECT_EQ(story::translated(Language::English, story::kStartText.context, "СТАРТ!"), "СТАРТ!");
    EXPECT_EQ(story::translated(Language::English, "title:nothing", "СТАРТ"), "СТАРТ");
    EXPECT_EQ(story::translated(Language::Russian, story::kStartText.context, "СТАРТ"), "СТАРТ");
}

}  // namespace
}  // namespace tovik::testing
