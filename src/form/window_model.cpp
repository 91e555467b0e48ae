#include "form/window_model.h"

#include "form/control_layout.h"

namespace tovik {

WindowModel::WindowModel() {
    for (ControlId id : allControls()) {
        const ControlLayout& layout = layoutOf(id);
        ControlState& control = at(id);
        control.caption = layout.caption;
        control.textColour = layout.textColour;
        control.visible = layout.visible;
        control.enabled = layout.enabled;
    }
}

std::string_view windowStateName(WindowState state) {
    switch (state) {
        case WindowState::Shown:
            return "shown";
        case WindowState::Hidden:
            return "hidden";
        case WindowState::Unloaded:
            return "unloaded";
    }
    return "shown";
}

}  // namespace tovik
