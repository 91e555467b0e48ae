#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "engine/command_line.h"
#include "engine/no_sound_line.h"
#include "engine/random_source.h"
#include "sound/device_audio_output.h"
#include "sound/program_folder.h"
#include "sound/sound_home.h"
#include "sound/sound_module.h"
#include "story/interface_texts.h"
#include "window/game_window.h"
#include "window/lost_window_watch.h"
#include "window/narrator.h"
#include "window/player_access.h"
#include "window/replay.h"

namespace {

// Qt aborts with a long complaint when there is no display; say it in one line instead.
bool hasDisplay() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

void fail(const QString& message) {
    std::fprintf(stderr, "tovik: %s\n", message.toLocal8Bit().constData());
}

void fail(const std::string& message) {
    std::fprintf(stderr, "tovik: %s\n", message.c_str());
}

constexpr const char* kHelp = R"(Usage: tovik [OPTIONS]
Товик Ларминов в магическом подземелье

Options:
  -h, --help             Show this help.
  --seed N               Repeatable dice: the same seed, the same game (0 to 2^64-1).
  --replay FILE          Play the actions in FILE into the window (click/move/tick NAME, key,
                         focus), one a line, as they are read; FILE may be a pipe or a
                         game's record, which brings its own seed.
  --screenshot FILE      After the replay, save the window as PNG to FILE and leave.
  --first-frame-time     Print how long the first frame took to paint, and leave.
  --lang LANG            Play in LANG: ru or en. Without it, the locale's language decides.
)";

// What Qt says while the application starts, held back until it is known whether the window
// can be opened at all.
std::vector<QString>& startupMessages() {
    static std::vector<QString> held;
    return held;
}

// Which display the window was to open on, for the one line said when it cannot.
QString unreachableDisplay() {
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platform.isEmpty()) {
        return "the window platform \"" + platform + "\" cannot be started";
    }
    const QString x = qEnvironmentVariable("DISPLAY");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (!x.isEmpty()) {
        return "the display \"" + x + "\" cannot be reached";
    }
    return "the Wayland display \"" + wayland + "\" cannot be reached, and no X display is set";
}

// Qt's own messages at start-up: a fatal one means no display could be opened, which the game
// reports in one line with exit code 1 in place of Qt's several lines and abort. The others
// are said once the window is known to open.
void startupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        fail("cannot open the game window: " + unreachableDisplay() + ".");
        std::fflush(stderr);
        std::_Exit(1);
    }
    startupMessages().push_back(qFormatLogMessage(type, context, message));
}

// Why `path` cannot take the screenshot, or nothing when it can: it must be a regular file or
// a new one in a folder. Anything else (a FIFO, which would block the game for ever, a device,
// a folder) is refused before the game starts.
std::optional<std::string> refuseScreenshotPath(const std::string& path) {
    const std::string shown = tovik::quotedText(path);
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        if (S_ISREG(status.st_mode)) {
            return std::nullopt;
        }
        return "--screenshot takes a file to write, and " + shown + " is not a regular file";
    }
    if (errno != ENOENT) {
        return "--screenshot cannot use " + shown + ": " + std::strerror(errno);
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (::stat(folder.empty() ? "." : folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return "--screenshot takes a file to write, and " + shown + " is not in an existing folder";
    }
    return std::nullopt;
}

// Writes `png` to `path`, which was found fit to take it at the start; why not, if it cannot.
// The picture is encoded in memory first, so that a failing write is the game's one line and
// never the PNG library's too.
std::optional<std::string> writeScreenshot(const std::string& path, const QByteArray& png) {
    const std::string shown = tovik::quotedText(path);
    const auto failed = [&](int error) {
        return "cannot write " + shown + ": " + std::strerror(error);
    };
    const int fd = ::open(path.c_str(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        return failed(errno);
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return "cannot write " + shown + ": not a regular file";
    }
    for (qsizetype written = 0; written < png.size();) {
        const ssize_t step =
            ::write(fd, png.constData() + written, static_cast<std::size_t>(png.size() - written));
        if (step < 0 && errno == EINTR) {
            continue;
        }
        if (step <= 0) {
            const int error = step < 0 ? errno : EIO;
            ::close(fd);
            return failed(error);
        }
        written += step;
    }
    if (::close(fd) != 0) {
        return failed(errno);
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (!hasDisplay()) {
        std::fputs("tovik: no display to open the game window on (DISPLAY is not set).\n", stderr);
        return 1;
    }
    qInstallMessageHandler(startupMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(nullptr);
    for (const QString& message : std::exchange(startupMessages(), {})) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
    QApplication::setApplicationName("tovik");
    // A desktop knows the window by its menu entry, named after the game's id.
    QGuiApplication::setDesktopFileName(TOVIK_APP_ID);

    // QApplication has taken its own options (-platform, -display, ...) out of argv.
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    static constexpr std::array kRules = {
        tovik::OptionRule{"seed", true}, tovik::OptionRule{"replay", true},
        tovik::OptionRule{"screenshot", true}, tovik::OptionRule{"first-frame-time", false},
        tovik::kLanguageOption};
    const auto parsed = tovik::parseOptions(arguments, kRules);
    if (const auto* why = std::get_if<std::string>(&parsed)) {
        fail(*why);
        return 2;
    }
    const tovik::GivenOptions& options = std::get<tovik::GivenOptions>(parsed);
    if (options.has("help")) {
        std::fputs(kHelp, stdout);
        return 0;
    }

    if (const std::string* code = options.value("lang")) {
        const auto chosen = tovik::languageOption(*code);
        if (const auto* why = std::get_if<std::string>(&chosen)) {
            fail(*why);
            return 2;
        }
        tovik::story::setLanguage(std::get<tovik::story::Language>(chosen));
    } else {
        tovik::story::setLanguage(tovik::story::languageOfEnvironment(
            [](const char* name) -> const char* { return std::getenv(name); }));
    }

    std::unique_ptr<tovik::SeededRandom> random;
    if (const std::string* text = options.value("seed")) {
        const auto seed = tovik::seedOption(*text);
        if (const auto* why = std::get_if<std::string>(&seed)) {
            fail(*why);
            return 2;
        }
        random = std::make_unique<tovik::SeededRandom>(std::get<std::uint64_t>(seed));
    } else {
        random = std::make_unique<tovik::SeededRandom>();
    }
    const std::string* screenshot = options.value("screenshot");
    if (screenshot != nullptr) {
        if (const std::optional<std::string> why = refuseScreenshotPath(*screenshot)) {
            fail(*why);
            return 2;
        }
    }
    std::unique_ptr<tovik::window::Replay> replay;
    if (const std::string* path = options.value("replay")) {
        auto opened = tovik::window::Replay::open(QFile::decodeName(path->c_str()));
        if (const auto* why = std::get_if<std::string>(&opened)) {
            fail(*why);
            return 2;
        }
        replay = std::get<std::unique_ptr<tovik::window::Replay>>(std::move(opened));
        replay->drawWith(*random);  // a record seeds the dice afresh
    }

    tovik::sound::DeviceAudioOutput audio(tovik::sound::sdlSoundModule());
    audio.setSilenceLine(tovik::noSoundLine);
    // The sounds beside the executable, else those installed with the game; the folder's name
    // is kept as the file system's bytes, whatever its encoding.
    const std::string soundHome =
        tovik::sound::soundHome(tovik::sound::programFolder(argv[0])).string();
    tovik::window::GameWindow window(audio, *random, nullptr, soundHome);
    QObject::connect(&window, &tovik::window::GameWindow::unloaded, &application,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    int status = 0;
    tovik::window::LostWindowWatch watch(window, [&] {
        fail(std::string("the game window was destroyed by another program; the game ends."));
        // Qt would report every later use of the vanished window as an X error.
        QLoggingCategory::setFilterRules("qt.qpa.xcb.warning=false");
        status = 1;
        window.close();  // the game unloads as when its frame is closed
    });
    application.installNativeEventFilter(&watch);
    window.show();
    window.centreOnScreen();
    // The sound device opens once the first frame is up, on the sound thread, so the window
    // never waits for it.
    QTimer::singleShot(150, &window, [&audio] { audio.prepare(); });
    // So is the narrator, when the player left it on: its speech libraries load only then.
    QTimer::singleShot(150, &window, [&window] { window.access().narrator().restore(); });

    if (options.has("first-frame-time")) {
        window.reportFirstPaint([&sinceStart] {
            std::printf("first frame: %.1f ms\n",
                        static_cast<double>(sinceStart.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }

    // After the replay, if any: a screenshot run saves the window and leaves; a replay that
    // could not be read to its end ends the game.
    const auto afterReplay = [&](tovik::window::ReplayEnd end) {
        if (end == tovik::window::ReplayEnd::Unreadable) {
            QCoreApplication::exit(2);
            return;
        }
        if (screenshot == nullptr) {
            return;
        }
        window.stopTimers();
        QTimer::singleShot(300, &window, [&] {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            std::optional<std::string> why;
            if (!window.grab().save(&buffer, "PNG")) {
                why = "cannot make the screenshot";
            } else {
                why = writeScreenshot(*screenshot, png);
            }
            if (why) {
                fail(*why);
                status = 2;
            }
            QCoreApplication::exit(status);
        });
    };
    if (replay || screenshot != nullptr) {
        QTimer::singleShot(200, &window, [&] {
            if (!replay) {
                afterReplay(tovik::window::ReplayEnd::Played);
                return;
            }
            const auto watcher = screenshot != nullptr ? tovik::window::ReplayWatcher::Nobody
                                                       : tovik::window::ReplayWatcher::Player;
            if (screenshot != nullptr) {
                // The replay is played between the window's events, where the clock's ticks
                // would fall between its lines: the picture is to show the replay's own ticks.
                window.stopTimers();
            }
            replay->start(
                window, watcher,
                [&](const std::string& problem) {
                    std::fprintf(stderr, "tovik: %s\n", problem.c_str());
                    status = 2;
                },
                afterReplay);
        });
    }
    const int result = QApplication::exec();
    replay.reset();  // its reading thread ends before the window it plays into
    return result != 0 ? result : status;
}
