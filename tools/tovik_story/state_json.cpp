#include "tovik_story/state_json.h"

#include <array>

#include "story/scene_catalogue.h"

namespace tovik::tools {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0 if there is none:
// no stray continuation byte, no overlong form, no surrogate, nothing above U+10FFFF.
std::size_t utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;  // the range allowed for the second byte
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
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '"';
    // Whatever needs no escape is copied a run at a time.
    std::size_t run = 0;
    std::size_t at = 0;
    const auto flush = [&] { out.append(text.substr(run, at - run)); };
    while (at < text.size()) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\') {
            ++at;
            continue;
        }
        if (byte >= 0x80) {
            if (const std::size_t length = utf8SequenceLength(text.substr(at)); length > 0) {
                at += length;
                continue;
            }
        }
        flush();
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += kReplacement;
        }
        run = ++at;
    }
    flush();
    out += '"';
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
