#include "look/control_look.h"

#include <array>

namespace tovik {

namespace {

using enum ControlId;

constexpr int kSmall = 13;   // 9.75 pt
constexpr int kMedium = 18;  // 13.5 pt
constexpr int kLarge = 32;   // 24 pt

struct Row {
    ControlId id;
    ControlLook look;
};

constexpr Row label(ControlId id, int font, Colour back, bool autoSize) {
    return {id, {.fontPixels = font, .backColour = back, .autoSize = autoSize}};
}

constexpr Row picture(ControlId id, std::string_view bitmap) {
    return {id, {.picture = bitmap}};
}

constexpr Row plain(ControlId id) {
    return {id, {}};
}

// In the order of ControlId.
constexpr std::array<Row, kControlCount> kLooks = {{
    label(NameGame2, kLarge, kFormBackColour, false),
    label(Start, kLarge, kFormBackColour, false),
    label(Creator, kSmall, 0x000000, false),
    label(Info, kSmall, 0x000000, false),
    label(R1, kSmall, 0x000000, true),
    label(R2, kSmall, 0x000000, true),
    label(R3, kSmall, 0x000000, true),
    label(R4, kSmall, 0x000000, true),
    label(R5, kSmall, 0x000000, true),
    label(Status, kSmall, 0x000000, false),
    label(Life, kMedium, 0x000000, true),
    label(LifeOpponent, kMedium, 0x000000, true),
    label(EndGame, kLarge, 0x000000, false),
    label(WinGame, kLarge, 0x000000, false),
    plain(Attack),
    picture(NameGame1, "title.bmp"),
    picture(TovikImage, "hero.bmp"),
    picture(Quit, "quit.bmp"),
    picture(Item1, "item_scroll.bmp"),
    picture(Item2, "item_furball.bmp"),
    picture(Item3, "item_trident.bmp"),
    picture(Item4, "item_necklace.bmp"),
    plain(HealthTimer),
    plain(Death),
    plain(Win),
    plain(ColorChanger),
}};

static_assert(inControlOrder(kLooks));

}  // namespace

const ControlLook& lookOf(ControlId id) {
    return kLooks[indexOf(id)].look;
}

}  // namespace tovik
