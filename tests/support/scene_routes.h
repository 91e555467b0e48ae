#pragma once

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/random_source.h"
#include "form/window_model.h"
#include "story/scene_catalogue.h"
#include "support/recording_audio_output.h"
#include "support/scripted_answer.h"

namespace tovik::testing {

// One click of a route, with the die it throws if it throws one.
struct RouteStep {
    ControlId control{};
    std::optional<int> draw;
};
using Route = std::vector<RouteStep>;

// The shortest way a player takes from the title screen to each scene: clicks only, the hero's
// blows always landing and each chance choice tried both ways. Tests that need a scene on
// screen play its route, as a player would, instead of reaching into the game.
class SceneRoutes {
  public:
    static const SceneRoutes& story() {
        static const SceneRoutes routes;
        return routes;
    }

    const Route& to(int scene) const {
        const auto found = routes_.find(scene);
        if (found == routes_.end()) {
            throw std::logic_error("no route reaches scene " + std::to_string(scene));
        }
        return found->second;
    }

  private:
    struct Played final : RandomSource {
        int draw(int sides) override {
            drew = true;
            return std::min(next, sides);
        }
        explicit Played(const Route& route) {
            game.load();
            for (const RouteStep& step : route) {
                next = step.draw.value_or(1);
                drew = false;
                game.click(step.control);
            }
        }
        std::optional<int> scene() const {
            return story::sceneWithPassage(window.caption(ControlId::Info));
        }
        // Where the story can go from here; life is left out, as no route lets time pass.
        std::string place() const {
            std::string key = std::to_string(scene().value_or(-1));
            for (ControlId id : allControls()) {
                if (kindOf(id) != ControlKind::Timer && window.isVisible(id)) {
                    key += "|" + std::string(nameOf(id)) + ":" + window.caption(id);
                }
            }
            return key + "|" + game.Ring() + "|" + game.NameOpponent() + "|" +
                   game.HealthOpponent();
        }

        int next = 1;
        bool drew = false;  // by the last click
        WindowModel window;
        sound::RecordingAudioOutput audio;
        ScriptedAnswer answer;
        Game game{window, audio, *this, answer, "/opt/tovik"};
    };

    SceneRoutes() {
        const Route start{{ControlId::Start, std::nullopt}};
        std::set<std::string> places{Played(start).place()};
        std::deque<Route> queue{start};
        // A fault that makes places without end (a life that runs on) stops here, not in the
        // test's timeout.
        for (int steps = 0; !queue.empty(); ++steps) {
            if (steps > kMostPlaces) {
                throw std::runtime_error("more than " + std::to_string(kMostPlaces) +
                                         " places: the game never settles");
            }
            const Route route = std::move(queue.front());
            queue.pop_front();
            const Played here(route);
            for (ControlId control :
                 {ControlId::R1, ControlId::R2, ControlId::R3, ControlId::R4, ControlId::R5,
                  ControlId::Attack, ControlId::Item1, ControlId::Item3, ControlId::Item4}) {
                if (!here.window.isVisible(control)) {
                    continue;
                }
                for (int draw : {1, 2}) {
                    Route next = route;
                    next.push_back({control, draw});
                    const Played there(next);
                    if (!there.drew) {
                        next.back().draw.reset();
                    }
                    if (const auto scene = there.scene(); scene && *scene > 0) {
                        routes_.try_emplace(*scene, next);
                    }
                    if (places.insert(there.place()).second) {
                        queue.push_back(std::move(next));
                    }
                    if (!there.drew) {
                        break;  // no die: the second way is the same click
                    }
                }
            }
        }
    }

    static constexpr int kMostPlaces = 20000;
    std::map<int, Route> routes_;
};

}  // namespace tovik::testing
