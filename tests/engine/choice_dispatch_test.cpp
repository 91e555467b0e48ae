#include "story/passages.h"
#include "support/game_fixture.h"

namespace tovik::testing {
namespace {

using enum ControlId;
using enum story::Key;

// Where a click leads, each from a fresh game: the scenes shown first (the items they hand
// over), the clicks, the dice they draw and the scene they end at.
struct Route {
    std::vector<int> through;
    std::vector<ControlId> clicks;
    std::vector<int> dice;
    int reached;
};

const Route kRoutes[] = {
    // The same magic word leads elsewhere on another label, the right one from either.
    {{39}, {R1}, {}, 40},
    {{39}, {R1, R3}, {}, 43},
    {{39}, {R5}, {}, 40},
    {{39}, {R5, R2}, {}, 43},
    {{39}, {R4}, {}, 6},
    {{41}, {R1}, {}, 6},
    // The alternatives of one test lead to the same scene.
    {{81}, {R1}, {}, 50},
    {{89}, {R1}, {}, 50},
    {{85}, {R1}, {}, 50},
    {{90}, {R1}, {}, 50},
    // Chance choices draw one or two.
    {{43}, {R1}, {1}, 42},
    {{43}, {R1}, {2}, 41},
    {{53}, {R1}, {1}, 54},
    {{53}, {R1}, {2}, 55},
    {{71}, {R1}, {1}, 86},
    {{71}, {R1}, {2}, 87},
    {{1}, {R3}, {}, 73},  // an ordinary choice draws nothing
    // Putting the box back depends on the fur ball, which is never clicked and which the
    // emptied pockets lose.
    {{85, 27}, {R2}, {}, 33},
    {{27}, {R2}, {}, 34},
    {{85, 27}, {Item2}, {}, 27},
    {{85, 16, 27}, {R2}, {}, 34},
    // The scroll speaks the right word at the force field, the trident opens only the steel
    // door, the necklace turns only the eyes' beam; an item not held does nothing.
    {{59, 39}, {Item1}, {}, 6},
    {{59, 40}, {Item1}, {}, 6},
    {{59, 41}, {Item1}, {}, 6},
    {{59, 42}, {Item1}, {}, 6},
    {{88, 4}, {Item3}, {}, 4},
    {{88, 30}, {Item3}, {}, 2},
    {{27, 30}, {Item4}, {}, 30},
    {{27, 4}, {Item4}, {}, 32},
    {{39}, {Item1}, {}, 39},
    {{30}, {Item3}, {}, 30},
    {{4}, {Item4}, {}, 4},
};

TEST(ChoiceDispatch, EveryRouteReachesItsScene) {
    for (const Route& route : kRoutes) {
        LoadedGame played;
        for (int scene : route.through) {
            played.at(scene);
        }
        std::vector<bool> held;
        for (ControlId item : kItems) {
            held.push_back(played.window.isVisible(item));
        }
        for (int draw : route.dice) {
            played.draws.push(draw);
        }
        for (ControlId click : route.clicks) {
            played.game.click(click);
        }
        const std::string where = "through Sc" + std::to_string(route.through.back()) + ", " +
                                  std::string(nameOf(route.clicks.back()));
        EXPECT_TRUE(played.showing(route.reached)) << where;
        EXPECT_EQ(played.draws.drawn, static_cast<int>(route.dice.size())) << where;
        EXPECT_TRUE(played.draws.empty()) << where;
        EXPECT_EQ(played.game.Roll(), route.dice.empty() ? "" : std::to_string(route.dice.back()))
            << where;
        if (!route.dice.empty()) {
            EXPECT_EQ(played.draws.lastSides, 2) << where;
        }
        // Using an item does not use it up.
        for (std::size_t i = 0; i < kItems.size(); ++i) {
            if (kItems[i] == route.clicks.back() && held[i]) {
                EXPECT_TRUE(played.window.isVisible(kItems[i])) << where;
            }
        }
    }
    LoadedGame soaked;  // the fur ball soaks up the water and stays behind
    soaked.at(85);
    soaked.at(27);
    soaked.game.click(R2);
    EXPECT_FALSE(soaked.window.isVisible(Item2));
}

using ExactCaptions = GameFixture;

TEST_F(ExactCaptions, OnlyTheExactCaptionOnAShownLabelMatches) {
    at(1);
    const std::string left = window.caption(R1);
    for (const std::string& variant : {left + " ", " " + left, std::string(), left.substr(1)}) {
        window.setCaption(R1, variant);
        game.click(R1);
        EXPECT_TRUE(showing(1)) << "caption '" << variant << "' must do nothing";
    }
    // Upper case of the first letter is a different caption as well.
    window.setCaption(R1, std::string(story::captionOf(K050)));
    game.click(R1);
    EXPECT_TRUE(showing(74));
    at(13);  // "е" for "ё" is another caption too
    std::string spoiled = window.caption(R1);
    spoiled.replace(spoiled.find("ё"), std::string_view("ё").size(), "е");
    window.setCaption(R1, spoiled);
    game.click(R1);
    EXPECT_TRUE(showing(13));
    at(3);
    window.setCaption(R2, story::captionOf(K112));  // a caption R2 knows, on a hidden label
    game.click(R2);
    EXPECT_TRUE(showing(3));
}

}  // namespace
}  // namespace tovik::testing
