#include "engine/player_input.h"

#include <gtest/gtest.h>

namespace tovik::testing {
namespace {

using enum ControlId;

TEST(KeyAction, MapsTheGamesKeysAndLeavesTheRestToThePlatform) {
    constexpr KeyModifiers none;
    constexpr KeyModifiers shift{.shift = true};
    const struct {
        const char* name;
        KeyModifiers modifiers;
        bool held;
        KeyAction expected;
    } cases[] = {
        {"Tab", none, false, {PlayerKey::Tab, true}},
        {"Tab", shift, false, {PlayerKey::BackTab, true}},
        {"Enter", shift, false, {PlayerKey::Enter, true}},
        {" ", none, false, {PlayerKey::Space, true}},
        {"Escape", none, false, {PlayerKey::Escape, true}},
        {"1", none, false, {PlayerKey::Digit1, true}},
        {"5", none, false, {PlayerKey::Digit5, true}},
        {"F11", none, false, {PlayerKey::FullScreen, true}},
        // The narrator's key on a Latin and on a Russian keyboard, Shift or Caps Lock held.
        {"v", none, false, {PlayerKey::Narrator, true}},
        {"V", shift, false, {PlayerKey::Narrator, true}},
        {"м", none, false, {PlayerKey::Narrator, true}},
        {"М", shift, false, {PlayerKey::Narrator, true}},
        {"v", none, true, {PlayerKey::Other, true}},
        {"v", {.control = true}, false, {}},
        // Not the game's: other digits and keys, and every shortcut.
        {"0", none, false, {}},
        {"6", none, false, {}},
        {"a", none, false, {}},
        {"", none, false, {}},
        {"Tab", {.control = true}, false, {}},
        {"1", {.alt = true}, false, {}},
        {"Enter", {.meta = true}, false, {}},
        // A held key is one press; only the focus runs on.
        {"Tab", none, true, {PlayerKey::Tab, true}},
        {"Tab", shift, true, {PlayerKey::BackTab, true}},
        {"Enter", none, true, {PlayerKey::Other, true}},
        {"3", none, true, {PlayerKey::Other, true}},
        {"Escape", none, true, {PlayerKey::Other, true}},
        {"a", none, true, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keyAction(c.name, c.modifiers, c.held), c.expected)
            << '"' << c.name << "\" held " << c.held;
    }
}

TEST(ClickReachesGame, OnALabelOrPictureTheSecondOfEachPairDoesNothing) {
    const struct {
        ControlId control;
        int clickInSeries;
        bool reaches;
    } cases[] = {
        {R1, 0, true},     {R1, 1, true},     {R1, 2, false},    {R1, 3, true},
        {R1, 4, false},    {Start, 2, false}, {Item1, 2, false}, {EndGame, 2, false},
        {Attack, 1, true}, {Attack, 2, true}, {Attack, 4, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clickReachesGame(c.control, c.clickInSeries), c.reaches)
            << nameOf(c.control) << " click " << c.clickInSeries;
    }
}

}  // namespace
}  // namespace tovik::testing
