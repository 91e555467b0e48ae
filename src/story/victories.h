#pragma once

#include <array>
#include <string_view>

namespace tovik::story {

// After every blow the fight checks these opponents in this order; a beaten one shows its
// victory scene. The names are compared exactly: the three skeletons differ only in their
// trailing blanks, which is how the skeleton keeps rising.
struct Victory {
    std::string_view opponent;
    int scene;
};

inline constexpr std::array<Victory, 12> kVictories = {{
    {"ОБОРОТЕНЬ", 71},
    {"СКЕЛЕТ", 70},
    {"СКЕЛЕТ ", 69},
    {"СКЕЛЕТ  ", 70},
    {"ГОБЛИН", 75},
    {"ДВОЙНИК", 7},
    {"ВОЛКОЛАК", 72},
    {"ПЕТУШОК", 49},
    {"ВАМПИР", 12},
    {"ЧЕРВЬ", 36},
    {"ИЛЛИТИД", 28},
    {"ПРИЗРАК", 3},
}};

}  // namespace tovik::story
