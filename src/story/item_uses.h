#pragma once

#include "story/keys.h"

namespace tovik::story {

// An item that can be clicked is useful at one scene only, which it recognises by the caption
// that scene puts on R1 (the scroll also by the one on R4).
struct ItemUse {
    Key caption;
    bool onR4Too;
    int scene;
};

inline constexpr ItemUse kScrollUse{Key::K013, true, 6};      // the right magic word
inline constexpr ItemUse kTridentUse{Key::K007, false, 2};    // the steel door's lock
inline constexpr ItemUse kNecklaceUse{Key::K003, false, 32};  // the eye's beam

}  // namespace tovik::story
