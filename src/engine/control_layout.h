#pragma once

#include <optional>
#include <string_view>

#include "engine/controls.h"

namespace tovik {

// The window's design: where each control stands, how it looks and what it shows when the
// window is created. Positions are in twips, 15 to a pixel, measured from the client area's
// top-left corner; the window is 15,360 x 11,520 twips (1,024 x 768 pixels).
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 15360;
inline constexpr int kClientHeightTwips = 11520;
inline constexpr std::string_view kWindowTitle = "Form1";

// The system's menu-text colour, which the window uses as its own background.
inline constexpr Colour kMenuTextColour = 0x000000;

struct ControlLayout {
    ControlId id{};
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string_view caption{};  // labels and the button
    Colour textColour = 0;       // labels
    Colour backColour = 0;       // labels
    int fontPixels = 0;          // labels: 9.75 pt = 13 px, 13.5 pt = 18 px, 24 pt = 32 px
    bool autoSize = false;       // labels: grow right and down on one line
    bool visible = false;        // not for timers
    std::string_view picture{};  // picture boxes: the bitmap's name
    int intervalMs = 0;          // timers
    bool enabled = false;        // timers
};

const ControlLayout& layoutOf(ControlId id);

// Texts the window is designed with.
inline constexpr std::string_view kPlaceholderCaption = "Да";
inline constexpr std::string_view kDefeatBanner = "Игра окончена! Ларминов погиб.";
inline constexpr std::string_view kLostBanner = "Игра окончена! Ларминов проиграл.";
inline constexpr std::string_view kVictoryBanner = "Поздравляю с победой!!!  Твоя наставница Марфа.";
inline constexpr std::string_view kCreatorCredit = "Сделано командой проекта «Товик Ларминов»";
inline constexpr std::string_view kLifePrefix = "ЖИЗНЬ: ";

}  // namespace tovik
