#pragma once

#include <optional>
#include <vector>

#include "engine/game.h"
#include "form/controls.h"
#include "form/window_model.h"

namespace tovik {

// The keys the game listens to. Every front-end maps its own key codes onto these; any other
// key is Key::Other and does nothing.
enum class PlayerKey : std::uint8_t {
    Tab,
    BackTab,  // Shift+Tab
    Enter,
    Space,
    Escape,
    Digit1,
    Digit2,
    Digit3,
    Digit4,
    Digit5,
    FullScreen,  // F11
    Narrator,    // V, М on a Russian keyboard: the narrator on or off, which the view does
    Other,
};

// The controls that take a click and are shown now, in reading order: СТАРТ, the choices,
// Атака!, the items, a banner and the red cross. The fur ball takes no click, so it is never
// in the order.
std::vector<ControlId> focusOrder(const WindowModel& window);

// The control that Enter clicks when nothing is focused: СТАРТ on the title screen, Атака! in
// a fight, a banner at the end; nothing anywhere else.
std::optional<ControlId> obviousControl(const WindowModel& window);

// What the window must do about a key that the game itself does not handle.
enum class KeyOutcome : std::uint8_t { Nothing, ToggleFullScreen, LeaveFullScreen };

// Keyboard play over one game: it keeps which control has the keyboard focus and turns keys into
// the same clicks the mouse makes, through Game::click, so no rule of the game is repeated here.
// The focus may also rest on the passage, which takes no click: that is where a scene starts.
class KeyboardPlay {
  public:
    KeyboardPlay(Game& game, const WindowModel& window);

    // One key press. The window shows the model afterwards and calls followScreen().
    KeyOutcome press(PlayerKey key, bool fullScreen);

    // The focused control, or nothing (the window itself).
    std::optional<ControlId> focus() const { return focus_; }
    // The pointer or a screen reader put the focus on a control; a control that cannot hold it
    // leaves the focus where it was.
    void focusOn(ControlId control);

    // After every event (a click, a key, a tick): a new scene puts the focus on its passage, a
    // control that has gone leaves it, the title screen puts it nowhere. Returns true when the
    // focus moved.
    bool followScreen();

  private:
    struct Scene {
        bool title = false;
        bool passage = false;
        std::string passageText;
        bool operator==(const Scene&) const = default;
    };
    Scene sceneNow() const;
    bool canHoldFocus(ControlId control) const;

    Game& game_;
    const WindowModel& window_;
    std::optional<ControlId> focus_;
    Scene scene_;
};

}  // namespace tovik
