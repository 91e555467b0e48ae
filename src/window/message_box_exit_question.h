#pragma once

#include <functional>

#include "engine/exit_question.h"

namespace tovik::window {

// The exit question as a modal box with Yes and No, Yes the default and Escape answering No.
class MessageBoxExitQuestion final : public ExitQuestion {
  public:
    // `beforeAsking` lets the window hide itself before the box appears.
    explicit MessageBoxExitQuestion(std::function<void()> beforeAsking)
        : beforeAsking_(std::move(beforeAsking)) {}

    std::optional<bool> ask(std::string_view title, std::string_view text) override;

  private:
    std::function<void()> beforeAsking_;
};

}  // namespace tovik::window
