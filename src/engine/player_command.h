#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "form/controls.h"

namespace tovik {

// One thing a player does to the game window, as a line of text: "click NAME", "move NAME"
// ("Form" is the window's background), "tick TIMER" or "answer yes|no". The headless player
// and the window's replays read the same lines.
enum class Verb { Click, Move, Tick, Answer };

struct PlayerCommand {
    Verb verb{};
    std::optional<ControlId> control;  // nothing: the form's background
    bool yes = false;
};

// The command on one line, or why it is none. A trailing carriage return is ignored.
std::variant<PlayerCommand, std::string> parsePlayerCommand(std::string_view line);

}  // namespace tovik
