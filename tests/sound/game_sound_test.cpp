#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "support/shell_output.h"
#include "support/silent_sound_server.h"
#include "temp_folder.h"

// The built game itself, run on an offscreen screen with a short replay, for what only the
// whole program shows: what it prints and how soon it is done.

namespace tovik::sound {
namespace {

using Clock = std::chrono::steady_clock;

struct GameRun {
    int exitCode = -1;
    std::string errors;  // everything the game printed on stderr
    Clock::duration took{};
};

// Runs the game with `environment` (NAME=value words) and a replay of `replay` lines, then
// a screenshot, which ends it.
GameRun runGame(const testing::TempFolder& folder, const std::string& environment,
                const std::string& replay) {
    const std::filesystem::path script =
        folder.write("play.replay", {replay.begin(), replay.end()});
    const std::filesystem::path runtime = folder.path() / "runtime";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    const std::string command =
        "env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR='" + runtime.string() + "' " + environment +
        " '" TOVIK_GAME_BINARY "' --replay '" + script.string() + "' --screenshot '" +
        (folder.path() / "shot.png").string() + "' 2>&1 >/dev/null";
    GameRun run;
    const Clock::time_point start = Clock::now();
    tovik::testing::ShellOutput output = tovik::testing::runCommand(command);
    run.took = Clock::now() - start;
    run.errors = std::move(output.text);
    run.exitCode = output.exitCode;
    return run;
}

TEST(GameSound, WithoutASoundDeviceTheGameSaysSoInExactlyOneLine) {
    // ALSA with a configuration that knows no card, as on a machine without sound.
    const testing::TempFolder folder("tovik-game-no-card");
    const std::filesystem::path config = folder.write("asound.conf", {});
    const GameRun run = runGame(
        folder, "SDL_AUDIODRIVER=alsa ALSA_CONFIG_PATH='" + config.string() + "'", "click Start\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors.rfind("Звук недоступен: ", 0), 0u) << run.errors;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
    EXPECT_EQ(run.errors.back(), '\n');
}

TEST(GameSound, ASoundServerThatNeverAnswersDoesNotHoldUpTheGame) {
    const testing::TempFolder folder("tovik-game-hung");
    const tovik::testing::SilentSoundServer server(folder.path());
    ASSERT_TRUE(server.listening());
    const GameRun run =
        runGame(folder, "SDL_AUDIODRIVER=pulseaudio PULSE_SERVER=" + server.address(),
                "click Start\nclick R1\nclick R1\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    // The replay starts after 0.2 s and the screenshot is taken 0.3 s later; the server
    // would have held the window for half a minute.
    EXPECT_LT(run.took, std::chrono::seconds(5));
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "shot.png"));
    EXPECT_EQ(run.errors, "");
}

}  // namespace
}  // namespace tovik::sound
