#include "engine/keyboard.h"
#include "engine/player_input.h"

#include "form/control_layout.h"
#include "story/passages.h"
#include "support/game_fixture.h"

namespace tovik::testing {
namespace {

using enum ControlId;

class Keyboard : public GameFixture {
  protected:
    // One key as the window delivers it: the key, then the screen followed.
    KeyOutcome press(PlayerKey key, bool fullScreen = false) {
        const KeyOutcome outcome = keys.press(key, fullScreen);
        keys.followScreen();
        return outcome;
    }
    // Scene n on screen as play would reach it: the title screen left, the focus following.
    void play(int scene) {
        if (window.isVisible(Start)) {
            game.click(Start);
        }
        at(scene);
        keys.followScreen();
    }
    std::vector<ControlId> tabRound(PlayerKey key, std::size_t presses) {
        std::vector<ControlId> met;
        for (std::size_t i = 0; i < presses; ++i) {
            press(key);
            met.push_back(keys.focus().value_or(HealthTimer));
        }
        return met;
    }

    KeyboardPlay keys{game, window};
};

TEST_F(Keyboard, TabGoesThroughTheShownClickablesInReadingOrderAndWrapsAround) {
    EXPECT_EQ(tabRound(PlayerKey::Tab, 3), (std::vector{Start, Quit, Start}));
    play(39);  // five choices
    EXPECT_EQ(keys.focus(), Info);
    EXPECT_EQ(tabRound(PlayerKey::Tab, 7), (std::vector{R1, R2, R3, R4, R5, Quit, R1}));
    EXPECT_EQ(tabRound(PlayerKey::BackTab, 3), (std::vector{Quit, R5, R4}));

    // In a fight: Attack, the items that take a click (not the fur ball), the cross.
    play(52);
    for (ControlId item : kItems) {
        window.setVisible(item, true);
    }
    keys.followScreen();
    EXPECT_EQ(focusOrder(window), (std::vector{Attack, Item1, Item3, Item4, Quit}));
    EXPECT_EQ(tabRound(PlayerKey::BackTab, 2), (std::vector{Quit, Item4}));
}

TEST_F(Keyboard, EnterClicksTheFocusedOrTheOneObviousControl) {
    press(PlayerKey::Enter);  // the title screen: СТАРТ
    EXPECT_EQ(window.caption(Info), story::kOpeningPassage);
    EXPECT_EQ(keys.focus(), Info);

    press(PlayerKey::Enter);  // a choice is never obvious, even a single one
    EXPECT_EQ(window.caption(Info), story::kOpeningPassage);

    play(77);  // the ghost: Атака!
    draws.push(1);
    press(PlayerKey::Enter);
    EXPECT_EQ(draws.drawn, 1);
    EXPECT_EQ(game.HealthOpponent(), "15");

    press(PlayerKey::Space);  // Space clicks only a focused control
    EXPECT_EQ(draws.drawn, 1);

    // Enter and Space click the focused control exactly once.
    press(PlayerKey::Tab);
    ASSERT_EQ(keys.focus(), Attack);
    draws.push(4, 2);
    press(PlayerKey::Enter);
    press(PlayerKey::Space);
    EXPECT_EQ(draws.drawn, 3);
    EXPECT_EQ(game.Health(), "50");
    EXPECT_EQ(keys.focus(), Attack);  // a blow is no new scene
}

TEST_F(Keyboard, DigitsClickTheShownChoiceOfTheirNumberAndNothingElse) {
    // The opening shows only R1: 2 to 5 do nothing there.
    game.click(Start);
    for (PlayerKey digit :
         {PlayerKey::Digit2, PlayerKey::Digit3, PlayerKey::Digit4, PlayerKey::Digit5}) {
        press(digit);
    }
    EXPECT_EQ(window.caption(Info), story::kOpeningPassage);
    press(PlayerKey::Digit1);
    EXPECT_TRUE(showing(1));
    play(39);
    press(PlayerKey::Digit5);
    EXPECT_TRUE(showing(40));  // as R5 clicked there leads
}

TEST_F(Keyboard, EscapeAsksTheExitQuestionExceptInFullScreen) {
    answer.answer = false;
    EXPECT_EQ(press(PlayerKey::Escape, true), KeyOutcome::LeaveFullScreen);
    EXPECT_EQ(answer.asked, 0);
    EXPECT_EQ(press(PlayerKey::Escape), KeyOutcome::Nothing);
    EXPECT_EQ(answer.asked, 1);
    EXPECT_EQ(window.state(), WindowState::Shown);
    EXPECT_TRUE(window.isVisible(Start));  // No: the title screen as it was
    EXPECT_EQ(press(PlayerKey::FullScreen), KeyOutcome::ToggleFullScreen);
}

TEST_F(Keyboard, KeysTheGameHasNoUseForDoNothing) {
    play(39);
    const WindowModel before = window;
    const std::size_t sounds = audio.played.size();
    EXPECT_EQ(press(PlayerKey::Other), KeyOutcome::Nothing);
    EXPECT_EQ(press(PlayerKey::Space), KeyOutcome::Nothing);  // on the passage
    EXPECT_EQ(window.caption(Info), before.caption(Info));
    EXPECT_EQ(keys.focus(), Info);
    EXPECT_EQ(audio.played.size(), sounds);
}

TEST_F(Keyboard, FocusFollowsTheScreen) {
    // A pointer click on a choice is a new scene too: reading starts at its passage.
    game.click(Start);
    keys.focusOn(R1);
    EXPECT_EQ(keys.focus(), R1);
    game.click(R1);
    EXPECT_TRUE(keys.followScreen());
    EXPECT_EQ(keys.focus(), Info);

    keys.focusOn(Status);  // nothing to click there
    EXPECT_EQ(keys.focus(), Info);
    keys.focusOn(R5);  // hidden
    EXPECT_EQ(keys.focus(), Info);

    // A death: the banner stands alone, and Enter takes it.
    play(34);
    game.tick(Death);
    game.tick(HealthTimer);
    keys.followScreen();
    ASSERT_TRUE(window.isVisible(EndGame));
    EXPECT_EQ(keys.focus(), std::nullopt);
    press(PlayerKey::Enter);
    EXPECT_TRUE(window.isVisible(Start));
    EXPECT_EQ(keys.focus(), std::nullopt);
}

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
        // The listener's keys, by either letter of their key, in either case.
        {"l", none, false, {PlayerKey::Life, true}},
        {"Д", shift, false, {PlayerKey::Life, true}},
        {"b", none, false, {PlayerKey::Items, true}},
        {"и", none, false, {PlayerKey::Items, true}},
        {"T", shift, false, {PlayerKey::Passage, true}},
        {"е", none, false, {PlayerKey::Passage, true}},
        {"c", none, false, {PlayerKey::Choices, true}},
        {"с", none, false, {PlayerKey::Choices, true}},
        {"v", none, false, {PlayerKey::Narrator, true}},
        {"м", none, false, {PlayerKey::Narrator, true}},
        {"l", {.control = true}, false, {}},
        {"с", none, true, {PlayerKey::Other, true}},
        {"ж", none, false, {}},
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
