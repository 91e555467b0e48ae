#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "story/keys.h"

namespace tovik::story {

// Russian is the language the game is written in: every text lives in the code in Russian, and
// another language is a catalogue of translations keyed by where the text is shown.
enum class Language : std::uint8_t { Russian, English };

inline constexpr Language kAllLanguages[] = {Language::Russian, Language::English};

// "ru", "en": the names on the command line, in the page's address and in the catalogues.
std::string_view codeOf(Language language);
std::optional<Language> languageNamed(std::string_view code);

// The language of a locale name such as "ru_RU.UTF-8", "en_GB" or "de": Russian for Russian,
// English for any other language. "C", "POSIX" and an empty name choose no language at all,
// and give nothing.
std::optional<Language> languageOfLocale(std::string_view locale);

// The language the environment asks for, read as the C library reads it: LANGUAGE (its first
// entry), then LC_ALL, LC_MESSAGES and LANG. A machine without a locale plays the game in the
// language it was written in.
Language languageOfEnvironment(const char* (*variable)(const char* name));

// The language everything shown from now on is in. It is chosen once, before the game starts.
Language currentLanguage();
void setLanguage(Language language);

// The picture file to show for `picture` in the current language: the title's lettering spells
// the hero's name in the language's letters.
std::string_view localisedPicture(std::string_view picture);

// A text the player sees or hears, named by its catalogue context.
struct Text {
    std::string_view context;
    std::string_view russian;
};

// `russian` in the current language. The translation is used only while the catalogue still
// translates this very Russian text: after the Russian has changed, the Russian is shown until
// the catalogue catches up.
std::string_view translated(std::string_view context, std::string_view russian);
std::string_view translated(Language language, std::string_view context, std::string_view russian);
inline std::string_view translated(const Text& text) {
    return translated(text.context, text.russian);
}

// One translation of a catalogue.
struct CatalogueEntry {
    std::string_view context;
    std::string_view russian;
    std::string_view translation;
};

// The entries of a language's catalogue, ordered by context and then by Russian text; none for
// Russian, and none for a build that reads its catalogues as data (the page), whose
// translations come from loadCatalogue.
std::span<const CatalogueEntry> catalogueOf(Language language);

// The digest a catalogue read as data names its Russian text by: 32-bit FNV-1a of the UTF-8
// bytes. It keeps the data small (a context holds a dozen texts at most, and the build refuses
// two of one context with the same digest), and a changed Russian text still falls back to
// Russian.
std::uint32_t russianDigest(std::string_view russian);

// Takes `language`'s translations from `data`, as tools/catalogue/po_to_cpp.py --data writes
// them: for each entry its context, the digest of its Russian text in 8 hexadecimal digits
// and its translation, each ended by a NUL. Called before anything is shown, as a text given
// out earlier does not outlive a later load. Damaged data gives false and loads nothing; empty
// data forgets what was loaded.
bool loadCatalogue(Language language, std::string_view data);

// A text with its context and, for a translator, what to mind.
struct TranslatableText {
    std::string context;
    std::string russian;
    std::string note;  // empty when there is nothing to say
};

// Every text that can be shown or spoken, in Russian, each once, in the order a translator
// meets them: the title screen, the story, the fights, the endings, the reader, the window.
std::vector<TranslatableText> translatableTexts();

// The catalogue context of scene `number`'s passage ("passage:12"), of the opening passage
// and of a caption key ("caption:K007").
std::string passageContext(int number);
inline constexpr std::string_view kOpeningPassageContext = "passage:opening";
std::string captionContext(Key key);

}  // namespace tovik::story
