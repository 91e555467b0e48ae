#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/game.h"
#include "form/controls.h"
#include "form/window_model.h"

namespace tovik {

// How a screen reader meets a control.
enum class AccessibleRole : std::uint8_t {
    None,     // not exposed: the timers
    Button,   // takes a click, and can be pressed by the reader
    Text,     // a label that is read
    Picture,  // a picture that takes no click
};

AccessibleRole accessibleRole(ControlId control);

// Every control a reader can meet, in the order it meets them: the title, the passage and its
// choices, the fight, the life counts, the items, a banner, the way out.
const std::vector<ControlId>& readingOrder();

// The name a screen reader gives a control, in Russian: a label by what it shows, a picture by
// what it pictures.
std::string accessibleName(ControlId control, const WindowModel& window);

// How the keys play, told to a listener on the title screen before anything else.
inline constexpr std::string_view kKeysHelp =
    "Играют клавиши: Enter начинает игру и нажимает кнопку в фокусе, цифры от 1 до 5 выбирают "
    "вариант, Tab переходит к следующей кнопке, Escape — выход из игры.";

// "Один вариант.", "Три варианта.", "Выбора нет." and so on.
std::string choiceCount(int choices);

// What a listener can know of the screen after an event.
struct SpokenScreen {
    bool title = false;
    std::string passage;               // empty while the passage is hidden
    std::vector<std::string> choices;  // the shown choices' captions, top to bottom
    bool fight = false;
    std::string status;
    std::string health;  // the game's own numbers, which the life labels show at the next tick
    std::string healthOpponent;
    std::string opponent;
    std::string banner;  // the banner shown, if any
    bool operator==(const SpokenScreen&) const = default;
};

SpokenScreen spokenScreenOf(const WindowModel& window, const Game& game);

// What is worth saying about the change from `before` to `after`, and why.
struct Announcement {
    enum class Kind : std::uint8_t { Nothing, Title, Scene, Blow, Banner };
    Kind kind = Kind::Nothing;
    std::string text;
    bool operator==(const Announcement&) const = default;
};

// A new passage with how many choices it offers, after the blow that ended a fight; a blow with the
// fight's status and both life counts; a banner when it appears; the title screen when it comes
// back. Nothing for what a listener has already heard: the same passage again, a life label
// refreshed with the value it had, the victory banner's colours.
Announcement announce(const SpokenScreen& before, const SpokenScreen& after);

}  // namespace tovik
