// The built game, started as a player or a script starts it: its arguments, its exit codes and
// what it says when the display, the replay or the folder it lies in is not what it expects.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include "support/shell_output.h"
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
    const std::string command = "GAME='" TOVIK_BINARY "'; SOURCE='" TOVIK_SOURCE_DIR
                                "'; export SDL_AUDIODRIVER=dummy; " +
                                line + " 2>&1";
    const tovik::testing::ShellOutput output = tovik::testing::runCommand(command);
    GameRun run;
    run.exitCode = output.exitCode;
    std::istringstream in(output.text);
    for (std::string text; std::getline(in, text);) {
        if (text.rfind("QStandardPaths: ", 0) != 0) {
            run.lines.push_back(text);
        }
    }
    return run;
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

// The game on the offscreen platform, killed if it has not ended after 30 s.
GameRun runOffscreen(const std::string& arguments) {
    return runShell("QT_QPA_PLATFORM=offscreen timeout 30 \"$GAME\" " + arguments);
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
        : path(std::filesystem::temp_directory_path() / name) {
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

TEST(WindowCommandLine, SeedsAreReadAsTovikStoryReadsThem) {
    for (const char* seed : {"' 5'", "+5", "'5 '", "''", "-1", "18446744073709551616", "5x"}) {
        const GameRun run = runOffscreen(std::string("--seed ") + seed);
        EXPECT_EQ(run.exitCode, 2) << seed;
        ASSERT_EQ(run.lines.size(), 1u) << seed << ":\n" << joined(run.lines);
        EXPECT_EQ(run.lines[0].rfind("tovik: --seed takes a whole number", 0), 0u) << run.lines[0];
    }
    for (const char* seed : {"0", "18446744073709551615"}) {
        const GameRun run = runOffscreen(std::string("--seed ") + seed + " --first-frame-time");
        EXPECT_EQ(run.exitCode, 0) << seed << ":\n" << joined(run.lines);
    }
}

TEST(WindowCommandLine, AReplayWithoutLineEndsIsRefusedAtTheBound) {
    const GameRun zeros = runOffscreen("--replay /dev/zero");
    EXPECT_EQ(zeros.exitCode, 2);
    ASSERT_EQ(zeros.lines.size(), 1u) << joined(zeros.lines);
    EXPECT_EQ(zeros.lines[0],
              "tovik: /dev/zero: line 1 is longer than 4096 bytes; a command is one short line");

    const GameRun missing = runOffscreen("--replay /nonexistent/tovik.replay");
    EXPECT_EQ(missing.exitCode, 2);
    ASSERT_EQ(missing.lines.size(), 1u) << joined(missing.lines);
    EXPECT_EQ(missing.lines[0],
              "tovik: cannot read /nonexistent/tovik.replay: No such file or directory");
}

TEST(WindowCommandLine, AScreenshotRunDoesNotOpenTheExitQuestion) {
    // The exit question would wait for an answer that never comes; the run must end.
    ScratchFolder folder("tovik-quit-replay");
    const std::string replay = (folder.path / "quit.replay").string();
    const std::string picture = (folder.path / "quit.png").string();
    const GameRun run = runShell("printf 'click Start\\nclick Quit\\nclick R1\\n' > '" + replay +
                                 "' && QT_QPA_PLATFORM=offscreen timeout 30 \"$GAME\" --replay '" +
                                 replay + "' --screenshot '" + picture + "'");
    EXPECT_EQ(run.exitCode, 2);
    ASSERT_EQ(run.lines.size(), 1u) << joined(run.lines);
    EXPECT_EQ(run.lines[0],
              "tovik: line 2: click Quit opens the exit question, which nobody "
              "answers while a screenshot is taken; not played");
    EXPECT_FALSE(QImage(QString::fromStdString(picture)).isNull());
}

TEST(WindowCommandLine, AScreenshotGoesOnlyIntoAFileAndAFailedWriteIsOneLine) {
    // Into a FIFO the game would block for ever; into a device, a folder or a missing folder it
    // cannot write a picture. Each is refused at once. A write that fails (here past the file
    // size limit, as on a full disc) is the game's one line, and no PNG library's.
    ScratchFolder folder("tovik-screenshot-places");
    const std::string at = folder.path.string();
    const struct {
        std::string path;
        std::string before;  // a shell command run first
        std::string said;
    } cases[] = {
        {at + "/fifo", "mkfifo '" + at + "/fifo'", "is not a regular file"},
        {"/dev/full", "", "is not a regular file"},
        {at, "", "is not a regular file"},
        {at + "/missing/shot.png", "", "is not in an existing folder"},
        {at + "/big.png", "trap '' XFSZ; ulimit -f 0", "': File too large"},
    };
    for (const auto& test : cases) {
        const GameRun run = runShell("printf 'click Start\\n' >'" + at + "/one.replay'; " +
                                     (test.before.empty() ? "" : test.before + "; ") +
                                     "QT_QPA_PLATFORM=offscreen timeout 30 \"$GAME\" --replay '" +
                                     at + "/one.replay' --screenshot '" + test.path + "'");
        EXPECT_EQ(run.exitCode, 2) << test.path;
        ASSERT_EQ(run.lines.size(), 1u) << test.path << ":\n" << joined(run.lines);
        EXPECT_NE(run.lines[0].find(test.said), std::string::npos) << run.lines[0];
    }
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

    const QRect banner(104, 384, 385, 73);  // WinGame
    const std::vector<QRgb> otherColours = {0xFF0000, 0xFF8000, 0xFFFF00, 0x00FF00, 0x00FFFF,
                                            0x0000FF, 0xFF00FF, 0x008080, 0x80FF80};
    int pink = 0;
    int other = 0;
    for (int y = banner.top(); y <= banner.bottom(); ++y) {
        for (int x = banner.left(); x <= banner.right(); ++x) {
            const QRgb pixel = image.pixel(x, y) & 0xFFFFFF;
            pink += pixel == 0xFFC0C0;
            other +=
                std::find(otherColours.begin(), otherColours.end(), pixel) != otherColours.end();
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

    struct Case {
        std::string replay;
        int exitCode;
        std::string saidFirst;  // the start of the one line said, if any
    };
    for (const Case& test :
         std::vector<Case>{{"/dev/zero", 2, "tovik: /dev/zero: line 1 is longer than 4096 bytes"},
                           {"/dev/urandom", 2, "tovik: line "},
                           {huge.string(), 0, ""}}) {
        long peak = 0;
        const GameRun run = play(test.replay, peak);
        EXPECT_EQ(run.exitCode, test.exitCode) << test.replay << ":\n" << joined(run.lines);
        if (test.saidFirst.empty()) {
            EXPECT_TRUE(run.lines.empty()) << test.replay << ":\n" << joined(run.lines);
        } else {
            ASSERT_EQ(run.lines.size(), 1u) << test.replay << ":\n" << joined(run.lines);
            EXPECT_EQ(run.lines[0].rfind(test.saidFirst, 0), 0u) << run.lines[0];
        }
        EXPECT_LT(peak, baseline + 24 * 1024)
            << test.replay << " grew the game to " << peak << " KiB, from " << baseline << " KiB";
    }
}

TEST(WindowCommandLine, APipeWithoutAWriterHoldsNothingUp) {
    ScratchFolder folder("tovik-replay-pipe");
    const std::string pipe = (folder.path / "replay").string();
    const GameRun run = runShell("mkfifo '" + pipe +
                                 "' && QT_QPA_PLATFORM=offscreen timeout 30 \"$GAME\" --replay '" +
                                 pipe + "' --first-frame-time");
    EXPECT_EQ(run.exitCode, 0) << joined(run.lines);
    ASSERT_EQ(run.lines.size(), 1u) << joined(run.lines);
    EXPECT_EQ(run.lines[0].rfind("first frame: ", 0), 0u) << run.lines[0];
}

// The window and tovik-story read their options and their commands with the same code, and
// must take and refuse the same things for the same reasons.
TEST(WindowCommandLine, TheWindowAndTheHeadlessPlayerAgree) {
    struct Case {
        const char* what;
        std::string options;
        std::string commands;
        std::string refusal;  // "" when both take it
    };
    const std::string bom = "\xEF\xBB\xBF";
    const std::vector<Case> cases = {
        {"a byte-order mark at the start", "", bom + "click Start\n", ""},
        {"a byte-order mark on line 2", "", "click Start\n" + bom + "click R1\n",
         "unknown command '" + bom + "click'"},
        {"two byte-order marks", "", bom + bom + "click Start\n", "unknown command '" + bom},
        {"a NUL in a command", "", std::string("cl\0ick Start\n", 13),
         "unknown command 'cl\\x00ick'"},
        {"a seed given twice", "--seed 1 --seed 2", "click Start\n", "--seed given twice"},
        {"a seed given twice, once with =", "--seed=1 --seed 1", "click Start\n",
         "--seed given twice"},
        {"a seed with =", "--seed=5", "click Start\n", ""},
        {"a line end in a seed", "--seed \"$(printf '1\\n2')\"", "click Start\n", "not '1\\n2'"},
        {"an option neither knows", "--speed 1", "click Start\n", "unknown option '--speed'"},
        {"a language", "--lang en", "click Start\n", ""},
        {"a language with =", "--lang=en", "click Start\n", ""},
        {"a language given twice", "--lang en --lang ru", "click Start\n", "--lang given twice"},
        {"a language given twice, once with =", "--lang=en --lang=en", "click Start\n",
         "--lang given twice"},
        {"a language neither plays", "--lang=de", "click Start\n",
         "--lang takes ru or en, not 'de'"},
        // Bytes that would start a terminal's control sequence, or are no UTF-8 at all.
        {"a C1 control in a value", "--lang \"$(printf 'e\\302\\233n')\"", "click Start\n",
         "not 'e\\u009bn'"},
        {"a bad UTF-8 byte in a value", "--lang \"$(printf 'e\\233n')\"", "click Start\n",
         "not 'e\\x9bn'"},
        {"a C1 control in a command", "", "click Start\xc2\x9b\n",
         "no control named 'Start\\u009b'"},
        {"a bad UTF-8 byte in a command", "", "click \xffStart\n", "no control named '\\xffStart'"},
    };
    ScratchFolder folder("tovik-agree");
    const std::string commands = (folder.path / "commands").string();
    for (const Case& test : cases) {
        std::ofstream(commands, std::ios::binary) << test.commands;
        const GameRun window = runOffscreen(test.options + " --replay '" + commands +
                                            "' --screenshot '" + commands + ".png'");
        const GameRun player =
            runShell("'" TOVIK_STORY_BINARY "' play " + test.options + " < '" + commands + "'");
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
        const std::string byWindow = refusals(window);
        const std::string byPlayer = refusals(player);
        if (test.refusal.empty()) {
            EXPECT_EQ(window.exitCode, 0) << test.what << ": " << byWindow;
            EXPECT_EQ(player.exitCode, 0) << test.what << ": " << byPlayer;
            EXPECT_EQ(byWindow + byPlayer, "") << test.what;
        } else {
            EXPECT_EQ(window.exitCode, 2) << test.what;
            EXPECT_NE(byWindow.find(test.refusal), std::string::npos)
                << test.what << ": the window said " << byWindow;
            EXPECT_NE(byPlayer.find(test.refusal), std::string::npos)
                << test.what << ": tovik-story said " << byPlayer;
        }
    }
}

}  // namespace
}  // namespace tovik::testing
