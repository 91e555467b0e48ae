#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tovik {

// The 26 controls of the game window. Nothing is created or moved while the game runs: every
// screen is made by changing the captions, colours and visibility of these.
enum class ControlId : std::uint8_t {
    // labels
    NameGame2,
    Start,
    Creator,
    Info,
    R1,
    R2,
    R3,
    R4,
    R5,
    Status,
    Life,
    LifeOpponent,
    EndGame,
    WinGame,
    // command button
    Attack,
    // picture boxes
    NameGame1,
    TovikImage,
    Quit,
    Item1,
    Item2,
    Item3,
    Item4,
    // timers
    HealthTimer,
    Death,
    Win,
    ColorChanger,
};

inline constexpr std::size_t kControlCount = 26;

enum class ControlKind : std::uint8_t { Label, Button, Picture, Timer };

// A text colour as 0xRRGGBB.
using Colour = std::uint32_t;

// The choice labels, top to bottom: a scene offers at most this many choices.
inline constexpr std::array<ControlId, 5> kChoiceLabels = {
    ControlId::R1, ControlId::R2, ControlId::R3, ControlId::R4, ControlId::R5};
inline constexpr std::size_t kChoiceLabelCount = kChoiceLabels.size();

inline constexpr std::array<ControlId, 4> kItems = {ControlId::Item1, ControlId::Item2,
                                                    ControlId::Item3, ControlId::Item4};

// What the title screen shows, and what the start of play puts away.
inline constexpr std::array<ControlId, 5> kTitleScreen = {
    ControlId::NameGame1, ControlId::NameGame2, ControlId::Start, ControlId::Creator,
    ControlId::TovikImage};

constexpr std::size_t indexOf(ControlId id) {
    return static_cast<std::size_t>(id);
}

// Whether a table with one row a control (each row naming its control in `id`) lists them in
// the order of ControlId, so that a control's row is found by its index.
template <typename Row, std::size_t N>
constexpr bool inControlOrder(const std::array<Row, N>& rows) {
    for (std::size_t i = 0; i < N; ++i) {
        if (indexOf(rows[i].id) != i) {
            return false;
        }
    }
    return N == kControlCount;
}

ControlKind kindOf(ControlId id);
std::string_view nameOf(ControlId id);
std::optional<ControlId> controlNamed(std::string_view name);
const std::array<ControlId, kControlCount>& allControls();

}  // namespace tovik
