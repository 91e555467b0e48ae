#pragma once

#include <array>
#include <string>
#include <string_view>

#include "form/control_layout.h"
#include "form/controls.h"
#include "form/window_model.h"
#include "story/interface_texts.h"

namespace tovik {

// What the game's own handlers, beside the story's scenes, write on the window or play.

// The texts below are in the language being played.
inline std::string heroBlowStatus() {
    return std::string(story::translated(story::kHeroBlowText));
}

// The opponent's name as the player sees and hears it. The three skeletons' names differ only in
// trailing blanks, which the victory check must still compare; on screen and in speech those
// blanks would only be stray gaps ("СКЕЛЕТ  : 65"), so every view of the name goes through here.
inline std::string_view shownOpponent(std::string_view opponent) {
    const auto last = opponent.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : opponent.substr(0, last + 1);
}

inline std::string opponentBlowStatus(std::string_view opponent) {
    return " " + std::string(shownOpponent(opponent)) +
           std::string(story::translated(story::kOpponentBlowText));
}

// The fixed captions the window is laid out with in Russian, put in the language played at load.
// Life and the defeat banner are left to
// the caller, which knows their state.
inline void showFixedCaptionsInLanguage(WindowModel& window) {
    using enum ControlId;
    window.setCaption(NameGame2, story::translated(story::kSubtitleText));
    window.setCaption(Start, story::translated(story::kStartText));
    window.setCaption(Creator, story::translated(story::kCreditText));
    window.setCaption(Attack, story::translated(story::kAttackText));
    window.setCaption(WinGame, story::translated(story::kVictoryBannerText));
}

inline std::string_view lifePrefix() {
    return story::translated(story::kLifePrefixText);
}

// The opponent's label: "ВАМПИР: 45".
inline std::string opponentLifeCaption(std::string_view opponent, std::string_view life) {
    return std::string(shownOpponent(opponent)) + ": " + std::string(life);
}

inline constexpr std::string_view kStartSound = "dindin.wav";
inline constexpr std::string_view kHeroBlowSound = "ydar.wav";
inline constexpr std::string_view kOpponentBlowSound = "ydar2.wav";

// The pointer's highlight.
inline constexpr Colour kChoiceLit = 0x00FF00;
inline constexpr Colour kStartNormal = 0xFFFFFF;
inline constexpr Colour kStartLit = 0xFF0000;

// The victory banner's colours, in order; after the last comes the first again. The first is
// the banners' own red, where a victory's cycle starts.
inline constexpr std::array<Colour, 10> kBannerCycle = {kBannerColour, 0xFFC0C0, 0xFF8000, 0xFFFF00,
                                                        0x00FF00,      0x00FFFF, 0x0000FF, 0xFF00FF,
                                                        0x008080,      0x80FF80};

}  // namespace tovik
