#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "form/controls.h"
#include "story/choice_table.h"
#include "story/item_uses.h"
#include "story/keys.h"
#include "story/scene_catalogue.h"
#include "story/victories.h"

namespace tovik::tools {

using story::Key;

// The story in the game's own types, copied out of its tables so that the checks and the map
// read one model and a test can break a copy of it on purpose.

// A scene with its passage beside it.
struct SceneRecord : story::Scene {
    std::string passage{};
};

// A held item clicked while its scene shows `caption` on R1 (or on R4, for the scroll).
struct ItemUseRecord : story::ItemUse {
    ControlId item{};
    std::string name{};  // for people: "scroll", "trident", "necklace"
};

// Two keys that are deliberately one and the same text: the label tells them apart.
struct SharedCaption {
    Key first{};
    Key second{};
};

// A fixed text of the window in its word-wrapped box, in pixels.
struct BoxedText {
    std::string what{};  // "EndGame (defeat banner)"
    std::string text{};
    int fontPixels = 0;
    int width = 0;
    int height = 0;
};

// Where the texts of the story must fit, in pixels.
struct StoryGeometry {
    int infoWidth = 0;
    int infoHeight = 0;
    int infoFontPixels = 0;
    int choiceLeft = 0;
    int choiceFontPixels = 0;
    int windowWidth = 0;
    // the defeat banner, whose text some scenes rewrite
    int bannerWidth = 0;
    int bannerHeight = 0;
    int bannerFontPixels = 0;
};

struct StoryTables {
    std::array<std::string, story::kKeyCount + 1> captions{};  // by key number; 0 is unused
    std::array<std::vector<story::ChoiceTest>, kChoiceLabelCount> labels{};  // R1..R5
    std::vector<SceneRecord> scenes{};                                       // Sc1 first
    std::vector<story::Victory> victories{};
    std::vector<ItemUseRecord> itemUses{};
    std::string openingPassage{};
    Key openingKey = story::kOpeningChoice;  // what the title screen's start puts on R1
    std::vector<SharedCaption> sharedCaptions{};
    std::vector<BoxedText> windowTexts{};
    StoryGeometry geometry{};

    const std::string& caption(Key key) const;
    // Scene `number`, or nothing when there is no such scene.
    const SceneRecord* scene(int number) const;
    SceneRecord* scene(int number);
};

// The game's own story, window texts and geometry.
StoryTables loadStoryTables();

// "K007", "R2", "Sc42": the names the story's authors use.
std::string keyName(Key key);
std::string labelName(int label);
std::string sceneName(int number);

}  // namespace tovik::tools
