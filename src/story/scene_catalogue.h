#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "form/controls.h"
#include "story/keys.h"

namespace tovik::story {

inline constexpr int kSceneCount = 106;

struct Fight {
    std::string_view opponent{};  // shown to the player and matched exactly, blanks included
    int life = 0;
};

enum class Ending : std::uint8_t { None, Death, Victory };

enum class LifeRule : std::uint8_t {
    None,
    Add,           // by `amount`, without any bound
    SetToStart,    // back to the starting life, whatever it was
    AddUpToStart,  // by `amount`, but never above the starting life, and never lowering it
};

struct LifeChange {
    LifeRule rule = LifeRule::None;
    int amount = 0;
};

struct ItemChange {
    ControlId item{};
    bool shown = false;
};

// What a scene does after it has put its passage, choices and fight on screen. The scene
// routine applies them in the order of these members.
struct SceneEffects {
    std::vector<ItemChange> items{};
    std::string_view defeatBanner{};  // new text for the defeat banner, or none
    std::string_view sound{};         // a file of the sound folder, or none
    Ending ending = Ending::None;
    LifeChange life{};
    std::optional<bool> ringWorn{};
};

struct Scene {
    int number = 0;
    std::vector<Key> choices{};  // on R1 onwards, at most five
    std::optional<Fight> fight{};
    SceneEffects effects{};
};

// Scene `number`, 1..106.
const Scene& sceneNumber(int number);
// Its passage in the language played, and as written.
std::string_view passageOf(int number);
std::string_view russianPassageOf(int number);
// The passage shown after the title screen, in the language played.
std::string_view openingPassage();

// The scene whose passage `text` is, in the language played: 0 for the opening passage,
// nothing for any other text.
std::optional<int> sceneWithPassage(std::string_view text);

}  // namespace tovik::story
