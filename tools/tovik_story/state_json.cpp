#include "tovik_story/state_json.h"

#include <nlohmann/json.hpp>

#include "story/scene_catalogue.h"

namespace tovik::tools {

namespace {

void writeControls(JsonWriter& json, const WindowModel& window) {
    json.key("controls").beginObject();
    for (ControlId id : allControls()) {
        const ControlKind kind = kindOf(id);
        if (kind == ControlKind::Timer) {
            continue;
        }
        json.key(nameOf(id)).beginObject();
        json.key("visible").boolean(window.isVisible(id));
        if (kind == ControlKind::Label || kind == ControlKind::Button) {
            json.key("caption").string(window.caption(id));
        }
        if (kind == ControlKind::Label) {
            json.key("color").string(colourText(window.textColour(id)));
        }
        json.endObject();
    }
    json.endObject();
}

}  // namespace

JsonWriter& JsonWriter::beginObject() {
    text_ += '{';
    memberWritten_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    memberWritten_.pop_back();
    text_ += '}';
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    if (memberWritten_.back()) {
        text_ += ", ";
    }
    memberWritten_.back() = true;
    appendJsonString(text_, name);
    text_ += ": ";
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view text) {
    appendJsonString(text_, text);
    return *this;
}

JsonWriter& JsonWriter::number(std::int64_t value) {
    text_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::strings(const std::vector<std::string>& texts) {
    text_ += '[';
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) {
            text_ += ", ";
        }
        appendJsonString(text_, texts[i]);
    }
    text_ += ']';
    return *this;
}

JsonWriter& JsonWriter::null() {
    text_ += "null";
    return *this;
}

void appendJsonString(std::string& out, std::string_view text) {
    // The library escapes only what JSON demands and replaces each byte that is not part of
    // well-formed UTF-8 with U+FFFD.
    out += nlohmann::json(std::string(text))
               .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string colourText(Colour colour) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text = "#";
    for (int shift = 20; shift >= 0; shift -= 4) {
        text += kHex[(colour >> shift) & 0xF];
    }
    return text;
}

std::string stateLine(const Game& game, const WindowModel& window, int plays,
                      const std::optional<OpenQuestion>& question) {
    JsonWriter json;
    json.beginObject();

    json.key("scene");
    if (const std::optional<int> scene = story::sceneWithPassage(window.caption(ControlId::Info))) {
        json.number(*scene);
    } else {
        json.null();
    }
    json.key("Health").string(game.Health());
    json.key("HealthOpponent").string(game.HealthOpponent());
    json.key("NameOpponent").string(game.NameOpponent());
    json.key("Roll").string(game.Roll());
    json.key("Ring").string(game.Ring());

    writeControls(json, window);

    json.key("timers").beginObject();
    for (ControlId timer :
         {ControlId::HealthTimer, ControlId::Death, ControlId::Win, ControlId::ColorChanger}) {
        json.key(nameOf(timer)).boolean(window.isTimerEnabled(timer));
    }
    json.endObject();

    json.key("window").string(windowStateName(window.state()));

    json.key("question");
    if (question) {
        json.beginObject();
        json.key("title").string(question->title);
        json.key("text").string(question->text);
        json.endObject();
    } else {
        json.null();
    }

    // Once the window has been unloaded the player is gone: its two properties are null, while
    // the count of sounds played stays.
    json.key("sound").beginObject();
    if (const sound::WavePlayer* player = game.Sound()) {
        json.key("Filename").string(player->Filename);
        json.key("Flags").number(player->Flags);
    } else {
        json.key("Filename").null();
        json.key("Flags").null();
    }
    json.key("plays").number(plays);
    json.endObject();

    json.endObject();
    return json.text();
}

std::string errorLine(std::string_view why) {
    JsonWriter json;
    json.beginObject().key("error").string(why).endObject();
    return json.text();
}

}  // namespace tovik::tools
