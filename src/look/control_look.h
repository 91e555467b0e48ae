#pragma once

#include <string_view>

#include "form/control_layout.h"
#include "form/controls.h"

namespace tovik {

// How each control is drawn, which only the views need: the game itself never reads a font
// size, a background or a picture. Positions and captions are in form/control_layout.h.
struct ControlLook {
    int fontPixels = 0;          // labels: 9.75 pt = 13 px, 13.5 pt = 18 px, 24 pt = 32 px
    Colour backColour = 0;       // labels
    bool autoSize = false;       // labels: grow right and down on one line instead of wrapping
    std::string_view picture{};  // picture boxes: the bitmap's file name
};

const ControlLook& lookOf(ControlId id);

inline constexpr std::string_view kWindowTitle = "Form1";

// The system's menu-text colour, which the window uses as its own background.
inline constexpr Colour kFormBackColour = 0x000000;

// The button's caption is drawn in the small label font.
inline constexpr int kButtonFontPixels = 13;

// A control's place on the window in pixels: left, top, width, height.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

constexpr PixelRect pixelRectOf(const ControlLayout& layout) {
    return {toPixels(layout.left), toPixels(layout.top), toPixels(layout.width),
            toPixels(layout.height)};
}

inline constexpr int kClientWidthPixels = toPixels(kClientWidthTwips);
inline constexpr int kClientHeightPixels = toPixels(kClientHeightTwips);

}  // namespace tovik
