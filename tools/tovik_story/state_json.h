#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/game.h"
#include "form/controls.h"
#include "form/window_model.h"

namespace tovik::tools {

// Writes one JSON object on one line, members in the order they are written, with ", " between
// members and ": " after a key. Text is kept as UTF-8; only what JSON demands is escaped.
class JsonWriter {
  public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& key(std::string_view name);
    JsonWriter& string(std::string_view text);
    JsonWriter& number(std::int64_t value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();
    JsonWriter& strings(const std::vector<std::string>& texts);  // a list of texts

    const std::string& text() const { return text_; }

  private:
    std::string text_;
    std::vector<bool> memberWritten_;  // one per open object
};

// `text` as a quoted JSON string: '"', '\' and control characters escaped, everything else
// passed through. A byte that is not part of well-formed UTF-8 becomes U+FFFD, so a stray byte
// on the input cannot spoil the output.
void appendJsonString(std::string& out, std::string_view text);

// A text colour as "#RRGGBB", upper case.
std::string colourText(Colour colour);

// The exit question while it waits for an answer.
struct OpenQuestion {
    std::string title;
    std::string text;
};

// Everything a player of the window could see or hear, and the game's members, as one line.
// `plays` counts the sounds played so far; `question` is the open exit question, if any.
std::string stateLine(const Game& game, const WindowModel& window, int plays,
                      const std::optional<OpenQuestion>& question);

// The reply to a line that is not a command: {"error": "<why>"}.
std::string errorLine(std::string_view why);

}  // namespace tovik::tools
