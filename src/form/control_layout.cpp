#include "form/control_layout.h"

#include <algorithm>
#include <array>

namespace tovik {

namespace {

using enum ControlId;

// "ЖИЗНЬ: 60", joined here so that the starting life is written once.
constexpr std::size_t kLifeCaptionLength = kLifePrefix.size() + kStartingLife.size();
constexpr std::array<char, kLifeCaptionLength> kLifeCaptionText = [] {
    std::array<char, kLifeCaptionLength> text{};
    auto end = std::copy(kLifePrefix.begin(), kLifePrefix.end(), text.begin());
    std::copy(kStartingLife.begin(), kStartingLife.end(), end);
    return text;
}();
constexpr std::string_view kLifeCaption{kLifeCaptionText.data(), kLifeCaptionLength};

constexpr ControlLayout label(ControlId id, int left, int top, int width, int height,
                              std::string_view caption, Colour text, bool visible) {
    return {.id = id,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .caption = caption,
            .textColour = text,
            .visible = visible};
}

constexpr ControlLayout picture(ControlId id, int left, int top, int width, int height,
                                bool visible) {
    return {
        .id = id, .left = left, .top = top, .width = width, .height = height, .visible = visible};
}

constexpr ControlLayout timer(ControlId id, int intervalMs, bool enabled) {
    return {.id = id, .intervalMs = intervalMs, .enabled = enabled};
}

// In the order of ControlId.
constexpr std::array<ControlLayout, kControlCount> kLayout = {{
    label(NameGame2, 1800, 3600, 5775, 1095, kSubtitle, 0xFFFFFF, true),
    label(Start, 3600, 5160, 1695, 615, kStartCaption, 0xFFFFFF, true),
    label(Creator, 8520, 2400, 2520, 720, kCreatorCredit, 0xFF8000, true),
    label(Info, 1440, 480, 6135, 4665, kPlaceholderCaption, 0x00FF00, false),
    label(R1, 4080, 5880, 255, 240, kPlaceholderCaption, kChoiceColour, false),
    label(R2, 4080, 6240, 255, 240, kPlaceholderCaption, kChoiceColour, false),
    label(R3, 4080, 6600, 255, 240, kPlaceholderCaption, kChoiceColour, false),
    label(R4, 4080, 6960, 255, 240, kPlaceholderCaption, kChoiceColour, false),
    label(R5, 4080, 7320, 255, 240, kPlaceholderCaption, kChoiceColour, false),
    label(Status, 600, 7680, 3015, 255, "", 0xFF00FF, true),
    label(Life, 360, 8040, 1500, 360, kLifeCaption, 0x00C000, true),
    label(LifeOpponent, 2280, 8040, 1500, 360, kLifeCaption, 0xFF0000, false),
    label(EndGame, 1560, 5760, 5775, 1095, kDefeatBanner, kBannerColour, false),
    label(WinGame, 1560, 5760, 5775, 1095, kVictoryBanner, 0x80FF80, false),
    {.id = Attack,
     .left = 1200,
     .top = 6960,
     .width = 1215,
     .height = 615,
     .caption = kAttackCaption,
     .visible = false},
    picture(NameGame1, 2160, 960, 5055, 2355, true),
    picture(TovikImage, 7920, 3600, 2955, 3705, true),
    picture(Quit, 9600, 720, 1485, 1425, true),
    picture(Item1, 8520, 3240, 960, 825, false),
    picture(Item2, 9720, 3240, 960, 825, false),
    picture(Item3, 8520, 4320, 960, 825, false),
    picture(Item4, 9720, 4320, 960, 825, false),
    timer(HealthTimer, 500, true),
    timer(Death, 25000, false),
    timer(Win, 25000, false),
    timer(ColorChanger, 50, false),
}};

static_assert(inControlOrder(kLayout));

}  // namespace

const ControlLayout& layoutOf(ControlId id) {
    return kLayout[indexOf(id)];
}

}  // namespace tovik
