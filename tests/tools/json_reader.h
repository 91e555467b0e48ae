#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tovik::testing {

// Reads back what the player writes: objects, strings, whole numbers, true, false and null.
// Anything else, or anything malformed, throws.
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

    // Defined once, in json_reader.cpp: the JSON library is a large header to read.
    static Json parse(std::string_view text);
};

}  // namespace tovik::testing
