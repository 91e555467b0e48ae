// The built game, started as a player or a script starts it: its arguments, its exit codes and
// what it says when the display, the replay, the folder it lies in or its sound is not what it
// expects.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/shell_output.h"
#include "support/silent_sound_server.h"
#include "tools/json_reader.h"

namespace tovik::testing {
namespace {

struct GameRun {
    int exitCode = -1;
    std::vector<std::string> lines;  // standard output and standard error together
};

// Runs a shell command line, with $GAME naming the built game and $SOURCE the source tree. Qt's
// word about an unset XDG_RUNTIME_DIR is no line of the game's, and is left out.
GameRun runShell(const std::string& line) {
    const ShellOutput output = runCommand("GAME='" TOVIK_BINARY "'; SOURCE='" TOVIK_SOURCE_DIR
                                          "'; export SDL_AUDIODRIVER=dummy; " +
                                          line + " 2>&1");
    GameRun run{output.exitCode, {}};
    std::istringstream in(output.text);
    for (std::string text; std::getline(in, text);) {
        if (text.rfind("QStandardPaths: ", 0) != 0) {
            run.lines.push_back(text);
        }
    }
    return run;
}

// The game on the offscreen platform, killed if it has not ended after 30 s.
GameRun runOffscreen(const std::string& arguments) {
    return runShell("QT_QPA_PLATFORM=offscreen timeout 30 \"$GAME\" " + arguments);
}

// Like runShell, but also takes the peak resident memory of everything the line ran, in KiB.
GameRun runMeasured(const std::string& line, long& peakKib) {
    const std::string output =
        std::filesystem::temp_directory_path() / ("tovik-measured-" + std::to_string(getpid()));
    const std::string command = "GAME='" TOVIK_BINARY "'; export SDL_AUDIODRIVER=dummy; { " + line +
                                "; } >'" + output + "' 2>&1";
    const pid_t child = fork();
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    peakKib = usage.ru_maxrss;
    GameRun run = runShell("cat '" + output + "'; rm -f '" + output + "'");
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) {
        all += line + '\n';
    }
    return all;
}

// A folder of its own for one test, removed afterwards.
struct ScratchFolder {
    explicit ScratchFolder(const std::string& name)
        : path(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid()))) {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

TEST(WindowCommandLine, AnUnreachableDisplayIsOneLineAndExitCodeOne) {
    // No X server listens on display 4711, and there is no Wayland compositor called so.
    for (const char* environment : {"DISPLAY=:4711", "WAYLAND_DISPLAY=tovik-none",
                                    "QT_QPA_PLATFORM=bogus", "QT_QPA_PLATFORM=xcb", ""}) {
        const GameRun run = runShell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                     std::string(environment) + " timeout 30 \"$GAME\"");
        EXPECT_EQ(run.exitCode, 1) << environment;
        ASSERT_EQ(run.lines.size(), 1u) << environment << ":\n" << joined(run.lines);
        EXPECT_EQ(run.lines[0].rfind("tovik: ", 0), 0u) << run.lines[0];
    }
}

// Each run says one line: a refusal (exit code 2) or the first frame's time (0). A screenshot
// into a FIFO would block for ever; a failed write (past the file size limit, as on a full disc)
// is the game's line, not a PNG library's; an exit question in a screenshot run waits for ever.
TEST(WindowCommandLine, EveryRunEndsWithOneLineOfItsOwn) {
    ScratchFolder folder("tovik-one-line");
    const std::string at = folder.path.string();
    const std::string played = " --replay '" + at + "/one.replay' --screenshot ";
    const struct {
        std::string before;  // a shell command run first
        std::string arguments;
        int exitCode;
        std::string said;
    } cases[] = {
        {"", "--seed -1", 2, "tovik: --seed takes a whole number"},
        {"mkfifo '" + at + "/pipe'", "--replay '" + at + "/pipe' --first-frame-time", 0,
         "first frame: "},
        {"", "--replay /nonexistent/tovik.replay", 2,
         "tovik: cannot read /nonexistent/tovik.replay: No such file or directory"},
        {"mkfifo '" + at + "/fifo'", played + "'" + at + "/fifo'", 2, "is not a regular file"},
        {"", played + "/dev/full", 2, "is not a regular file"},
        {"", played + "'" + at + "'", 2, "is not a regular file"},
        {"", played + "'" + at + "/missing/shot.png'", 2, "is not in an existing folder"},
        {"trap '' XFSZ; ulimit -f 0", played + "'" + at + "/big.png'", 2, "': File too large"},
        {"printf 'click Quit\\nclick R1\\n' >>'" + at + "/one.replay'",
         played + "'" + at + "/quit.png'", 2,
         "tovik: line 2: click Quit opens the exit question, which nobody answers while a "
         "screenshot is taken; not played"},
    };
    for (const auto& test : cases) {
        const GameRun run =
            runShell("printf 'click Start\\n' >'" + at + "/one.replay'; " +
                     (test.before.empty() ? "" : test.before + "; ") +
                     "QT_QPA_PLATFORM=offscreen timeout 30 \"$GAME\" " + test.arguments);
        EXPECT_EQ(run.exitCode, test.exitCode) << test.arguments;
        ASSERT_EQ(run.lines.size(), 1u) << test.arguments << ":\n" << joined(run.lines);
        EXPECT_NE(run.lines[0].find(test.said), std::string::npos) << run.lines[0];
    }
    EXPECT_FALSE(QImage(QString::fromStdString(at + "/quit.png")).isNull());
}

TEST(WindowCommandLine, AScreenshotShowsTheBannerColourTheReplaysTicksMade) {
    // The victory replay ends with the Win tick and two ColorChanger ticks: the banner is pink,
    // #FFC0C0, whatever the clock did while the picture was being taken.
    ScratchFolder folder("tovik-victory-shot");
    const std::string picture = (folder.path / "victory.png").string();
    const GameRun run = runOffscreen(
        "--seed 7 --replay \"$SOURCE/tools/screenshots/victory.replay\" --screenshot '" + picture +
        "'");
    ASSERT_EQ(run.exitCode, 0) << joined(run.lines);
    const QImage image =
        QImage(QString::fromStdString(picture)).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(image.isNull());
    const std::vector<QRgb> otherColours = {0xFF0000, 0xFF8000, 0xFFFF00, 0x00FF00, 0x00FFFF,
                                            0x0000FF, 0xFF00FF, 0x008080, 0x80FF80};
    int pink = 0;
    int other = 0;
    for (int y = 384; y < 384 + 73; ++y) {  // WinGame
        for (int x = 104; x < 104 + 385; ++x) {
            const QRgb pixel = image.pixel(x, y) & 0xFFFFFF;
            pink += pixel == 0xFFC0C0;
            other += std::count(otherColours.begin(), otherColours.end(), pixel) > 0;
        }
    }
    EXPECT_GT(pink, 100);
    EXPECT_EQ(other, 0);
}

TEST(WindowCommandLine, ARecordSavedByThePageShowsThePagesScreen) {
    // The page's record of a fight, with keys, the focus and moves among its clicks, brings its
    // own seed: the window shows what the same lines show with that seed given, whatever --seed
    // says. A record of another story is refused at its first line.
    ScratchFolder folder("tovik-record");
    const std::string shots = folder.path.string();
    const std::string record = "\"$SOURCE/tests/window/page-fight.record\"";
    const GameRun recorded =
        runOffscreen("--seed 1 --replay " + record + " --screenshot '" + shots + "/record.png'");
    const GameRun plain = runShell(
        "grep -v '^tovik-record\\|^end ' " + record + " > '" + shots + "/lines' && " +
        "QT_QPA_PLATFORM=offscreen timeout 30 \"$GAME\" --seed \"$(sed -n '1s/.*seed=//p' " +
        record + ")\" --replay '" + shots + "/lines' --screenshot '" + shots + "/plain.png'");
    ASSERT_EQ(recorded.exitCode, 0) << joined(recorded.lines);
    ASSERT_EQ(plain.exitCode, 0) << joined(plain.lines);
    EXPECT_EQ(joined(recorded.lines), "");
    const QImage fromRecord(QString::fromStdString(shots + "/record.png"));
    ASSERT_FALSE(fromRecord.isNull());
    EXPECT_TRUE(fromRecord == QImage(QString::fromStdString(shots + "/plain.png")));

    const GameRun other =
        runShell("sed '1s/story=/story=0/' " + record + " > '" + shots +
                 "/other' && QT_QPA_PLATFORM=offscreen timeout 30 \"$GAME\" " + "--replay '" +
                 shots + "/other' --screenshot '" + shots + "/other.png'");
    EXPECT_EQ(other.exitCode, 2);
    ASSERT_EQ(other.lines.size(), 1u) << joined(other.lines);
    EXPECT_NE(other.lines[0].find("line 1: a record of another story"), std::string::npos)
        << other.lines[0];
}

// strace shows every file the game opens; where it is missing or may not trace, this is skipped.
// The leak checker cannot work under strace, and is turned off for this one run.
TEST(WindowCommandLine, TheSoundsAreFoundBesideTheGameWhateverBytesItsFolderIsNamedIn) {
    if (runShell("strace -f -qq -e trace=openat true").exitCode != 0) {
        GTEST_SKIP() << "strace cannot trace here";
    }
    // "Привет" in the Cyrillic code page of old Windows systems: no UTF-8 at all.
    ScratchFolder scratch("tovik-foreign-folder");
    const std::filesystem::path folder = scratch.path / "\xcf\xf0\xe8\xe2\xe5\xf2";
    std::filesystem::create_directories(folder / "TovikSound");
    std::filesystem::copy_file(TOVIK_BINARY, folder / "tovik");
    // The game plays through its sound module, which lies beside it.
    std::filesystem::copy_file(
        std::filesystem::path(TOVIK_BINARY).parent_path() / "tovik-sdl-sound.so",
        folder / "tovik-sdl-sound.so");
    std::filesystem::copy_file(TOVIK_SOURCE_DIR "/assets/TovikSound/dindin.wav",
                               folder / "TovikSound" / "dindin.wav");
    const std::filesystem::path trace = scratch.path / "trace";
    const std::filesystem::path replay = scratch.path / "start.replay";
    const GameRun run = runShell("printf 'click Start\\n' > '" + replay.string() +
                                 "' && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy "
                                 "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" "
                                 "timeout 30 strace -f -qq -xx -e trace=openat -o '" +
                                 trace.string() + "' '" + (folder / "tovik").string() +
                                 "' --replay '" + replay.string() + "' --screenshot '" +
                                 (scratch.path / "start.png").string() + "'");
    ASSERT_EQ(run.exitCode, 0) << joined(run.lines);
    // strace -xx writes every byte of a path as \xNN.
    std::string expected;
    for (const unsigned char byte : (folder / "TovikSound" / "dindin.wav").string()) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02x", byte);
        expected += hex;
    }
    std::ifstream in(trace);
    bool opened = false;
    for (std::string line; std::getline(in, line);) {
        opened = opened || (line.find("\"" + expected + "\"") != std::string::npos &&
                            line.find(") = -1") == std::string::npos);
    }
    EXPECT_TRUE(opened) << "the start sound was not opened from the game's own folder";
}

TEST(WindowCommandLine, EndlessAndHugeReplaysEndPromptlyInLittleMemory) {
    ScratchFolder folder("tovik-huge-replay");
    const std::filesystem::path huge = folder.path / "huge.replay";
    {
        std::ofstream out(huge);
        for (int i = 0; i < 400000; ++i) {
            out << (i % 100 == 0 ? "move R1\n" : "# the hero stops and listens at the dark\n");
        }
    }
    const std::filesystem::path one = folder.path / "one.replay";
    std::ofstream(one) << "move R1\n";
    // The sanitizers hold freed memory back for a while; a little is enough for them here.
    const auto play = [&](const std::string& replay, long& peakKib) {
        return runMeasured(
            "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=4\" "
            "QT_QPA_PLATFORM=offscreen timeout 60 \"$GAME\" --replay '" +
                replay + "' --screenshot '" + (folder.path / "shot.png").string() + "'",
            peakKib);
    };
    long baseline = 0;
    ASSERT_EQ(play(one.string(), baseline).exitCode, 0);
    const struct {
        std::string replay;
        int exitCode;
        std::string said;  // the one line said, if any
    } cases[] = {
        {"/dev/zero", 2,
         "tovik: /dev/zero: line 1 is longer than 4096 bytes; a command is one short line"},
        {"/dev/urandom", 2, "tovik: line "},
        {huge.string(), 0, ""},
    };
    for (const auto& test : cases) {
        long peak = 0;
        const GameRun run = play(test.replay, peak);
        EXPECT_EQ(run.exitCode, test.exitCode) << test.replay << ":\n" << joined(run.lines);
        EXPECT_EQ(run.lines.size(), test.said.empty() ? 0u : 1u) << joined(run.lines);
        if (!test.said.empty() && !run.lines.empty()) {
            EXPECT_EQ(run.lines[0].rfind(test.said, 0), 0u) << run.lines[0];
        }
        EXPECT_LT(peak, baseline + 24 * 1024)
            << test.replay << " grew the game to " << peak << " KiB, from " << baseline << " KiB";
    }
}

// The window and tovik-story read their options and their commands with the same code, which
// the engine's tests hold to every case: here, that each program takes and refuses through it.
TEST(WindowCommandLine, TheWindowAndTheHeadlessPlayerAgree) {
    const struct {
        std::string options;
        std::string commands;
        std::string refusal;  // "" when both take it
    } cases[] = {
        {"--seed=5 --lang en",
         "\xEF\xBB\xBF"
         "click Start\n",
         ""},
        {"", std::string("cl\0ick Start\n", 13), "unknown command 'cl\\x00ick'"},
        {"--seed=1 --seed 1", "click Start\n", "--seed given twice"},
        {"--lang \"$(printf 'e\\302\\233n')\"", "click Start\n", "not 'e\\u009bn'"},
        {"--speed 1", "click Start\n", "unknown option '--speed'"},
    };
    ScratchFolder folder("tovik-agree");
    const std::string commands = (folder.path / "commands").string();
    // What each refused, and why: an error reply or a line on standard error.
    const auto refusals = [](const GameRun& run) {
        std::string said;
        for (const std::string& line : run.lines) {
            said += line.rfind("{\"error\"", 0) == 0 ? Json::parse(line)["error"].string
                    : line.rfind("{", 0) == 0        ? ""
                                                     : line;
        }
        return said;
    };
    for (const auto& test : cases) {
        std::ofstream(commands, std::ios::binary) << test.commands;
        const GameRun window = runOffscreen(test.options + " --replay '" + commands +
                                            "' --screenshot '" + commands + ".png'");
        const GameRun player =
            runShell("'" TOVIK_STORY_BINARY "' play " + test.options + " < '" + commands + "'");
        const std::string byWindow = refusals(window);
        const std::string byPlayer = refusals(player);
        if (test.refusal.empty()) {
            EXPECT_EQ(window.exitCode, 0) << test.options << ": " << byWindow;
            EXPECT_EQ(player.exitCode, 0) << test.options << ": " << byPlayer;
            EXPECT_EQ(byWindow + byPlayer, "") << test.options;
        } else {
            EXPECT_EQ(window.exitCode, 2) << test.refusal;
            EXPECT_NE(byWindow.find(test.refusal), std::string::npos) << "window: " << byWindow;
            EXPECT_NE(byPlayer.find(test.refusal), std::string::npos) << "player: " << byPlayer;
        }
    }
}

// The game's stderr alone, and how long it took, for a replay of `replay` lines in `folder`
// and `environment` (NAME=value words).
struct SoundRun {
    int exitCode = -1;
    std::string errors;
    std::chrono::steady_clock::duration took{};
};
SoundRun runWithSound(const std::filesystem::path& folder, const std::string& environment,
                      const std::string& replay, const std::string& game = TOVIK_BINARY) {
    std::ofstream(folder / "play.replay") << replay;
    std::filesystem::create_directory(folder / "runtime");
    std::filesystem::permissions(folder / "runtime", std::filesystem::perms::owner_all);
    const auto start = std::chrono::steady_clock::now();
    ShellOutput output = runCommand(
        "env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR='" + (folder / "runtime").string() + "' " +
        environment + " timeout 30 '" + game + "' --replay '" + (folder / "play.replay").string() +
        "' --screenshot '" + (folder / "shot.png").string() + "' 2>&1 >/dev/null");
    return {output.exitCode, std::move(output.text), std::chrono::steady_clock::now() - start};
}

// The no-sound line, and nothing else.
void expectOneNoSoundLine(const SoundRun& run) {
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors.rfind("Игра идёт без звука: ", 0), 0u) << run.errors;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
    EXPECT_EQ(run.errors.back(), '\n');
}

// A copy of the game at `folder`/`name`, as a player might unpack it anywhere.
std::string copyOfTheGame(const std::filesystem::path& folder, const std::string& name) {
    std::filesystem::create_directories((folder / name).parent_path());
    std::filesystem::copy_file(TOVIK_BINARY, folder / name);
    return (folder / name).string();
}

TEST(GameSound, WithoutASoundDeviceTheGameSaysSoInExactlyOneLine) {
    // ALSA with a configuration that knows no card, as on a machine without sound.
    ScratchFolder folder("tovik-game-no-card");
    std::ofstream(folder.path / "asound.conf").flush();
    expectOneNoSoundLine(runWithSound(
        folder.path,
        "SDL_AUDIODRIVER=alsa ALSA_CONFIG_PATH='" + (folder.path / "asound.conf").string() + "'",
        "click Start\n"));
}

TEST(GameSound, ASoundServerThatNeverAnswersDoesNotHoldUpTheGame) {
    ScratchFolder folder("tovik-game-hung");
    const SilentSoundServer server(folder.path);
    ASSERT_TRUE(server.listening());
    const SoundRun run =
        runWithSound(folder.path, "SDL_AUDIODRIVER=pulseaudio PULSE_SERVER=" + server.address(),
                     "click Start\nclick R1\nclick R1\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    // The replay starts after 0.2 s and the screenshot is taken 0.3 s later; the server
    // would have held the window for half a minute.
    EXPECT_LT(run.took, std::chrono::seconds(5));
    EXPECT_TRUE(std::filesystem::exists(folder.path / "shot.png"));
    EXPECT_EQ(run.errors, "");
}

TEST(GameSound, ADamagedModuleBesideTheGameGivesOneLineAndANormalExit) {
    // Each refusal is the sound tests'; here, that the game says it in one line and plays on.
    std::ifstream in(std::filesystem::path(TOVIK_BINARY).parent_path() / "tovik-sdl-sound.so",
                     std::ios::binary);
    const std::string real{std::istreambuf_iterator<char>(in), {}};
    const struct {
        const char* name;
        std::function<void(const std::filesystem::path&)> plant;
    } cases[] = {
        {"cut short",
         [&](const auto& at) { std::ofstream(at) << real.substr(0, real.size() / 2); }},
        {"another build",
         [](const auto& at) { std::filesystem::copy_file(TOVIK_STALE_MODULE, at); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder("tovik-game-damaged");
        const std::string game = copyOfTheGame(folder.path, "tovik");
        c.plant(folder.path / "tovik-sdl-sound.so");
        const SoundRun run =
            runWithSound(folder.path, "SDL_AUDIODRIVER=dummy", "click Start\n", game);
        expectOneNoSoundLine(run);
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
        ScratchFolder folder("tovik-game-planted");
        const std::string game = copyOfTheGame(folder.path, "games/tovik");
        std::filesystem::create_directories(folder.path / "lib/tovik");
        std::filesystem::copy_file(TOVIK_STALE_MODULE,
                                   folder.path / "lib/tovik/tovik-sdl-sound.so");
        std::filesystem::permissions(folder.path, static_cast<perms>(0755) | shared);
        const std::filesystem::path mark = folder.path / "ran";
        const SoundRun run = runWithSound(
            folder.path, "SDL_AUDIODRIVER=dummy TOVIK_TEST_MODULE_MARK='" + mark.string() + "'",
            "click Start\n", game);
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_EQ(std::filesystem::exists(mark), shared == perms::none);
    }
}

}  // namespace
}  // namespace tovik::testing
