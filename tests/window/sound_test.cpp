#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "sound/device_audio_output.h"
#include "sound/sound_module.h"
#include "story/passages.h"
#include "support/fake_sound_devices.h"
#include "support/silent_sound_server.h"
#include "window_under_test.h"

namespace tovik::window::testing {

using enum ControlId;

// The window with the game's real sound output in front of a device that does not answer: the
// window neither waits for it to show its first frame nor to take a click.
class SoundTest : public QObject {
    Q_OBJECT

  private:
    // A loaded window on the screen whose sound goes to `audio`, opened before the window was
    // even built, the worst moment for it.
    struct SoundWindow {
        explicit SoundWindow(sound::DeviceOpener device)
            : audio(std::move(device)), window(audio, draws, &answer, "/opt/tovik") {
            audio.prepare();
            window.reportFirstPaint([this] { painted = true; });
            window.move(0, 0);
            window.show();
        }

        // A real click on a control; false if it took a player-visible moment.
        [[nodiscard]] bool clickAtOnce(ControlId id) {
            QElapsedTimer clock;
            clock.start();
            QTest::mouseClick(window.control(id), Qt::LeftButton);
            return clock.elapsed() < 200;
        }
        QString textOf(ControlId id) const {
            return qobject_cast<QLabel*>(window.control(id))->text();
        }

        sound::DeviceAudioOutput audio;
        ScriptedDraws draws;
        ScriptedAnswer answer;
        GameWindow window;
        bool painted = false;
    };

    // Plays the opening as a player would: every click takes effect at once, the sounding
    // ones (Start plays dindin.wav) too.
    static void playTheOpening(SoundWindow& ui) {
        QVERIFY(QTest::qWaitForWindowExposed(&ui.window));
        QTRY_VERIFY_WITH_TIMEOUT(ui.painted, 2000);
        QVERIFY(ui.clickAtOnce(Start));
        QCOMPARE(ui.textOf(Info), qtext(story::kOpeningPassage));
        QVERIFY(ui.clickAtOnce(R1));
        QCOMPARE(ui.textOf(Info), qtext(story::passageOf(1)));
        ui.answer.answer = false;
        QVERIFY(ui.clickAtOnce(Quit));  // answered No: the window stays
        QCOMPARE(ui.answer.asked, 1);
        QVERIFY(ui.window.isVisible());
    }

  private slots:
    void theFirstFrameDoesNotWaitForTheSoundDevice() {
        tovik::testing::HungDevice device;
        {
            SoundWindow ui(device.opener());
            QVERIFY(device.isOpening());
            playTheOpening(ui);
            QVERIFY(device.isOpening());  // still
        }
        device.release();
    }

    void aSoundServerThatNeverAnswersLeavesTheWindowTakingClicks() {
        // The real sound module, pointed at a PulseAudio server that takes the connection and
        // never answers: its client library would wait half a minute.
        const QTemporaryDir folder;
        const tovik::testing::SilentSoundServer server(folder.path().toStdString());
        QVERIFY(server.listening());
        qputenv("SDL_AUDIODRIVER", "pulseaudio");
        qputenv("PULSE_SERVER", QByteArray::fromStdString(server.address()));
        SoundWindow ui(sound::sdlSoundModule());
        playTheOpening(ui);
        qputenv("SDL_AUDIODRIVER", "dummy");
        qunsetenv("PULSE_SERVER");
    }
};

}  // namespace tovik::window::testing

QTEST_MAIN(tovik::window::testing::SoundTest)
#include "sound_test.moc"
