#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/keyboard.h"
#include "form/controls.h"
#include "form/window_model.h"
#include "story/interface_texts.h"

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
    std::string text;  // all of it, for a listener whom nothing else tells
    // A scene's description, which follows its passage in `text`: how many choices it offers,
    // or whom the fight is with. Empty for every other kind.
    std::string description;
    // What comes before a scene's passage in `text`: the blow that ended a fight, if one did.
    std::string lead;
    bool operator==(const Announcement&) const = default;
};

// A new passage with how many choices it offers, after the blow that ended a fight; a blow with the
// fight's status and both life counts; a banner when it appears; the title screen when it comes
// back. Nothing for what a listener has already heard: the same passage again, a life label
// refreshed with the value it had, the victory banner's colours.
Announcement announce(const SpokenScreen& before, const SpokenScreen& after);

// What a screen reader gets after one event, in the parts a view hands to its platform.
struct ReaderUpdate {
    bool focusMoved = false;  // the keyboard focus is on another control, or on none
    std::string say;  // what to say at once, through the view's announcer; empty for nothing
    // All that a listener without a screen reader must hear of the event, for the narrator: the
    // passage too where the reader reads it from the focus.
    std::string narrate;
    bool operator==(const ReaderUpdate&) const = default;
};

// What a view's screen reader makes of a new text on the control it is on: Orca ignores a new
// name on a window's control that keeps the focus. A view that keeps the reader on its game's
// area while the keyboard is on the passage (the page, so that the reader leaves the game its
// keys) never has it read there: every passage is said.
enum class FocusedRename : std::uint8_t { Ignored, NeverFocused };

// Follows one game's screen for a screen reader, for every view alike: after each event the
// keyboard focus follows the screen (KeyboardPlay::followScreen), and what changed is said once.
// A passage is read from where the focus rests: newly focused, a reader reads its name and then
// its description, and only a fight's last blow before it is left to say; with the focus
// elsewhere, or a rename unread, it is said in full. Said in full beside the focus, it would be
// heard twice.
class ReaderFeed {
  public:
    ReaderFeed(const WindowModel& window, const Game& game, KeyboardPlay& keys,
               FocusedRename renamed);

    // After the view has shown the model following any event.
    ReaderUpdate afterEvent();
    // The passage's description as it stands.
    const std::string& passageDescription() const { return description_; }

  private:
    const WindowModel& window_;
    const Game& game_;
    KeyboardPlay& keys_;
    FocusedRename renamed_;
    SpokenScreen heard_;
    std::string description_;
};

}  // namespace tovik
