// Writes the engine fuzzer's seeds: the fewest shortest routes that between them pass every
// scene, each played on through its ending, and a few visits to the exit question. Run it as
// `engine_seeds FOLDER` after a change to the story or to the way the fuzzer reads its bytes.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "fuzz/engine_events.h"
#include "support/scene_routes.h"

namespace {

using tovik::ControlId;
using tovik::fuzz::byteFor;
using tovik::fuzz::Event;
using Bytes = std::vector<std::uint8_t>;

std::uint8_t click(ControlId control) {
    return byteFor({Event::Kind::Click, control});
}
std::uint8_t tick(ControlId timer) {
    return byteFor({Event::Kind::Tick, timer});
}

struct Played {
    Bytes bytes;
    std::set<int> scenes;
};

Played play(const tovik::testing::Route& route) {
    Played played;
    tovik::WindowModel window;
    tovik::sound::RecordingAudioOutput audio;
    struct Dice final : tovik::RandomSource {
        int draw(int sides) override { return std::min(next, sides); }
        int next = 1;
    } dice;
    tovik::testing::ScriptedAnswer answer;
    tovik::Game game(window, audio, dice, answer, "/tovik");
    game.load();
    for (const tovik::testing::RouteStep& step : route) {
        played.bytes.push_back(click(step.control));
        if (step.draw) {
            played.bytes.push_back(static_cast<std::uint8_t>(*step.draw - 1));  // 1 + b % sides
        }
        dice.next = step.draw.value_or(1);
        game.click(step.control);
        const auto scene = tovik::story::sceneWithPassage(window.caption(ControlId::Info));
        if (scene && *scene > 0) {
            played.scenes.insert(*scene);
        }
    }
    // Endings are played out: the countdown, the banner, and back to the title screen.
    const Bytes death{tick(ControlId::Death), tick(ControlId::HealthTimer),
                      click(ControlId::EndGame)};
    const std::uint8_t colours = tick(ControlId::ColorChanger);
    const Bytes victory{tick(ControlId::Win), colours, colours, colours, click(ControlId::WinGame)};
    const Bytes& ending = window.isTimerEnabled(ControlId::Death) ? death
                          : window.isTimerEnabled(ControlId::Win) ? victory
                                                                  : Bytes{};
    played.bytes.insert(played.bytes.end(), ending.begin(), ending.end());
    return played;
}

void write(const std::filesystem::path& file, const Bytes& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: engine_seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

    // Longest routes first: they pass the most scenes on their way.
    std::vector<std::pair<int, Played>> candidates;
    for (int scene = 1; scene <= tovik::story::kSceneCount; ++scene) {
        candidates.emplace_back(scene, play(tovik::testing::SceneRoutes::story().to(scene)));
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) {
        return a.second.scenes.size() > b.second.scenes.size();
    });
    std::set<int> covered;
    for (const auto& [scene, played] : candidates) {
        if (!std::includes(covered.begin(), covered.end(), played.scenes.begin(),
                           played.scenes.end())) {
            covered.insert(played.scenes.begin(), played.scenes.end());
            char name[32];
            std::snprintf(name, sizeof name, "route-to-%03d", scene);
            write(folder / name, played.bytes);
        }
    }

    // The exit question answered No (byte 1), left open (0) then answered, and answered Yes (2).
    const std::uint8_t start = click(ControlId::Start);
    const std::uint8_t quit = click(ControlId::Quit);
    const std::uint8_t r1 = click(ControlId::R1);
    write(folder / "quit-no", {start, quit, 1, r1});
    write(folder / "quit-open-then-no", {start, quit, 0, r1, tick(ControlId::HealthTimer),
                                         byteFor({Event::Kind::Answer, std::nullopt, false}), r1});
    write(folder / "quit-yes", {start, quit, 2, r1});

    std::printf("%zu of %d scenes covered\n", covered.size(), tovik::story::kSceneCount);
    return covered.size() == static_cast<std::size_t>(tovik::story::kSceneCount) ? 0 : 1;
}
