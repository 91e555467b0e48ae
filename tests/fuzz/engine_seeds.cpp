// Writes the engine fuzzer's seeds: the fewest shortest routes that between them pass every
// scene of the story, each played on to its ending where it has one, and a few visits to the
// exit question. Run it as `engine_seeds FOLDER` after a change to the story or to the way the
// fuzzer reads its bytes.

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

void click(Bytes& bytes, ControlId control) {
    bytes.push_back(byteFor({Event::Kind::Click, control}));
}

void tick(Bytes& bytes, ControlId timer) {
    bytes.push_back(byteFor({Event::Kind::Tick, timer}));
}

// The fuzzer's dice read a byte b as 1 + b % sides.
void die(Bytes& bytes, int shows) {
    bytes.push_back(static_cast<std::uint8_t>(shows - 1));
}

struct Played {
    Bytes bytes;
    std::set<int> scenes;
};

Played play(const tovik::testing::Route& route) {
    Played played;
    tovik::WindowModel window;
    struct Silence final : tovik::sound::AudioOutput {
        void playFile(const std::filesystem::path&) override {}
    } audio;
    struct Dice final : tovik::RandomSource {
        int draw(int sides) override { return std::min(next, sides); }
        int next = 1;
    } dice;
    tovik::testing::ScriptedAnswer answer;
    tovik::Game game(window, audio, dice, answer, "/tovik");
    game.load();
    for (const tovik::testing::RouteStep& step : route) {
        click(played.bytes, step.control);
        if (step.draw) {
            die(played.bytes, *step.draw);
        }
        dice.next = step.draw.value_or(1);
        game.click(step.control);
        const auto scene = tovik::story::sceneWithPassage(window.caption(ControlId::Info));
        if (scene && *scene > 0) {
            played.scenes.insert(*scene);
        }
    }
    // Endings are played out: the countdown, the banner, and back to the title screen.
    if (window.isTimerEnabled(ControlId::Death)) {
        tick(played.bytes, ControlId::Death);
        tick(played.bytes, ControlId::HealthTimer);
        click(played.bytes, ControlId::EndGame);
    } else if (window.isTimerEnabled(ControlId::Win)) {
        tick(played.bytes, ControlId::Win);
        for (int i = 0; i < 3; ++i) {
            tick(played.bytes, ControlId::ColorChanger);
        }
        click(played.bytes, ControlId::WinGame);
    }
    return played;
}

void write(const std::filesystem::path& file, const Bytes& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
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
    const auto& routes = tovik::testing::SceneRoutes::story();

    // Longest routes first: they pass the most scenes on their way.
    std::vector<std::pair<int, Played>> candidates;
    for (int scene = 1; scene <= tovik::story::kSceneCount; ++scene) {
        candidates.emplace_back(scene, play(routes.to(scene)));
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) {
        return a.second.scenes.size() > b.second.scenes.size();
    });
    std::set<int> covered;
    for (const auto& [scene, played] : candidates) {
        if (std::includes(covered.begin(), covered.end(), played.scenes.begin(),
                          played.scenes.end())) {
            continue;
        }
        covered.insert(played.scenes.begin(), played.scenes.end());
        char name[32];
        std::snprintf(name, sizeof name, "route-to-%03d", scene);
        write(folder / name, played.bytes);
    }

    // The exit question, answered No, left open and then answered, and answered Yes.
    Bytes start;
    click(start, ControlId::Start);
    Bytes no = start;
    click(no, ControlId::Quit);
    no.push_back(1);  // No
    click(no, ControlId::R1);
    write(folder / "quit-no", no);
    Bytes open = start;
    click(open, ControlId::Quit);
    open.push_back(0);  // left open
    click(open, ControlId::R1);
    tick(open, ControlId::HealthTimer);
    open.push_back(byteFor({Event::Kind::Answer, std::nullopt, false}));
    click(open, ControlId::R1);
    write(folder / "quit-open-then-no", open);
    Bytes yes = start;
    click(yes, ControlId::Quit);
    yes.push_back(2);  // Yes
    click(yes, ControlId::R1);
    write(folder / "quit-yes", yes);

    std::printf("%zu of %d scenes covered\n", covered.size(), tovik::story::kSceneCount);
    return covered.size() == static_cast<std::size_t>(tovik::story::kSceneCount) ? 0 : 1;
}
