#pragma once

#include <cctype>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tovik::testing {

// Reads back what the player writes: objects, strings, whole numbers, true, false and null.
// Anything else, or anything malformed, throws, so a test that reads a line also checks that
// it is well-formed JSON.
struct Json {
    enum class Kind { Null, Boolean, Number, String, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    std::int64_t number = 0;
    std::string string;
    // An object's members in order, as two lists: a pair holding a Json would need Json complete
    // here, which clang's checks of the standard library refuse.
    std::vector<std::string> names;
    std::vector<Json> values;

    bool isNull() const { return kind == Kind::Null; }

    const Json& operator[](std::string_view key) const {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] == key) {
                return values[i];
            }
        }
        throw std::out_of_range("no member " + std::string(key));
    }

    std::vector<std::string> keys() const { return names; }

    static Json parse(std::string_view text) {
        Reader reader{text};
        Json value = reader.value();
        reader.skipBlanks();
        if (reader.position != text.size()) {
            reader.fail("text after the value");
        }
        return value;
    }

  private:
    struct Reader {
        std::string_view text;
        std::size_t position = 0;

        [[noreturn]] void fail(const std::string& why) const {
            throw std::runtime_error("bad JSON at " + std::to_string(position) + ": " + why);
        }
        void skipBlanks() {
            while (position < text.size() &&
                   std::string_view(" \t\r\n").find(text[position]) != std::string_view::npos) {
                ++position;
            }
        }
        char peek() {
            skipBlanks();
            if (position == text.size()) {
                fail("unexpected end");
            }
            return text[position];
        }
        void expect(char c) {
            if (peek() != c) {
                fail(std::string("expected ") + c);
            }
            ++position;
        }
        bool take(std::string_view word) {
            if (text.substr(position, word.size()) != word) {
                return false;
            }
            position += word.size();
            return true;
        }
        bool consume(std::string_view word) {
            skipBlanks();
            return take(word);
        }

        Json value() {
            Json json;
            const char c = peek();
            if (c == '{') {
                json.kind = Kind::Object;
                ++position;
                if (peek() == '}') {
                    ++position;
                    return json;
                }
                do {
                    std::string key = stringValue();
                    expect(':');
                    json.names.push_back(std::move(key));
                    json.values.push_back(value());
                } while (consume(","));
                expect('}');
            } else if (c == '"') {
                json.kind = Kind::String;
                json.string = stringValue();
            } else if (consume("true")) {
                json.kind = Kind::Boolean;
                json.boolean = true;
            } else if (consume("false")) {
                json.kind = Kind::Boolean;
            } else if (consume("null")) {
                json.kind = Kind::Null;
            } else if (c == '-' || (c >= '0' && c <= '9')) {
                json.kind = Kind::Number;
                const std::size_t start = position;
                if (text[position] == '-') {
                    ++position;
                }
                while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
                    ++position;
                }
                json.number = std::stoll(std::string(text.substr(start, position - start)));
            } else {
                fail("unexpected character");
            }
            return json;
        }

        // The player escapes only '"', '\\' and control characters (as \u00XX); any other
        // escape is not what it writes.
        std::string stringValue() {
            expect('"');
            std::string out;
            while (true) {
                if (position == text.size()) {
                    fail("unterminated string");
                }
                const char c = text[position++];
                if (c == '"') {
                    return out;
                }
                if (static_cast<unsigned char>(c) < 0x20) {
                    fail("raw control character in a string");
                }
                if (c != '\\') {
                    out += c;
                } else if (take("\"") || take("\\")) {
                    out += text[position - 1];
                } else if (take("u00") && position + 2 <= text.size() &&
                           std::isxdigit(static_cast<unsigned char>(text[position])) &&
                           std::isxdigit(static_cast<unsigned char>(text[position + 1]))) {
                    out += static_cast<char>(
                        std::stoi(std::string(text.substr(position, 2)), nullptr, 16));
                    position += 2;
                } else {
                    fail("an escape the player does not write");
                }
            }
        }
    };
};

}  // namespace tovik::testing
