// How long a scene change takes in the real window: for every scene of the story, the window
// plays the scene's route from the title screen with real clicks, then times the last click,
// through the game and the relabelling, together with a full repaint of the window. Not a test:
// tools/benchmark.sh runs it and prints the median and the 99th percentile over all scenes.
//
//     scene_change_benchmark [ROUNDS] [--each]
//
// Each scene is timed ROUNDS times (5 unless told); --each prints every scene's figure too.
#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "story/scene_catalogue.h"
#include "window_under_test.h"

namespace {

using tovik::window::testing::WindowUnderTest;

constexpr int kScenes = 106;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The nearest-rank percentile: the smallest value at or above `percent` of the values.
double percentile(std::vector<double> values, double percent) {
    std::sort(values.begin(), values.end());
    const auto rank =
        static_cast<std::size_t>(std::ceil(percent / 100.0 * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

// Reaches `scene` from a fresh title screen and returns how long its last click took, in
// milliseconds, up to the end of the repaint; a negative value when the scene was not reached.
double timeSceneChange(int scene) {
    WindowUnderTest ui;
    if (!QTest::qWaitForWindowExposed(&ui.window)) {
        return -1;
    }
    const tovik::testing::Route& route = tovik::testing::SceneRoutes::story().to(scene);
    for (std::size_t step = 0; step + 1 < route.size(); ++step) {
        if (route[step].draw) {
            ui.draws.push(*route[step].draw);
        }
        if (!ui.click(route[step].control)) {
            return -1;
        }
    }
    // The scene before is on screen and painted; nothing is left waiting to be drawn.
    ui.window.repaint();
    QCoreApplication::processEvents();
    const tovik::testing::RouteStep& last = route.back();
    if (last.draw) {
        ui.draws.push(*last.draw);
    }

    QElapsedTimer clock;
    clock.start();
    if (!ui.click(last.control)) {
        return -1;
    }
    ui.window.repaint();
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    const auto shown =
        tovik::story::sceneWithPassage(ui.window.model().caption(tovik::ControlId::Info));
    return shown == scene ? ms : -1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int rounds = 5;
    bool each = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--each") {
            each = true;
        } else {
            rounds = std::atoi(argv[i]);
        }
    }
    if (rounds < 1) {
        std::fprintf(stderr, "scene_change_benchmark: ROUNDS is a whole number above 0\n");
        return 2;
    }

    // Each scene's figure is the median of its rounds, so that one busy moment of the machine
    // does not count as a slow scene.
    std::vector<std::vector<double>> timings(kScenes + 1);
    for (int round = 0; round < rounds; ++round) {
        for (int scene = 1; scene <= kScenes; ++scene) {
            const double ms = timeSceneChange(scene);
            if (ms < 0) {
                std::fprintf(stderr, "scene_change_benchmark: scene %d was not reached\n", scene);
                return 1;
            }
            timings[scene].push_back(ms);
        }
    }
    std::vector<double> perScene;
    int slowest = 1;
    for (int scene = 1; scene <= kScenes; ++scene) {
        perScene.push_back(median(timings[scene]));
        if (each) {
            std::printf("scene %3d: %.2f ms\n", scene, perScene.back());
        }
        if (perScene.back() > perScene[slowest - 1]) {
            slowest = scene;
        }
    }
    std::printf(
        "%d scenes, each the median of %d clicks: median %.2f ms, 99th percentile %.2f ms, "
        "slowest %.2f ms (scene %d)\n",
        kScenes, rounds, median(perScene), percentile(perScene, 99), perScene[slowest - 1],
        slowest);
    return 0;
}
