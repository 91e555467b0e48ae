// How long a scene change takes in the real window: for every scene of the story, the window
// plays the scene's route from the title screen with real clicks, then times the last click,
// through the game and the relabelling, together with a full repaint of the window. Not a test:
// tools/benchmark.sh runs it and prints the median and the 99th percentile over all scenes.
//
//     scene_change_benchmark [ROUNDS]
//
// Each scene is timed ROUNDS times (5 unless told).
#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "story/scene_catalogue.h"
#include "window_under_test.h"

namespace {

using tovik::window::testing::WindowUnderTest;

constexpr int kScenes = 106;

// The nearest-rank percentile (the median is the 50th): the smallest value at or above `percent`
// of the values.
double percentile(std::vector<double> values, double percent) {
    std::sort(values.begin(), values.end());
    const auto rank =
        static_cast<std::size_t>(std::ceil(percent / 100.0 * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

// The CPU time the window's thread has spent: unlike the wall clock, it does not count the
// moments a busy machine gives the CPU to other programs.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Timing {
    double wallMs = -1;  // negative when the scene was not reached
    double cpuMs = -1;
};

// Reaches `scene` from a fresh title screen and times its last click, up to the end of the
// repaint.
Timing timeSceneChange(int scene) {
    WindowUnderTest ui;
    if (!QTest::qWaitForWindowExposed(&ui.window)) {
        return {};
    }
    const tovik::testing::Route& route = tovik::testing::SceneRoutes::story().to(scene);
    for (std::size_t step = 0; step + 1 < route.size(); ++step) {
        if (route[step].draw) {
            ui.draws.push(*route[step].draw);
        }
        if (!ui.click(route[step].control)) {
            return {};
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
    const double cpuStart = threadCpuMs();
    clock.start();
    if (!ui.click(last.control)) {
        return {};
    }
    ui.window.repaint();
    const Timing timing{static_cast<double>(clock.nsecsElapsed()) / 1e6, threadCpuMs() - cpuStart};

    const auto shown =
        tovik::story::sceneWithPassage(ui.window.model().caption(tovik::ControlId::Info));
    return shown == scene ? timing : Timing{};
}

// One line of the summary: the median and the 99th percentile over the scenes, and the slowest.
void summarise(const char* what, const std::vector<double>& perScene) {
    const auto slowest = std::max_element(perScene.begin(), perScene.end());
    std::printf("  %-22s median %5.2f ms, 99th percentile %5.2f ms, slowest %5.2f ms (scene %d)\n",
                what, percentile(perScene, 50), percentile(perScene, 99), *slowest,
                static_cast<int>(slowest - perScene.begin()) + 1);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
    if (rounds < 1) {
        std::fprintf(stderr, "scene_change_benchmark: ROUNDS is a whole number above 0\n");
        return 2;
    }

    // Each scene's figure is the median of its rounds, so that one busy moment of the machine
    // does not count as a slow scene.
    std::vector<std::vector<double>> wall(kScenes + 1);
    std::vector<std::vector<double>> cpu(kScenes + 1);
    for (int round = 0; round < rounds; ++round) {
        for (int scene = 1; scene <= kScenes; ++scene) {
            const Timing timing = timeSceneChange(scene);
            if (timing.wallMs < 0) {
                std::fprintf(stderr, "scene_change_benchmark: scene %d was not reached\n", scene);
                return 1;
            }
            wall[scene].push_back(timing.wallMs);
            cpu[scene].push_back(timing.cpuMs);
        }
    }
    std::vector<double> wallPerScene;
    std::vector<double> cpuPerScene;
    for (int scene = 1; scene <= kScenes; ++scene) {
        wallPerScene.push_back(percentile(wall[scene], 50));
        cpuPerScene.push_back(percentile(cpu[scene], 50));
    }
    std::printf("%d scene changes, each the median of %d clicks:\n", kScenes, rounds);
    summarise("wall clock", wallPerScene);
    summarise("CPU time of the window", cpuPerScene);
    return 0;
}
