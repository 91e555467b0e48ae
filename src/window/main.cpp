#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTimer>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "engine/random_source.h"
#include "sound/device_audio_output.h"
#include "sound/program_folder.h"
#include "sound/sound_home.h"
#include "sound/sound_module.h"
#include "story/interface_texts.h"
#include "window/game_window.h"
#include "window/lost_window_watch.h"
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

    QCommandLineParser options;
    options.setApplicationDescription("Товик Ларминов в магическом подземелье");
    options.addHelpOption();
    const QCommandLineOption seed("seed", "Repeatable dice: the same seed, the same game.", "N");
    const QCommandLineOption replayFile(
        "replay", "Play the actions in FILE into the window first (click/move/tick NAME).", "FILE");
    const QCommandLineOption screenshot(
        "screenshot", "After the replay, save the window as PNG to FILE and leave.", "FILE");
    const QCommandLineOption firstFrame("first-frame-time",
                                        "Print how long the first frame took to paint, and leave.");
    const QCommandLineOption language(
        "lang", "Play in LANG: ru or en. Without it, the locale's language decides.", "LANG");
    options.addOptions({seed, replayFile, screenshot, firstFrame, language});
    if (!options.parse(QApplication::arguments())) {
        fail(options.errorText());
        return 2;
    }
    if (options.isSet("help")) {
        options.showHelp(0);
    }
    if (!options.positionalArguments().isEmpty()) {
        fail("unexpected argument: " + options.positionalArguments().first());
        return 2;
    }

    if (options.isSet(language)) {
        const std::optional<tovik::story::Language> chosen =
            tovik::story::languageNamed(options.value(language).toStdString());
        if (!chosen) {
            fail("--lang takes ru or en, not '" + options.value(language) + "'");
            return 2;
        }
        tovik::story::setLanguage(*chosen);
    } else {
        tovik::story::setLanguage(tovik::story::languageOfEnvironment(
            [](const char* name) -> const char* { return std::getenv(name); }));
    }

    std::unique_ptr<tovik::SeededRandom> random;
    if (options.isSet(seed)) {
        const std::optional<std::uint64_t> value =
            tovik::parseSeed(options.value(seed).toStdString());
        if (!value) {
            fail("--seed takes a whole number from 0 to 18446744073709551615, not '" +
                 options.value(seed) + "'");
            return 2;
        }
        random = std::make_unique<tovik::SeededRandom>(*value);
    } else {
        random = std::make_unique<tovik::SeededRandom>();
    }
    QStringList script;
    if (options.isSet(replayFile)) {
        auto read = tovik::window::readReplayFile(options.value(replayFile));
        if (const auto* why = std::get_if<QString>(&read)) {
            fail(*why);
            return 2;
        }
        script = std::get<QStringList>(std::move(read));
    }

    tovik::sound::DeviceAudioOutput audio(tovik::sound::sdlSoundModule());
    audio.setSilenceWords(
        {std::string(tovik::story::translated(tovik::story::kNoSoundWarning))});
    // The sounds beside the executable, else those installed with the game; the folder's name
    // is kept as the file system's bytes, whatever its encoding.
    const std::string soundHome =
        tovik::sound::soundHome(tovik::sound::programFolder(argv[0])).string();
    tovik::window::GameWindow window(audio, *random, nullptr, soundHome);
    QObject::connect(&window, &tovik::window::GameWindow::unloaded, &application,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    int status = 0;
    tovik::window::LostWindowWatch watch(window, [&] {
        fail("the game window was destroyed by another program; the game ends.");
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

    if (options.isSet(firstFrame)) {
        window.reportFirstPaint([&sinceStart] {
            std::printf("first frame: %.1f ms\n",
                        static_cast<double>(sinceStart.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }

    if (!script.isEmpty() || options.isSet(screenshot)) {
        const auto watcher = options.isSet(screenshot) ? tovik::window::ReplayWatcher::Nobody
                                                       : tovik::window::ReplayWatcher::Player;
        QTimer::singleShot(200, &window, [&, watcher] {
            for (const QString& problem : tovik::window::replay(window, script, watcher)) {
                fail(problem);
                status = 2;
            }
            if (!options.isSet(screenshot)) {
                return;
            }
            window.stopTimers();
            QTimer::singleShot(300, &window, [&] {
                if (!window.grab().save(options.value(screenshot), "PNG")) {
                    fail("cannot write " + options.value(screenshot));
                    status = 2;
                }
                QCoreApplication::exit(status);
            });
        });
    }
    const int result = QApplication::exec();
    return result != 0 ? result : status;
}
