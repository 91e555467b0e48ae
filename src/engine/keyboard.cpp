#include "engine/keyboard.h"

#include <algorithm>
#include <iterator>

#include "engine/spoken_screen.h"

namespace tovik {

using enum ControlId;

namespace {

// Every control that takes a click, in the order a reader meets them on the screen.
const std::vector<ControlId>& clickableInReadingOrder() {
    static const std::vector<ControlId> order = [] {
        std::vector<ControlId> clickable;
        const std::vector<ControlId>& all = readingOrder();
        std::copy_if(all.begin(), all.end(), std::back_inserter(clickable), hasClickHandler);
        return clickable;
    }();
    return order;
}

}  // namespace

std::vector<ControlId> focusOrder(const WindowModel& window) {
    std::vector<ControlId> order;
    for (ControlId control : clickableInReadingOrder()) {
        if (window.isVisible(control)) {
            order.push_back(control);
        }
    }
    return order;
}

std::optional<ControlId> obviousControl(const WindowModel& window) {
    for (ControlId control : {Start, Attack, EndGame, WinGame}) {
        if (window.isVisible(control)) {
            return control;
        }
    }
    return std::nullopt;
}

KeyboardPlay::KeyboardPlay(Game& game, const WindowModel& window)
    : game_(game), window_(window), scene_(sceneNow()) {}

bool KeyboardPlay::canHoldFocus(ControlId control) const {
    if (!window_.isVisible(control)) {
        return false;
    }
    return control == Info || hasClickHandler(control);
}

void KeyboardPlay::focusOn(ControlId control) {
    if (canHoldFocus(control)) {
        focus_ = control;
    }
}

KeyOutcome KeyboardPlay::press(PlayerKey key, bool fullScreen) {
    switch (key) {
        case PlayerKey::Tab:
        case PlayerKey::BackTab: {
            const std::vector<ControlId> order = focusOrder(window_);
            if (order.empty()) {
                return KeyOutcome::Nothing;
            }
            const auto at = focus_ ? std::find(order.begin(), order.end(), *focus_) : order.end();
            if (key == PlayerKey::Tab) {
                // From the passage or from nowhere, Tab starts at the top.
                focus_ = at == order.end() || at + 1 == order.end() ? order.front() : *(at + 1);
            } else {
                focus_ = at == order.end() || at == order.begin() ? order.back() : *(at - 1);
            }
            return KeyOutcome::Nothing;
        }
        case PlayerKey::Enter:
        case PlayerKey::Space:
            if (focus_ && *focus_ != Info) {
                game_.click(*focus_);
            } else if (key == PlayerKey::Enter) {
                if (const std::optional<ControlId> obvious = obviousControl(window_)) {
                    game_.click(*obvious);
                }
            }
            return KeyOutcome::Nothing;
        case PlayerKey::Digit1:
        case PlayerKey::Digit2:
        case PlayerKey::Digit3:
        case PlayerKey::Digit4:
        case PlayerKey::Digit5: {
            const auto label =
                static_cast<std::size_t>(key) - static_cast<std::size_t>(PlayerKey::Digit1);
            game_.click(kChoiceLabels[label]);  // a hidden choice takes no click
            return KeyOutcome::Nothing;
        }
        case PlayerKey::Escape:
            // In full screen Escape only brings the window back; there the way out is one more
            // Escape away.
            if (fullScreen) {
                return KeyOutcome::LeaveFullScreen;
            }
            game_.click(Quit);
            return KeyOutcome::Nothing;
        case PlayerKey::FullScreen:
            return KeyOutcome::ToggleFullScreen;
        case PlayerKey::Narrator:
        case PlayerKey::Other:
            return KeyOutcome::Nothing;
    }
    return KeyOutcome::Nothing;
}

KeyboardPlay::Scene KeyboardPlay::sceneNow() const {
    Scene scene;
    scene.title = window_.isVisible(Start);
    scene.passage = window_.isVisible(Info);
    if (scene.passage) {
        scene.passageText = window_.caption(Info);
    }
    return scene;
}

bool KeyboardPlay::followScreen() {
    const std::optional<ControlId> before = focus_;
    const Scene now = sceneNow();
    if (now != scene_) {
        scene_ = now;
        // A new passage is where reading starts; the title screen has none, and there Enter
        // starts the game.
        focus_ = now.passage && !now.passageText.empty() ? std::optional(Info) : std::nullopt;
    } else if (focus_ && !canHoldFocus(*focus_)) {
        focus_ = window_.isVisible(Info) ? std::optional(Info) : std::nullopt;
    }
    return focus_ != before;
}

}  // namespace tovik
