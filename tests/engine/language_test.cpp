#include <gtest/gtest.h>

#include <cstdio>
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

// The page loads its catalogue as data, Russian texts named by their digest: every built-in
// translation comes out the same, an older Russian text still falls back, and damaged data
// loads nothing.
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
                                       "\0"
                                       "00000000\0b\0"s,
                                       "a\0"
                                       "0000000g\0b\0"s}) {
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
    EXPECT_TRUE(story::loadCatalogue(Language::English, ""));  // back to the built-in table
    EXPECT_EQ(story::translated(Language::English, "test:only", "проверка"), "проверка");
}

}  // namespace
}  // namespace tovik::testing
