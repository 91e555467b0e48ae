#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <unordered_set>

#include "engine/random_source.h"
#include "json_reader.h"
#include "story/scene_catalogue.h"
#include "tovik_story/play_session.h"

namespace tovik::testing {
namespace {

// Dice the search sets for each command: a chance choice is tried both ways, and the hero's
// blow always lands, so every fight ends in its victory scene.
class ChosenDraws final : public RandomSource {
  public:
    int draw(int sides) override {
        lastSides = sides;
        const int value = next.value_or(1);
        next.reset();
        return value;
    }
    std::optional<int> next;
    int lastSides = 0;
};

// One command of a route and the draw it makes, if it draws.
struct Step {
    std::string command;
    std::optional<int> draw;
};
using Route = std::vector<Step>;

// What decides where the game can go from here. Life is left out: the search never lets the
// life watch tick, so the hero cannot die on the way, and the same screen reached with other
// life is the same place in the story.
std::string placeOf(const Json& state) {
    std::string key = std::to_string(state["scene"].isNull() ? -1 : state["scene"].number);
    const Json& controls = state["controls"];
    for (const char* name : {"R1", "R2", "R3", "R4", "R5"}) {
        key += controls[name]["visible"].boolean ? "|" + controls[name]["caption"].string : "|-";
    }
    for (const char* name : {"Attack", "Item1", "Item2", "Item3", "Item4"}) {
        key += controls[name]["visible"].boolean ? '1' : '0';
    }
    key += "|" + state["Ring"].string + "|" + state["NameOpponent"].string + "|" +
           state["HealthOpponent"].string;
    return key;
}

// Plays `route` plus one command; the draw of that command, if it drew, is recorded with it.
std::pair<Route, Json> extend(Route route, const std::string& command, std::optional<int> draw,
                              int& sidesDrawn) {
    ChosenDraws draws;
    tools::PlaySession session(draws, "/opt/tovik");
    for (const Step& step : route) {
        draws.next = step.draw;
        session.perform(step.command);
    }
    draws.next = draw;
    draws.lastSides = 0;
    const Json state = Json::parse(session.apply(command));
    sidesDrawn = draws.lastSides;
    route.push_back(
        {command, sidesDrawn > 0 ? std::optional<int>(draw.value_or(1)) : std::nullopt});
    return {std::move(route), state};
}

std::vector<std::string> commandsFrom(const Json& state) {
    std::vector<std::string> commands;
    // Item2, the fur ball, has no click of its own.
    for (const char* name : {"R1", "R2", "R3", "R4", "R5", "Attack", "Item1", "Item3", "Item4"}) {
        if (state["controls"][name]["visible"].boolean) {
            commands.push_back(std::string("click ") + name);
        }
    }
    return commands;
}

// Every scene of the story can be reached by playing: a breadth-first search over the protocol,
// from the opening passage, through every choice, every item click, both sides of every chance
// and every fight won.
TEST(AllScenes, EverySceneIsReachedThroughThePlayProtocol) {
    int sides = 0;
    const auto [opening, first] = extend({}, "click Start", std::nullopt, sides);
    ASSERT_EQ(first["scene"].number, 0);

    std::set<int> seen{0};
    std::unordered_set<std::string> places{placeOf(first)};
    std::deque<std::pair<Route, Json>> queue{{opening, first}};
    for (int steps = 0; !queue.empty(); ++steps) {
        ASSERT_LT(steps, 20000) << "the game never settles";
        const auto [route, state] = std::move(queue.front());
        queue.pop_front();
        for (const std::string& command : commandsFrom(state)) {
            std::vector<std::optional<int>> draws{std::nullopt};
            for (std::size_t i = 0; i < draws.size(); ++i) {
                auto [next, reached] = extend(route, command, draws[i], sides);
                if (sides == 2 && !draws[i]) {
                    draws.push_back(2);  // the other way of the chance choice
                }
                if (!reached["scene"].isNull()) {
                    seen.insert(static_cast<int>(reached["scene"].number));
                }
                if (places.insert(placeOf(reached)).second) {
                    queue.emplace_back(std::move(next), std::move(reached));
                }
            }
        }
    }

    std::vector<int> missing;
    for (int scene = 1; scene <= story::kSceneCount; ++scene) {
        if (!seen.contains(scene)) {
            missing.push_back(scene);
        }
    }
    EXPECT_TRUE(missing.empty()) << "never reached: " << ::testing::PrintToString(missing);
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(story::kSceneCount) + 1);
    RecordProperty("places", static_cast<int>(places.size()));
}

}  // namespace
}  // namespace tovik::testing
