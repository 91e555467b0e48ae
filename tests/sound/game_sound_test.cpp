#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
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
                const std::string& replay, const std::filesystem::path& game = TOVIK_GAME_BINARY) {
    const std::filesystem::path script =
        folder.write("play.replay", {replay.begin(), replay.end()});
    const std::filesystem::path runtime = folder.path() / "runtime";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    const std::string command = "env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR='" +
                                runtime.string() + "' " + environment + " '" + game.string() +
                                "' --replay '" + script.string() + "' --screenshot '" +
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
    EXPECT_EQ(run.errors.rfind("Игра идёт без звука: ", 0), 0u) << run.errors;
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

// A copy of the game at `folder`/`name`, as a player might unpack it anywhere.
std::filesystem::path copyOfTheGame(const testing::TempFolder& folder, const std::string& name) {
    const std::filesystem::path copy = folder.path() / name;
    std::filesystem::create_directories(copy.parent_path());
    std::filesystem::copy_file(TOVIK_GAME_BINARY, copy);
    return copy;
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(GameSound, ADamagedModuleBesideTheGameGivesOneLineAndANormalExit) {
    const std::string real =
        readFile(std::filesystem::path(TOVIK_GAME_BINARY).parent_path() / "tovik-sdl-sound.so");
    std::string otherProcessor = real;
    otherProcessor[18] ^= 0x40;  // the ELF header's machine
    const struct {
        const char* name;
        std::function<void(const std::filesystem::path&)> plant;
    } cases[] = {
        {"cut short",
         [&](const auto& at) { std::ofstream(at) << real.substr(0, real.size() / 2); }},
        {"a FIFO", [](const auto& at) { ::mkfifo(at.c_str(), 0600); }},
        {"another processor", [&](const auto& at) { std::ofstream(at) << otherProcessor; }},
        {"another build",
         [](const auto& at) { std::filesystem::copy_file(TOVIK_STALE_MODULE, at); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const testing::TempFolder folder("tovik-game-damaged");
        const std::filesystem::path game = copyOfTheGame(folder, "tovik");
        c.plant(folder.path() / "tovik-sdl-sound.so");
        const GameRun run = runGame(folder, "SDL_AUDIODRIVER=dummy", "click Start\n", game);
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_EQ(run.errors.rfind("Игра идёт без звука: ", 0), 0u) << run.errors;
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
        EXPECT_LT(run.took, std::chrono::seconds(10));
    }
}

TEST(GameSound, AModuleBelowTheGamesPrefixRunsOnlyWhenNoOneElseMayChangeItsFolders) {
    // The copy installed into a prefix of its own, as into ~/.local, or unpacked into a folder
    // everyone may write to, where anyone could put a lib/tovik beside it. The stale module
    // leaves a mark when it is loaded, before it is refused.
    using std::filesystem::perms;
    for (const perms shared : {perms::none, perms::others_write}) {
        SCOPED_TRACE(shared == perms::none ? "a prefix of the player's" : "a shared folder");
        const testing::TempFolder folder("tovik-game-planted");
        const std::filesystem::path game = copyOfTheGame(folder, "games/tovik");
        std::filesystem::create_directories(folder.path() / "lib/tovik");
        std::filesystem::copy_file(TOVIK_STALE_MODULE,
                                   folder.path() / "lib/tovik/tovik-sdl-sound.so");
        std::filesystem::permissions(folder.path(), static_cast<perms>(0755) | shared);
        const std::filesystem::path mark = folder.path() / "ran";
        const GameRun run = runGame(folder, "TOVIK_TEST_MODULE_MARK='" + mark.string() + "'",
                                    "click Start\n", game);
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_EQ(std::filesystem::exists(mark), shared == perms::none);
    }
}

}  // namespace
}  // namespace tovik::sound
