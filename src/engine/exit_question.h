#pragma once

#include <optional>
#include <string_view>

namespace tovik {

// Asks the player whether to leave the game. The window answers at once with a modal box;
// a scripted player may leave the question open and answer it later.
class ExitQuestion {
  public:
    virtual ~ExitQuestion() = default;
    // true for Yes, false for No, nothing while the question stays open.
    virtual std::optional<bool> ask(std::string_view title, std::string_view text) = 0;
};

inline constexpr std::string_view kExitTitle = "Товик Ларминов в магическом подземелье";
inline constexpr std::string_view kExitText =
    "Вы точно хотите выйти из игры «Товик Ларминов в магическом подземелье»?";

}  // namespace tovik
