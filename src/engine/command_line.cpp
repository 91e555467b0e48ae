#include "engine/command_line.h"

#include "engine/random_source.h"

namespace tovik {

const std::string* GivenOptions::value(std::string_view name) const {
    const auto found = values.find(name);
    return found == values.end() ? nullptr : &found->second;
}

std::variant<GivenOptions, std::string> parseOptions(std::span<const std::string_view> arguments,
                                                     std::span<const OptionRule> rules) {
    GivenOptions given;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view word = arguments[i];
        if (word == "-h" || word == "--help") {
            given.values.insert_or_assign("help", "");
            continue;
        }
        if (!word.starts_with("--")) {
            return "unexpected argument " + quotedText(word);
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

std::string printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\n':
                shown += "\\n";
                break;
            case '\t':
                shown += "\\t";
                break;
            case '\r':
                shown += "\\r";
                break;
            case '\\':
                shown += "\\\\";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    shown += "\\x";
                    shown += kHex[byte >> 4];
                    shown += kHex[byte & 0xF];
                } else {
                    shown += c;
                }
        }
    }
    return shown;
}

std::string quotedText(std::string_view text) {
    return "'" + printable(text) + "'";
}

}  // namespace tovik
