#include "engine/command_line.h"

#include "engine/random_source.h"

namespace tovik {

const std::string* GivenOptions::value(std::string_view name) const {
    const auto found = values.find(name);
    return found == values.end() ? nullptr : &found->second;
}

std::variant<GivenOptions, std::string> parseOptions(std::span<const std::string_view> arguments,
                                                     std::span<const OptionRule> rules,
                                                     std::size_t operands) {
    GivenOptions given;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view word = arguments[i];
        if (word == "-h" || word == "--help") {
            given.values.insert_or_assign("help", "");
            continue;
        }
        if (!word.starts_with("--")) {
            if (word.starts_with("-") || given.operands.size() == operands) {
                return "unexpected argument " + quotedText(word);
            }
            given.operands.emplace_back(word);
            continue;
        }
        word.remove_prefix(2);
        std::optional<std::string_view> attached;
        if (const std::size_t equals = word.find('='); equals != std::string_view::npos) {
            attached = word.substr(equals + 1);
            word = word.substr(0, equals);
        }
        const OptionRule* rule = nullptr;
        for (const OptionRule& candidate : rules) {
            if (candidate.name == word) {
                rule = &candidate;
            }
        }
        if (rule == nullptr) {
            return "unknown option " + quotedText(arguments[i]);
        }
        const std::string shown = "--" + std::string(rule->name);
        if (given.has(rule->name)) {
            return shown + " given twice";
        }
        std::string value;
        if (rule->takesValue) {
            if (attached) {
                value = *attached;
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return shown + " needs a value";
            }
        } else if (attached) {
            return shown + " takes no value";
        }
        given.values.emplace(rule->name, std::move(value));
    }
    return given;
}

std::variant<std::uint64_t, std::string> seedOption(std::string_view text) {
    if (const std::optional<std::uint64_t> seed = parseSeed(text)) {
        return *seed;
    }
    return "--seed takes a whole number from 0 to 18446744073709551615, not " + quotedText(text);
}

std::variant<story::Language, std::string> languageOption(std::string_view text) {
    if (const std::optional<story::Language> language = story::languageNamed(text)) {
        return *language;
    }
    return "--lang takes ru or en, not " + quotedText(text);
}

namespace {

// The length of the well-formed UTF-8 character `text` starts with, or 0 when it starts with a
// byte that begins none (a stray continuation, an overlong form, a surrogate, past U+10FFFF, a
// character cut short).
std::size_t characterLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace

std::string printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text.front());
        const std::size_t length = characterLength(text);
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            switch (byte) {
                case '\n':
                    shown += "\\n";
                    break;
                case '\t':
                    shown += "\\t";
                    break;
                case '\r':
                    shown += "\\r";
                    break;
                default:
                    shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
            }
            text.remove_prefix(1);
        } else if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0) {
            // U+0080 to U+009F: terminals take U+009B as the start of a control sequence.
            const auto code = static_cast<unsigned char>(text[1]);
            shown += {'\\', 'u', '0', '0', kHex[code >> 4], kHex[code & 0xF]};
            text.remove_prefix(2);
        } else {
            if (byte == '\\') {
                shown += '\\';
            }
            shown.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return shown;
}

std::string quotedText(std::string_view text) {
    return "'" + printable(text) + "'";
}

}  // namespace tovik
