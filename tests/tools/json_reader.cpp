#include "json_reader.h"

#include <nlohmann/json.hpp>

namespace tovik::testing {

namespace {

Json of(const nlohmann::ordered_json& read) {
    Json value;
    if (read.is_boolean()) {
        value.kind = Json::Kind::Boolean;
        value.boolean = read.get<bool>();
    } else if (read.is_number_integer()) {
        value.kind = Json::Kind::Number;
        value.number = read.get<std::int64_t>();
    } else if (read.is_string()) {
        value.kind = Json::Kind::String;
        value.string = read.get<std::string>();
    } else if (read.is_object()) {
        value.kind = Json::Kind::Object;
        for (const auto& [name, member] : read.items()) {
            value.names.push_back(name);
            value.values.push_back(of(member));
        }
    } else if (!read.is_null()) {
        throw std::runtime_error("the player writes no " + std::string(read.type_name()));
    }
    return value;
}

}  // namespace

Json Json::parse(std::string_view text) {
    return of(nlohmann::ordered_json::parse(text));
}

}  // namespace tovik::testing
