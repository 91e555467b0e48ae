#pragma once

#include <array>
#include <string_view>

namespace tovik::story {

struct ScenePassage {
    int scene;
    std::string_view text;
};

// The passage shown on Info after the title screen, before the first scene.
extern const std::string_view kOpeningPassage;

// The passage of every scene, in scene order: Sc1..Sc53 and Sc54..Sc106.
extern const std::array<ScenePassage, 53> kPassagesFirstHalf;
extern const std::array<ScenePassage, 53> kPassagesSecondHalf;

}  // namespace tovik::story
