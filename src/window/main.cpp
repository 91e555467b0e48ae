#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "engine/random_source.h"
#include "sound/sdl_audio_output.h"
#include "window/game_window.h"

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

}  // namespace

int main(int argc, char* argv[]) {
    if (!hasDisplay()) {
        std::fputs("tovik: no display to open the game window on (DISPLAY is not set).\n", stderr);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("tovik");

    tovik::sound::SdlAudioOutput audio;
    tovik::SeededRandom random;
    tovik::window::GameWindow window(audio, random, nullptr,
                                     QCoreApplication::applicationDirPath());
    QObject::connect(&window, &tovik::window::GameWindow::unloaded, &application,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    window.centreOnScreen();
    // The sound device opens once the first frame is up, so the window never waits for it.
    QTimer::singleShot(150, &window, [&audio] { audio.prepare(); });
    return QApplication::exec();
}
