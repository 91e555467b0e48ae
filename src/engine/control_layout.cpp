#include "engine/control_layout.h"

#include <array>

namespace tovik {

namespace {

using enum ControlId;

constexpr int kSmall = 13;   // 9.75 pt
constexpr int kMedium = 18;  // 13.5 pt
constexpr int kLarge = 32;   // 24 pt

constexpr ControlLayout label(ControlId id, int left, int top, int width, int height,
                              std::string_view caption, Colour text, Colour back, int font,
                              bool autoSize, bool visible) {
    return {.id = id,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .caption = caption,
            .textColour = text,
            .backColour = back,
            .fontPixels = font,
            .autoSize = autoSize,
            .visible = visible};
}

constexpr ControlLayout picture(ControlId id, int left, int top, int width, int height,
                                std::string_view bitmap, bool visible) {
    return {.id = id,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .visible = visible,
            .picture = bitmap};
}

constexpr ControlLayout timer(ControlId id, int intervalMs, bool enabled) {
    return {.id = id, .intervalMs = intervalMs, .enabled = enabled};
}

// In the order of ControlId.
constexpr std::array<ControlLayout, kControlCount> kLayout = {{
    label(NameGame2, 1800, 3600, 5775, 1095, "в магическом подземелье", 0xFFFFFF, kMenuTextColour,
          kLarge, false, true),
    label(Start, 3600, 5160, 1695, 615, "СТАРТ", 0xFFFFFF, kMenuTextColour, kLarge, false, true),
    label(Creator, 8520, 2400, 2520, 720, kCreatorCredit, 0xFF8000, 0x000000, kSmall, false, true),
    label(Info, 1440, 480, 6135, 4665, kPlaceholderCaption, 0x00FF00, 0x000000, kSmall, false,
          false),
    label(R1, 4080, 5880, 255, 240, kPlaceholderCaption, 0x008000, 0x000000, kSmall, true, false),
    label(R2, 4080, 6240, 255, 240, kPlaceholderCaption, 0x008000, 0x000000, kSmall, true, false),
    label(R3, 4080, 6600, 255, 240, kPlaceholderCaption, 0x008000, 0x000000, kSmall, true, false),
    label(R4, 4080, 6960, 255, 240, kPlaceholderCaption, 0x008000, 0x000000, kSmall, true, false),
    label(R5, 4080, 7320, 255, 240, kPlaceholderCaption, 0x008000, 0x000000, kSmall, true, false),
    label(Status, 600, 7680, 3015, 255, "", 0xFF00FF, 0x000000, kSmall, false, true),
    label(Life, 360, 8040, 1500, 360, "ЖИЗНЬ: 60", 0x00C000, 0x000000, kMedium, true, true),
    label(LifeOpponent, 2280, 8040, 1500, 360, "ЖИЗНЬ: 60", 0xFF0000, 0x000000, kMedium, true,
          false),
    label(EndGame, 1560, 5760, 5775, 1095, kDefeatBanner, 0xFF0000, 0x000000, kLarge, false, false),
    label(WinGame, 1560, 5760, 5775, 1095, kVictoryBanner, 0x80FF80, 0x000000, kLarge, false,
          false),
    {.id = Attack,
     .left = 1200,
     .top = 6960,
     .width = 1215,
     .height = 615,
     .caption = "Атака!",
     .visible = false},
    picture(NameGame1, 2160, 960, 5055, 2355, "title.bmp", true),
    picture(TovikImage, 7920, 3600, 2955, 3705, "hero.bmp", true),
    picture(Quit, 9600, 720, 1485, 1425, "quit.bmp", true),
    picture(Item1, 8520, 3240, 960, 825, "item_scroll.bmp", false),
    picture(Item2, 9720, 3240, 960, 825, "item_furball.bmp", false),
    picture(Item3, 8520, 4320, 960, 825, "item_trident.bmp", false),
    picture(Item4, 9720, 4320, 960, 825, "item_necklace.bmp", false),
    timer(HealthTimer, 500, true),
    timer(Death, 25000, false),
    timer(Win, 25000, false),
    timer(ColorChanger, 50, false),
}};

constexpr bool layoutInControlOrder() {
    for (std::size_t i = 0; i < kLayout.size(); ++i) {
        if (indexOf(kLayout[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(layoutInControlOrder());

}  // namespace

const ControlLayout& layoutOf(ControlId id) {
    return kLayout[indexOf(id)];
}

}  // namespace tovik
