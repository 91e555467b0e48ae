#pragma once

#include <array>
#include <string_view>

#include "form/controls.h"

namespace tovik {

// The window's design: where each control stands and what it shows when the window is
// created. Positions are in twips, 15 to a pixel, measured from the client area's top-left
// corner; the window is 15,360 x 11,520 twips (1,024 x 768 pixels). How a control is drawn
// (font, background, picture) is the views' business: see look/control_look.h.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 15360;
inline constexpr int kClientHeightTwips = 11520;

constexpr int toPixels(int twips) {
    return twips / kTwipsPerPixel;
}

struct ControlLayout {
    ControlId id{};
    int left = 0;  // twips, like the other three
    int top = 0;
    int width = 0;
    int height = 0;
    std::string_view caption{};  // labels and the button
    Colour textColour = 0;       // labels
    bool visible = false;        // not for timers
    int intervalMs = 0;          // timers
    bool enabled = false;        // timers
};

const ControlLayout& layoutOf(ControlId id);

// The life the hero starts every game with, as the game keeps it: decimal text.
inline constexpr std::string_view kStartingLife = "60";

// Colours the game sets again after the design has set them first.
inline constexpr Colour kChoiceColour = 0x008000;
inline constexpr Colour kBannerColour = 0xFF0000;  // both banners, until a victory's cycle

// Texts the window is designed with.
inline constexpr std::string_view kPlaceholderCaption = "Да";
inline constexpr std::string_view kDefeatBanner = "Игра окончена! Ларминов погиб.";
inline constexpr std::string_view kLostBanner = "Игра окончена! Ларминов проиграл.";
inline constexpr std::string_view kVictoryBanner = "Поздравляю с победой! Твоя наставница Марфа.";
inline constexpr std::string_view kCreatorCredit = "Сделано командой проекта «Товик Ларминов»";
inline constexpr std::string_view kLifePrefix = "ЖИЗНЬ: ";
inline constexpr std::string_view kSubtitle = "в магическом подземелье";
inline constexpr std::string_view kStartCaption = "СТАРТ";
inline constexpr std::string_view kAttackCaption = "Атака!";

}  // namespace tovik
