#include "tovik_story/catalogue_template.h"

#include <string>
#include <string_view>

#include "story/language.h"

namespace tovik::tools {

namespace {

// A string in the catalogue's quoting: a passage's line breaks start new quoted lines, as
// translators' tools show them.
std::string poQuoted(std::string_view text) {
    std::string out = "\"";
    const bool multiline = text.find('\n') != std::string_view::npos;
    if (multiline) {
        out += "\"\n\"";
    }
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n\"\n\"";
                break;
            default:
                out += c;
        }
    }
    out += '"';
    // A text ending in a line break would leave an empty quoted line behind.
    const std::string emptyTail = "\n\"\"";
    if (out.size() > emptyTail.size() && out.ends_with(emptyTail)) {
        out.resize(out.size() - emptyTail.size());
    }
    return out;
}

}  // namespace

void writeCatalogueTemplate(std::ostream& out) {
    out << "# Every text of the game, in Russian, for translating.\n"
           "# Each text's context says where it is shown; a language's catalogue is po/LL.po.\n"
           "msgid \"\"\n"
           "msgstr \"\"\n"
           "\"Project-Id-Version: tovik\\n\"\n"
           "\"MIME-Version: 1.0\\n\"\n"
           "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
           "\"Content-Transfer-Encoding: 8bit\\n\"\n"
           "\"Language: \\n\"\n";
    for (const story::TranslatableText& text : story::translatableTexts()) {
        out << '\n';
        if (!text.note.empty()) {
            out << "#. " << text.note << '\n';
        }
        out << "msgctxt " << poQuoted(text.context) << '\n'
            << "msgid " << poQuoted(text.russian) << '\n'
            << "msgstr \"\"\n";
    }
}

}  // namespace tovik::tools
