#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/random_source.h"
#include "sound/device_audio_output.h"
#include "sound/sound_home.h"
#include "sound/sound_module.h"
#include "window/game_window.h"
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

}  // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (!hasDisplay()) {
        std::fputs("tovik: no display to open the game window on (DISPLAY is not set).\n", stderr);
        return 1;
    }
    QApplication application(argc, argv);
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
    options.addOptions({seed, replayFile, screenshot, firstFrame});
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

    std::unique_ptr<tovik::SeededRandom> random;
    if (options.isSet(seed)) {
        bool ok = false;
        const qulonglong value = options.value(seed).toULongLong(&ok);
        if (!ok) {
            fail("--seed takes a whole number, not " + options.value(seed));
            return 2;
        }
        random = std::make_unique<tovik::SeededRandom>(value);
    } else {
        random = std::make_unique<tovik::SeededRandom>();
    }
    QStringList script;
    if (options.isSet(replayFile)) {
        QFile file(options.value(replayFile));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            fail("cannot read " + file.fileName() + ": " + file.errorString());
            return 2;
        }
        script = QString::fromUtf8(file.readAll()).split('\n');
    }

    tovik::sound::DeviceAudioOutput audio(tovik::sound::sdlSoundModule());
    // The sounds beside the executable, else those installed with the game.
    const std::string soundHome =
        tovik::sound::soundHome(QCoreApplication::applicationDirPath().toStdString()).string();
    tovik::window::GameWindow window(audio, *random, nullptr, QString::fromStdString(soundHome));
    QObject::connect(&window, &tovik::window::GameWindow::unloaded, &application,
                     &QCoreApplication::quit, Qt::QueuedConnection);
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

    int status = 0;
    if (!script.isEmpty() || options.isSet(screenshot)) {
        QTimer::singleShot(200, &window, [&] {
            for (const QString& problem : tovik::window::replay(window, script)) {
                fail(problem);
                status = 2;
            }
            if (!options.isSet(screenshot)) {
                return;
            }
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
