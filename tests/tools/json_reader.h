#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>
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

    static Json parse(std::string_view text) { return of(nlohmann::ordered_json::parse(text)); }

  private:
    static Json of(const nlohmann::ordered_json& read) {
        Json value;
        if (read.is_boolean()) {
            value.kind = Kind::Boolean;
            value.boolean = read.get<bool>();
        } else if (read.is_number_integer()) {
            value.kind = Kind::Number;
            value.number = read.get<std::int64_t>();
        } else if (read.is_string()) {
            value.kind = Kind::String;
            value.string = read.get<std::string>();
        } else if (read.is_object()) {
            value.kind = Kind::Object;
            for (const auto& [name, member] : read.items()) {
                value.names.push_back(name);
                value.values.push_back(of(member));
            }
        } else if (!read.is_null()) {
            throw std::runtime_error("the player writes no " + std::string(read.type_name()));
        }
        return value;
    }
};

}  // namespace tovik::testing
