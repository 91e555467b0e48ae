#include "story/language.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <set>
#include <tuple>

#include "story/caption_texts.h"
#include "story/interface_texts.h"
#include "story/passages.h"
#include "story/scene_catalogue.h"

namespace tovik::story {

// Written by the build from po/en.po.
extern const std::span<const CatalogueEntry> kEnglishCatalogue;

namespace {

std::atomic<Language> chosen{Language::Russian};

bool isSet(const char* value) {
    return value != nullptr && *value != '\0';
}

}  // namespace

std::string_view codeOf(Language language) {
    return language == Language::English ? "en" : "ru";
}

std::optional<Language> languageNamed(std::string_view code) {
    for (Language language : kAllLanguages) {
        if (code == codeOf(language)) {
            return language;
        }
    }
    return std::nullopt;
}

std::optional<Language> languageOfLocale(std::string_view locale) {
    // "ru_RU.UTF-8@euro" names its language before any of "_.@".
    const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
    if (language.empty() || language == "C" || language == "POSIX") {
        return std::nullopt;
    }
    for (Language known : kAllLanguages) {
        if (language == codeOf(known)) {
            return known;
        }
    }
    return Language::English;  // for every language the game lacks
}

Language languageOfEnvironment(const char* (*variable)(const char* name)) {
    // LANGUAGE is a list of preferences, "en_GB:ru"; the first one decides. The C library
    // heeds it only under a real locale, and so does the game.
    const char* preferred = variable("LANGUAGE");
    std::optional<Language> fromLocale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = variable(name); isSet(value)) {
            fromLocale = languageOfLocale(value);
            break;
        }
    }
    if (fromLocale && isSet(preferred)) {
        const std::string_view list = preferred;
        if (const std::optional<Language> first =
                languageOfLocale(list.substr(0, list.find(':')))) {
            return *first;
        }
    }
    return fromLocale.value_or(Language::Russian);
}

Language currentLanguage() {
    return chosen.load(std::memory_order_relaxed);
}

void setLanguage(Language language) {
    chosen.store(language, std::memory_order_relaxed);
}

std::span<const CatalogueEntry> catalogueOf(Language language) {
    return language == Language::English ? kEnglishCatalogue : std::span<const CatalogueEntry>();
}

std::string_view translated(Language language, std::string_view context, std::string_view russian) {
    const std::span<const CatalogueEntry> catalogue = catalogueOf(language);
    const auto found =
        std::lower_bound(catalogue.begin(), catalogue.end(), std::tie(context, russian),
                         [](const CatalogueEntry& entry,
                            const std::tuple<std::string_view&, std::string_view&>& wanted) {
                             return std::tie(entry.context, entry.russian) < wanted;
                         });
    if (found == catalogue.end() || found->context != context || found->russian != russian) {
        return russian;
    }
    return found->translation;
}

std::string_view translated(std::string_view context, std::string_view russian) {
    const Language language = currentLanguage();
    return language == Language::Russian ? russian : translated(language, context, russian);
}

std::string_view localisedPicture(std::string_view picture) {
    if (picture == "title.bmp" && currentLanguage() == Language::English) {
        return "title_en.bmp";
    }
    return picture;
}

std::string passageContext(int number) {
    return "passage:" + std::to_string(number);
}

std::string captionContext(Key key) {
    char context[16];
    std::snprintf(context, sizeof context, "caption:K%03d", numberOf(key));
    return context;
}

std::vector<TranslatableText> translatableTexts() {
    std::vector<TranslatableText> texts;
    const auto add = [&texts](const Text& text, std::string note = {}) {
        texts.push_back({std::string(text.context), std::string(text.russian), std::move(note)});
    };
    add(kGameTitleText, "The game's name, as the window and the page are titled.");
    add(kSubtitleText, "The title screen's second line, under the painted name.");
    add(kStartText);
    add(kCreditText);
    add(Text{kOpeningPassageContext, kOpeningPassage});
    for (int number = 1; number <= kSceneCount; ++number) {
        texts.push_back({passageContext(number), std::string(russianPassageOf(number)),
                         "Every life change it states must be the one the scene applies."});
    }
    for (int number = 1; number <= kKeyCount; ++number) {
        texts.push_back({captionContext(static_cast<Key>(number)),
                         std::string(kCaptionTexts.at(static_cast<std::size_t>(number))),
                         "A caption is also what its label's click is matched by: keep one key "
                         "one text, and keep apart the captions shown on one label."});
    }
    add(kAttackText);
    std::set<std::string_view> opponents;
    for (int number = 1; number <= kSceneCount; ++number) {
        if (const std::optional<Fight>& fight = sceneNumber(number).fight;
            fight && opponents.insert(fight->opponent).second) {
            texts.push_back({std::string(kOpponentContext), std::string(fight->opponent),
                             "In capitals, as on the banner. Blanks at the end tell the "
                             "skeletons apart: keep exactly as many."});
        }
    }
    add(kHeroBlowText);
    add(kOpponentBlowText, "Follows the opponent's name, which the leading blank parts from it.");
    add(kLifePrefixText, "Followed by the life count.");
    add(kDefeatBannerText);
    add(kLostBannerText);
    add(kVictoryBannerText);
    add(kExitTitleText);
    add(kExitQuestionText);
    add(kYesText);
    add(kNoText);
    for (const Text& name : {kTitlePictureName, kHeroPictureName, kQuitName, kScrollName,
                             kFurBallName, kTridentName, kNecklaceName}) {
        add(name, "Spoken by a screen reader.");
    }
    for (const Text& count : kChoiceCountTexts) {
        add(count, "Spoken after a passage: how many choices it offers.");
    }
    add(kKeysHelpText, "Told on the title screen, before anything else.");
    add(kFullScreenOnText, "Said when the window goes to full screen.");
    add(kFullScreenOffText, "Said when the window leaves full screen.");
    add(kFightAnnouncement, "Spoken after a fight's passage, followed by the opponent's name.");
    add(kAttackAnnouncement, "Follows the opponent's name.");
    add(kNoSoundWarning, "Followed by the sound device's own reason in brackets.");
    for (const Text& page : {kPageClosedText, kPageStartAgainText, kPageLanguageText,
                             kPageLayoutText, kPageWindowLayoutText, kPageReadingLayoutText}) {
        add(page, "On the web page around the game.");
    }
    for (const Text& loading : {kPageLoaderNameText, kPageLoaderPlaceText, kPageLoadingText,
                                kPageRetryText, kPageNoWebAssemblyText, kPageOldBrowserText,
                                kPageDownloadFailedText, kPageStartFailedText}) {
        add(loading, "On the page's loading screen, before the game has arrived.");
    }
    return texts;
}

}  // namespace tovik::story
