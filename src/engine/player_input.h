#pragma once

#include <string_view>

#include "engine/keyboard.h"
#include "form/controls.h"

namespace tovik {

// The modifier keys held with a key.
struct KeyModifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool meta = false;
};

// What a view does with one key press.
struct KeyAction {
    PlayerKey key = PlayerKey::Other;  // the key to press; Other presses nothing
    // Whether the view keeps the key from its platform: the game took it, or holds it back, and
    // a focused button or the focus chain must not act on it too.
    bool consume = false;
    bool operator==(const KeyAction&) const = default;
};

// The game's reading of a key, for every view: `name` is the key as the web names it
// (KeyboardEvent.key: "Tab", "Enter", " ", "Escape", "1" to "5", "F11", or a letter as typed,
// "v" or "м" for the narrator), which the window's own
// key codes are mapped onto. Shift turns Tab round; Control, Alt and Meta make a shortcut of the
// platform's, never the game's. A key held down (`held`, the platform's auto-repeat) is one
// press: only Tab runs on, and the repeats of any other key of the game's are swallowed.
KeyAction keyAction(std::string_view name, KeyModifiers modifiers, bool held);

// Whether a click of the pointer reaches the game. `clickInSeries` counts the clicks of a quick
// series: 1 for a single click, 2 for the second of a double click and so on, 0 for a click that
// came from no pointer. On a label or a picture the second click of each pair does nothing, so a
// double click is one click and never also clicks the next scene's caption under the pointer;
// the button takes every click, as each click on Атака! is a blow.
bool clickReachesGame(ControlId control, int clickInSeries);

}  // namespace tovik
