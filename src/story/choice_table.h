#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "form/controls.h"
#include "story/keys.h"

namespace tovik::story {

enum class Condition : std::uint8_t {
    None,
    Chance,       // 1 or 2 with even chance: 1 leads to `target`, 2 to `otherTarget`
    FurBallHeld,  // the fur ball shown leads to `target`, otherwise to `otherTarget`
};

// One test of a choice label's handler: any of its captions matches, then it leads on.
struct ChoiceTest {
    std::vector<Key> captions{};
    int target = 0;
    Condition condition = Condition::None;
    int otherTarget = 0;
};

// The ordered tests of the handlers of R1..R5 (index 0 is R1). The first matching test wins.
const std::array<std::vector<ChoiceTest>, kChoiceLabelCount>& choiceTable();

// What the title screen's start puts on R1, before the first scene.
inline constexpr Key kOpeningChoice = Key::K070;

// The caption text of a key.
std::string_view captionOf(Key key);

}  // namespace tovik::story
