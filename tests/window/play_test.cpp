#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>

#include "story/passages.h"
#include "window_under_test.h"

namespace tovik::window::testing {

using enum ControlId;
using story::Key;

namespace {

const QColor kDark(0x00, 0x80, 0x00);
const QColor kBright(0x00, 0xFF, 0x00);
const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kRed(0xFF, 0x00, 0x00);

// A point of the window's own background, far from every control.
constexpr QPoint kBackground(900, 700);

}  // namespace

// The window driven by the player's mouse and by its timers: the title screen, the hover
// colours, the four timers and the way out.
class PlayTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<WindowUnderTest> ui;

    std::vector<QColor> choiceColours() const {
        std::vector<QColor> colours;
        for (ControlId id : kChoiceLabels) {
            colours.push_back(ui->textColourOf(id));
        }
        return colours;
    }

  private slots:
    void init() {
        ui = std::make_unique<WindowUnderTest>();
        QVERIFY(QTest::qWaitForWindowExposed(&ui->window));
    }
    void cleanup() { ui.reset(); }

    void clickingStartLeavesTheTitleScreen() {
        QVERIFY(ui->click(Start));
        for (ControlId id : {NameGame1, NameGame2, Start, Creator, TovikImage}) {
            QVERIFY2(!ui->shown(id), nameOf(id).data());
        }
        for (ControlId id : {Info, R1, Quit, Life}) {
            QVERIFY2(ui->shown(id), nameOf(id).data());
        }
        for (ControlId id : {R2, R3, R4, R5, Attack, LifeOpponent}) {
            QVERIFY2(!ui->shown(id), nameOf(id).data());
        }
        QCOMPARE(ui->textOf(Info), qtext(story::kOpeningPassage));
        QCOMPARE(ui->textOf(R1), qtext(story::captionOf(Key::K070)));
        QCOMPARE(ui->audio.played.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(ui->audio.played.front().string()),
                 QStringLiteral("/opt/tovik/TovikSound/dindin.wav"));
        // A second click where Start stood does nothing: the label is gone.
        QTest::mouseClick(ui->window.control(Start), Qt::LeftButton);
        QCOMPARE(ui->audio.played.size(), std::size_t{1});
    }

    void clicksOnControlsWithoutAHandlerDoNothing() {
        QVERIFY(ui->click(Start));
        const QString passage = ui->textOf(Info);
        QVERIFY(ui->click(Info));
        QVERIFY(ui->click(Life));
        QCOMPARE(ui->textOf(Info), passage);
        QVERIFY(ui->shown(R1));
        // A press that is released outside the label is no click.
        QTest::mousePress(ui->window.control(R1), Qt::LeftButton);
        QTest::mouseRelease(ui->window.control(R1), Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(ui->textOf(Info), passage);
    }

    void aDoubleClickIsOneClick() {
        QVERIFY(ui->click(Start));
        // The opening choice and Sc1's first choice both stand on R1: a double click on the
        // opening choice must show Sc1, not run on into the left tunnel.
        QWidget* r1 = ui->window.control(R1);
        const QPoint middle(4, r1->height() / 2);  // inside the old caption and the new one
        const auto send = [&](QEvent::Type type, Qt::MouseButtons held) {
            QMouseEvent event(type, middle, r1->mapToGlobal(middle), Qt::LeftButton, held,
                              Qt::NoModifier);
            QApplication::sendEvent(r1, &event);
        };
        send(QEvent::MouseButtonPress, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
        send(QEvent::MouseButtonPress, Qt::LeftButton);
        send(QEvent::MouseButtonDblClick, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
        QCOMPARE(ui->textOf(Info), qtext(story::passageOf(1)));
        // The next single click counts again.
        QVERIFY(ui->click(R1));
        QCOMPARE(ui->textOf(Info), qtext(story::passageOf(74)));
    }

    void thePointerLightsTheChoiceUnderIt() {
        QVERIFY(ui->click(Start));
        QVERIFY(ui->choose(Key::K070));  // scene 1 offers three choices
        QVERIFY(ui->shown(R3));
        QVERIFY(ui->window.control(R2)->hasMouseTracking());

        QTest::mouseMove(ui->window.control(R2));
        QCOMPARE(choiceColours(), (std::vector<QColor>{kDark, kBright, kDark, kDark, kDark}));
        QCOMPARE(ui->textColourOf(Start), kWhite);

        QTest::mouseMove(ui->window.control(R3));
        QCOMPARE(choiceColours(), (std::vector<QColor>{kDark, kDark, kBright, kDark, kDark}));

        // Info has no move handler, and its moves must not reach the background either.
        QTest::mouseMove(ui->window.control(Info));
        QTest::mouseMove(ui->window.control(Info), QPoint(20, 20));
        QTest::mouseMove(ui->window.control(Life));
        QCOMPARE(choiceColours(), (std::vector<QColor>{kDark, kDark, kBright, kDark, kDark}));

        QTest::mouseMove(&ui->window, kBackground);
        QCOMPARE(choiceColours(), std::vector<QColor>(5, kDark));
        QCOMPARE(ui->textColourOf(Start), kWhite);
    }

    void aClickedChoiceStaysLitOnTheNextScene() {
        QVERIFY(ui->click(Start));
        QTest::mouseMove(ui->window.control(R1));
        QCOMPARE(ui->textColourOf(R1), kBright);
        QVERIFY(ui->choose(Key::K070));
        QCOMPARE(ui->textOf(Info), qtext(story::passageOf(1)));
        QCOMPARE(ui->textColourOf(R1), kBright);
    }

    void startTurnsRedUnderThePointer() {
        QTest::mouseMove(ui->window.control(Start));
        QCOMPARE(ui->textColourOf(Start), kRed);
        QCOMPARE(choiceColours(), std::vector<QColor>(5, kDark));
        QTest::mouseMove(&ui->window, kBackground);
        QCOMPARE(ui->textColourOf(Start), kWhite);
    }

    void theFourTimersRunAsDesigned() {
        struct Expected {
            ControlId id;
            int interval;
            bool active;
        };
        for (const Expected& timer :
             {Expected{HealthTimer, 500, true}, Expected{Death, 25000, false},
              Expected{Win, 25000, false}, Expected{ColorChanger, 50, false}}) {
            QTimer* qtimer = ui->window.timer(timer.id);
            QVERIFY2(qtimer != nullptr, nameOf(timer.id).data());
            QCOMPARE(qtimer->parent(), &ui->window);
            QCOMPARE(qtimer->interval(), timer.interval);
            QCOMPARE(qtimer->isActive(), timer.active);
        }
    }

    void aDeathSceneCountsDownToTheDefeatBanner() {
        QVERIFY(ui->reach(93));
        ui->refresh();
        QVERIFY(ui->window.timer(Death)->isActive());
        QVERIFY(ui->shown(Info));
        QVERIFY(!ui->shown(R1));
        ui->fire(Death);
        QCOMPARE(ui->window.game().Health(), std::string("0"));
        QVERIFY(!ui->shown(EndGame));  // the life watch shows it at its next tick
        ui->fire(HealthTimer);
        QVERIFY(!ui->window.timer(Death)->isActive());
        QVERIFY(ui->window.timer(HealthTimer)->isActive());
        QVERIFY(ui->shown(EndGame));
        QVERIFY(!ui->shown(Info));
        QCOMPARE(ui->textOf(Life), QStringLiteral("ЖИЗНЬ: 0"));
    }

    void theVictoryBannerCyclesItsColours() {
        QVERIFY(ui->reach(96));
        ui->refresh();
        QVERIFY(ui->window.timer(Win)->isActive());
        ui->fire(Win);
        QVERIFY(!ui->window.timer(Win)->isActive());
        QVERIFY(ui->window.timer(ColorChanger)->isActive());
        QVERIFY(ui->shown(WinGame));
        QCOMPARE(ui->textColourOf(WinGame), QColor(0x80, 0xFF, 0x80));
        ui->fire(ColorChanger);
        QCOMPARE(ui->textColourOf(WinGame), kRed);
        ui->fire(ColorChanger);
        QCOMPARE(ui->textColourOf(WinGame), QColor(0xFF, 0xC0, 0xC0));
        QVERIFY(ui->click(WinGame));
        QVERIFY(!ui->window.timer(ColorChanger)->isActive());
        QVERIFY(!ui->shown(WinGame));
        QVERIFY(ui->shown(Start));
    }

    void quitAnsweredNoChangesNothing() {
        QVERIFY(ui->click(Start));
        QVERIFY(ui->choose(Key::K070));
        ui->answer.answer = false;
        QSignalSpy unloaded(&ui->window, &GameWindow::unloaded);
        const QString passage = ui->textOf(Info);
        std::vector<bool> before;
        for (ControlId id : allControls()) {
            before.push_back(kindOf(id) == ControlKind::Timer ? ui->window.timer(id)->isActive()
                                                              : ui->shown(id));
        }

        QVERIFY(ui->click(Quit));
        QCOMPARE(ui->answer.asked, 1);
        QCOMPARE(QString::fromStdString(ui->answer.lastTitle),
                 QStringLiteral("Товик Ларминов в магическом подземелье"));
        QCOMPARE(QString::fromStdString(ui->answer.lastText),
                 QStringLiteral("Вы точно хотите выйти из игры «Товик Ларминов в магическом "
                                "подземелье»?"));
        QVERIFY(ui->window.isVisible());
        QCOMPARE(ui->window.model().state(), WindowState::Shown);
        QCOMPARE(unloaded.count(), 0);
        QCOMPARE(ui->textOf(Info), passage);
        QCOMPARE(ui->window.game().Health(), std::string("60"));
        for (std::size_t i = 0; i < allControls().size(); ++i) {
            const ControlId id = allControls()[i];
            const bool now =
                kindOf(id) == ControlKind::Timer ? ui->window.timer(id)->isActive() : ui->shown(id);
            QVERIFY2(now == before[i], nameOf(id).data());
        }
        // The game goes on where it stood.
        QVERIFY(ui->choose(story::Key::K050));
    }

    void quitAnsweredYesUnloadsTheWindow() {
        ui->answer.answer = true;
        QSignalSpy unloaded(&ui->window, &GameWindow::unloaded);
        QVERIFY(ui->click(Quit));
        QCOMPARE(unloaded.count(), 1);
        QCOMPARE(ui->window.model().state(), WindowState::Unloaded);
        QVERIFY(!ui->window.isVisible());
        QCOMPARE(ui->window.game().Sound(), nullptr);  // the sound player is released
        for (ControlId timer : {HealthTimer, Death, Win, ColorChanger}) {
            QVERIFY2(!ui->window.timer(timer)->isActive(), nameOf(timer).data());
        }
    }

    void closingTheWindowLeavesWithoutAsking() {
        QSignalSpy unloaded(&ui->window, &GameWindow::unloaded);
        QVERIFY(ui->window.close());
        QCOMPARE(ui->answer.asked, 0);
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!ui->window.timer(HealthTimer)->isActive());
    }
};

}  // namespace tovik::window::testing

QTEST_MAIN(tovik::window::testing::PlayTest)

#include "play_test.moc"
