#pragma once

#include <optional>
#include <string>

#include "engine/exit_question.h"

namespace tovik::testing {

// Answers the exit question as scripted, or leaves it open.
struct ScriptedAnswer final : ExitQuestion {
    std::optional<bool> ask(std::string_view title, std::string_view text) override {
        ++asked;
        lastTitle = title;
        lastText = text;
        return answer;
    }

    std::optional<bool> answer;
    int asked = 0;
    std::string lastTitle;
    std::string lastText;
};

}  // namespace tovik::testing
