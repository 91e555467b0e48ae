// Writes what the page shows before its engine has arrived, from the game's own texts and its
// own choice of language, as one JSON object that web/make_site.py writes into the page:
//   {"languages": ["ru", "en"], "otherwise": "en", "words": {"ru": {"loading": ...}, ...}}
// "otherwise" is the language of a browser that prefers none of the game's, as it is for a
// locale of another language.
#include <iostream>
#include <nlohmann/json.hpp>
#include <utility>

#include "story/interface_texts.h"
#include "story/language.h"

int main() {
    using namespace tovik::story;
    const std::pair<const char*, Text> kWords[] = {
        {"title", kGameTitleText},
        {"keys-help", kKeysHelpText},
        {"loader-name", kPageLoaderNameText},
        {"loader-place", kPageLoaderPlaceText},
        {"loading", kPageLoadingText},
        {"retry", kPageRetryText},
        {"nowasm", kPageNoWebAssemblyText},
        {"old", kPageOldBrowserText},
        {"download", kPageDownloadFailedText},
        {"stalled", kPageStalledText},
        {"missing", kPageMissingFileText},
        {"error", kPageStartFailedText},
        {"offline", kPageOfflineText},
        {"notOffline", kPageNotOfflineText},
    };
    nlohmann::ordered_json page;
    page["languages"] = nlohmann::json::array();
    for (Language language : kAllLanguages) {
        const std::string code(codeOf(language));
        page["languages"].push_back(code);
        for (const auto& [id, text] : kWords) {
            page["words"][code][id] = std::string(translated(language, text.context, text.russian));
        }
    }
    // "und", the tag of no language in particular, stands for every language the game lacks.
    page["otherwise"] = std::string(codeOf(languageOfLocale("und").value_or(Language::Russian)));
    std::cout << page.dump(1) << '\n';
    return 0;
}
