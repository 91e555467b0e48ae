#pragma once

#include <array>
#include <string>
#include <string_view>

#include "form/controls.h"

namespace tovik {

enum class WindowState { Shown, Hidden, Unloaded };

// "shown", "hidden" (the exit question is open) or "unloaded" (the game has been left): the
// state's name wherever the window's state is written out.
std::string_view windowStateName(WindowState state);

// What the game window shows, without any toolkit: the controls' captions, text colours,
// visibility and timer states, and whether the window itself is shown. The game changes only
// this; the real window draws it after every event.
class WindowModel {
  public:
    WindowModel();  // the window as designed, before loading

    const std::string& caption(ControlId id) const { return at(id).caption; }
    void setCaption(ControlId id, std::string_view text) { at(id).caption = text; }

    Colour textColour(ControlId id) const { return at(id).textColour; }
    void setTextColour(ControlId id, Colour colour) { at(id).textColour = colour; }

    bool isVisible(ControlId id) const { return at(id).visible; }
    void setVisible(ControlId id, bool visible) { at(id).visible = visible; }

    bool isTimerEnabled(ControlId id) const { return at(id).enabled; }
    void setTimerEnabled(ControlId id, bool enabled) { at(id).enabled = enabled; }

    WindowState state() const { return state_; }
    void hide() { state_ = WindowState::Hidden; }
    void show() { state_ = WindowState::Shown; }
    void unload() { state_ = WindowState::Unloaded; }

    bool operator==(const WindowModel&) const = default;

  private:
    struct ControlState {
        std::string caption;
        Colour textColour = 0;
        bool visible = false;
        bool enabled = false;
        bool operator==(const ControlState&) const = default;
    };

    ControlState& at(ControlId id) { return controls_[indexOf(id)]; }
    const ControlState& at(ControlId id) const { return controls_[indexOf(id)]; }

    std::array<ControlState, kControlCount> controls_;
    WindowState state_ = WindowState::Shown;
};

}  // namespace tovik
