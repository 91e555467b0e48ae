#include "story/language.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <memory>
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

// A translation read as data: its Russian text is known by its digest.
struct LoadedEntry {
    std::string_view context;
    std::uint32_t russian;
    std::string_view translation;
};
struct LoadedCatalogue {
    std::string data;                  // the entries' texts point into it
    std::vector<LoadedEntry> entries;  // ordered by context
};
// The English catalogue, when the build reads it as data.
std::unique_ptr<const LoadedCatalogue> loadedEnglish;

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

std::uint32_t russianDigest(std::string_view russian) {
    std::uint32_t digest = 0x811c9dc5U;
    for (const char c : russian) {
        digest = (digest ^ static_cast<unsigned char>(c)) * 0x01000193U;
    }
    return digest;
}

bool loadCatalogue(Language language, std::string_view data) {
    if (language != Language::English) {
        return false;
    }
    if (data.empty()) {
        loadedEnglish.reset();
        return true;
    }
    auto loaded = std::make_unique<LoadedCatalogue>();
    loaded->data = data;
    std::string_view rest = loaded->data;
    const auto field = [&rest](std::string_view& out) {
        const std::size_t end = rest.find('\0');
        if (end == std::string_view::npos) {
            return false;
        }
        out = rest.substr(0, end);
        rest.remove_prefix(end + 1);
        return true;
    };
    while (!rest.empty()) {
        std::string_view context;
        std::string_view digest;
        LoadedEntry entry{};
        if (!field(context) || !field(digest) || !field(entry.translation) || context.empty() ||
            digest.size() != 8) {
            return false;
        }
        const auto [end, problem] =
            std::from_chars(digest.data(), digest.data() + digest.size(), entry.russian, 16);
        if (problem != std::errc() || end != digest.data() + digest.size()) {
            return false;
        }
        entry.context = context;
        loaded->entries.push_back(entry);
    }
    std::stable_sort(
        loaded->entries.begin(), loaded->entries.end(),
        [](const LoadedEntry& a, const LoadedEntry& b) { return a.context < b.context; });
    loadedEnglish = std::move(loaded);
    return true;
}

std::string_view translated(Language language, std::string_view context, std::string_view russian) {
    if (language == Language::English && loadedEnglish) {
        const std::vector<LoadedEntry>& entries = loadedEnglish->entries;
        auto found = std::lower_bound(entries.begin(), entries.end(), context,
                                      [](const LoadedEntry& entry, std::string_view wanted) {
                                          return entry.context < wanted;
                                      });
        const std::uint32_t digest = russianDigest(russian);
        for (; found != entries.end() && found->context == context; ++found) {
            if (found->russian == digest) {
                return found->translation;
            }
        }
        return russian;
    }
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
    add(kNoSoundWarning,
        "Said on the terminal when the game has no sound; followed by \": \" and "
        "one of the causes below.");
    add(kNoAudioDeviceText, "Follows the no-sound line.");
    add(kNoSoundModuleText,
        "Follows the no-sound line. {folders}: the folders looked in, "
        "separated by commas.");
    add(kNoGameFolderText, "Follows the no-sound line.");
    add(kModuleRefusedText,
        "Follows the no-sound line. {module}: the file's path; {reason}: one "
        "of the reasons below.");
    for (const Text& reason : kModuleRefusalTexts) {
        add(reason,
            "Why a sound module was not loaded: put in {reason}. {path}: the file or "
            "folder at fault.");
    }
    add(kItemsHeldText, "Followed by the items held, parted by commas, and a full stop.");
    add(kNoItemsText, "Said when the player asks for the items and holds none.");
    add(kItemGainedText, "Followed by the item's name and a full stop.");
    add(kItemLostText, "Followed by the item's name and a full stop.");
    for (const Text& none : kNoSuchChoiceTexts) {
        add(none, "Said when the player presses a digit with no such choice on the screen.");
    }
    add(kPickChoiceText,
        "Followed by a dash and the last choice's number when there are more "
        "than one, then a full stop.");
    add(kEnterPressesText, "Followed by the caption of the button Enter presses.");
    add(kEnterPressesEndText, "Closes the caption's quotes.");
    add(kGameRoleText, "What a screen reader calls the page's game area, in lower case.");
    for (const Text& page : {kPageClosedText, kPageStartAgainText, kPageLanguageText,
                             kPageLayoutText, kPageWindowLayoutText, kPageReadingLayoutText}) {
        add(page, "On the web page around the game.");
    }
    add(kReadAloudCaption, "The narrator's switch, in the window's corner and on the web page.");
    add(kReadAloudHint,
        "The window's tip for the narrator's switch: М is the key's Russian letter.");
    add(kReadAloudNote, "The web page's description of the narrator's switch.");
    for (const Text& said : {kReadAloudOnText, kReadAloudOffText, kNoSpeechText, kNoVoiceText,
                             kScreenReaderRunningText}) {
        add(said, "Said and shown when the narrator is switched.");
    }
    for (const Text& loading :
         {kPageLoaderNameText, kPageLoaderPlaceText, kPageLoadingText, kPageRetryText,
          kPageNoWebAssemblyText, kPageOldBrowserText, kPageDownloadFailedText, kPageStalledText,
          kPageMissingFileText, kPageStartFailedText, kPageOfflineText, kPageNotOfflineText}) {
        add(loading, "On the page's loading screen, before the game has arrived.");
    }
    return texts;
}

}  // namespace tovik::story
