#include "support/game_fixture.h"

namespace tovik::testing {
namespace {

using enum ControlId;

constexpr Colour kDark = 0x008000;
constexpr Colour kBright = 0x00FF00;

using Hover = GameFixture;

TEST_F(Hover, OnlyTheChoiceUnderThePointerIsBrightUntilAnotherChoiceOrTheBackground) {
    game.pointerMovedOver(Start);
    EXPECT_EQ(window.textColour(Start), 0xFF0000u);
    game.pointerMovedOver(std::nullopt);
    EXPECT_EQ(window.textColour(Start), 0xFFFFFFu);

    at(52);
    at(39);
    const auto colours = [&] {
        std::vector<Colour> all;
        for (ControlId label : kChoiceLabels) {
            all.push_back(window.textColour(label));
        }
        return all;
    };
    game.pointerMovedOver(R2);
    EXPECT_EQ(colours(), (std::vector<Colour>{kDark, kBright, kDark, kDark, kDark}));
    game.pointerMovedOver(R3);
    // Controls without a move handler keep the highlight.
    for (ControlId quiet : {Info, Life, Status, Quit, Creator}) {
        game.pointerMovedOver(quiet);
    }
    EXPECT_EQ(colours(), (std::vector<Colour>{kDark, kDark, kBright, kDark, kDark}));
    game.pointerMovedOver(std::nullopt);
    EXPECT_EQ(colours(), (std::vector<Colour>(5, kDark)));
    game.pointerMovedOver(R1);
    game.click(R1);  // the next scene's caption appears still bright
    EXPECT_EQ(window.textColour(R1), kBright);
}

TEST_F(Hover, TheBannerCycleWalksTenColoursAndIgnoresOthersAndStoppedTimersDoNotTick) {
    game.tick(ColorChanger);
    EXPECT_EQ(window.textColour(WinGame), 0x80FF80u);
    game.tick(Death);
    EXPECT_EQ(game.Health(), "60");

    game.showScene(96);
    game.tick(Win);
    std::vector<Colour> seen;
    for (int i = 0; i < 10; ++i) {
        game.tick(ColorChanger);
        seen.push_back(window.textColour(WinGame));
    }
    EXPECT_EQ(seen, (std::vector<Colour>{0xFF0000, 0xFFC0C0, 0xFF8000, 0xFFFF00, 0x00FF00, 0x00FFFF,
                                         0x0000FF, 0xFF00FF, 0x008080, 0x80FF80}));
    window.setTextColour(WinGame, 0x123456);
    game.tick(ColorChanger);
    EXPECT_EQ(window.textColour(WinGame), 0x123456u);
}

}  // namespace
}  // namespace tovik::testing
