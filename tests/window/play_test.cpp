#include <QSignalSpy>
#include <QWindow>

#include <tuple>

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

// The window driven by the player's mouse, through the window system as a real mouse's events
// arrive, and by its timers: what it forwards to the game and what it shows of it.
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
    QPoint middleOf(ControlId id) const {
        return ui->widget(id)->mapTo(&ui->window, ui->widget(id)->rect().center());
    }
    // Qt itself decides which second press is a double click.
    void doubleClickAt(QPoint point) {
        QTest::mouseDClick(ui->window.windowHandle(), Qt::LeftButton, {}, point);
    }
    [[nodiscard]] bool click(ControlId id) {
        if (!ui->shown(id)) {
            qWarning("%s is not shown and cannot be clicked", nameOf(id).data());
            return false;
        }
        QTest::mouseClick(ui->window.windowHandle(), Qt::LeftButton, {}, middleOf(id));
        return true;
    }
    // One single click on R1 moves the story on.
    [[nodiscard]] bool r1MovesTheStoryOn() {
        const QString before = ui->textOf(Info);
        return click(R1) && ui->textOf(Info) != before;
    }
    void restart() {
        ui = std::make_unique<WindowUnderTest>();
        QVERIFY(QTest::qWaitForWindowExposed(&ui->window));
    }

  private slots:
    void init() { restart(); }
    void cleanup() { ui.reset(); }

    void clicksReachTheGameOnlyOnShownControlsThatTakeThem() {
        QVERIFY(ui->click(Start));
        QCOMPARE(ui->textOf(Info), qtext(story::kOpeningPassage));
        QCOMPARE(ui->textOf(R1), qtext(story::captionOf(Key::K070)));
        QCOMPARE(ui->audio.played,
                 std::vector<std::filesystem::path>{"/opt/tovik/TovikSound/dindin.wav"});
        QTest::mouseClick(ui->widget(Start), Qt::LeftButton);  // where Start stood
        QVERIFY(ui->click(Info));
        // A press that is released outside the label is no click.
        QTest::mousePress(ui->widget(R1), Qt::LeftButton);
        QTest::mouseRelease(ui->widget(R1), Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(ui->textOf(Info), qtext(story::kOpeningPassage));
        QCOMPARE(ui->audio.played.size(), std::size_t{1});
        restart();  // the item pictures take clicks: the necklace's scene is reached by them
        QVERIFY(ui->reach(32));
        QVERIFY(ui->showsPassage(32));
    }

    // Whatever control a double click lands on, it counts as that control counts it, and the
    // next single click is never lost.
    void aDoubleClickCountsAsItsControlCountsIt_data() {
        QTest::addColumn<int>("scene");  // 0: the opening, -1: the title screen
        QTest::addColumn<ControlId>("control");
        QTest::addColumn<int>("blows");  // Атака! takes both clicks
        QTest::newRow("Start") << -1 << Start << 0;
        QTest::newRow("a choice") << 0 << R1 << 0;
        QTest::newRow("the red cross") << 0 << Quit << 0;
        QTest::newRow("the passage") << 0 << Info << 0;
        QTest::newRow("an item of no use") << 59 << Item1 << 0;
        QTest::newRow("Атака!") << 77 << Attack << 2;
        QTest::newRow("the fight's status") << 77 << Status << 0;
        QTest::newRow("the defeat banner") << 93 << EndGame << 0;
    }
    void aDoubleClickCountsAsItsControlCountsIt() {
        QFETCH(int, scene);
        QFETCH(ControlId, control);
        QFETCH(int, blows);
        if (scene == 0) {
            QVERIFY(click(Start));
        } else if (scene > 0) {
            QVERIFY(ui->reach(scene));
        }
        if (control == EndGame) {
            ui->fire(Death);
            ui->fire(HealthTimer);
        }
        ui->answer.answer = false;
        ui->draws.push(1, blows);
        const QString passage = ui->textOf(Info);
        const int drawn = ui->draws.drawn;
        doubleClickAt(middleOf(control));
        QCOMPARE(ui->draws.drawn - drawn, blows);
        QCOMPARE(ui->answer.asked, control == Quit ? 1 : 0);
        if (control == R1) {
            QVERIFY(ui->showsPassage(1));  // not run on into the left tunnel on the same place
        } else if (control == EndGame) {
            QVERIFY(click(Start));  // one click: the title screen, and the game starts anew
        } else if (control == Start) {
            QCOMPARE(ui->audio.played.size(), std::size_t{1});
        } else if (blows == 0) {
            QCOMPARE(ui->textOf(Info), passage);
        }
        if (control == Attack) {
            ui->draws.push(1, 2);  // the ghost, 20 life: two more blows
            QVERIFY(click(Attack));
            QVERIFY(click(Attack));
            QVERIFY(ui->showsPassage(3));
        }
        if (control == Status) {
            ui->draws.push(1);
            QVERIFY(click(Attack));
            QCOMPARE(ui->draws.drawn - drawn, 1);
            return;
        }
        doubleClickAt(kBackground);
        QVERIFY(r1MovesTheStoryOn());
    }

    void thePointerLightsTheControlUnderIt() {
        QTest::mouseMove(ui->widget(Start));
        QCOMPARE(ui->textColourOf(Start), kRed);
        QTest::mouseMove(&ui->window, kBackground);
        QCOMPARE(ui->textColourOf(Start), kWhite);
        QVERIFY(ui->click(Start));
        QVERIFY(ui->click(R1));  // scene 1 offers three choices
        QTest::mouseMove(ui->widget(R3));
        QCOMPARE(choiceColours(), (std::vector<QColor>{kDark, kDark, kBright, kDark, kDark}));
        // Info has no move handler, and its moves must not reach the background either.
        QTest::mouseMove(ui->widget(Info));
        QTest::mouseMove(ui->widget(Info), QPoint(20, 20));
        QTest::mouseMove(ui->widget(Life));
        QCOMPARE(choiceColours(), (std::vector<QColor>{kDark, kDark, kBright, kDark, kDark}));
        QTest::mouseMove(&ui->window, kBackground);
        QCOMPARE(choiceColours(), std::vector<QColor>(5, kDark));
        QCOMPARE(ui->textColourOf(Start), kWhite);
    }

    void theTimersRunAsTheGameSaysAndTheirTicksReachIt() {
        for (const auto& [timer, interval, active] :
             {std::tuple{HealthTimer, 500, true}, std::tuple{Death, 25000, false},
              std::tuple{Win, 25000, false}, std::tuple{ColorChanger, 50, false}}) {
            QCOMPARE(ui->window.timer(timer)->interval(), interval);
            QCOMPARE(ui->timerRuns(timer), active);
        }
        QVERIFY(ui->reach(93));  // a death counts down to the defeat banner
        ui->refresh();
        QVERIFY(ui->timerRuns(Death));
        ui->fire(Death);
        ui->fire(HealthTimer);
        QVERIFY(!ui->timerRuns(Death));
        QVERIFY(ui->timerRuns(HealthTimer));
        QVERIFY(ui->shown(EndGame));

        restart();
        QVERIFY(ui->reach(96));  // the victory banner cycles its colours
        ui->refresh();
        QVERIFY(ui->timerRuns(Win));
        ui->fire(Win);
        QVERIFY(!ui->timerRuns(Win));
        QVERIFY(ui->timerRuns(ColorChanger));
        QVERIFY(ui->shown(WinGame));
        ui->fire(ColorChanger);
        QCOMPARE(ui->textColourOf(WinGame), kRed);
        QVERIFY(ui->click(WinGame));
        QVERIFY(!ui->timerRuns(ColorChanger));
        QVERIFY(ui->shown(Start));
    }

    void theWayOut() {
        QVERIFY(ui->click(Start));
        QSignalSpy unloaded(&ui->window, &GameWindow::unloaded);
        ui->answer.answer = false;  // No: the window stays as it was
        QVERIFY(ui->click(Quit));
        QCOMPARE(ui->answer.asked, 1);
        QCOMPARE(QString::fromStdString(ui->answer.lastText),
                 QStringLiteral("Вы точно хотите выйти из игры «Товик Ларминов в магическом "
                                "подземелье»?"));
        QVERIFY(ui->window.isVisible());
        QVERIFY(ui->timerRuns(HealthTimer));
        QCOMPARE(unloaded.count(), 0);
        QVERIFY(r1MovesTheStoryOn());

        ui->answer.answer = true;  // Yes: unloaded, hidden, every timer stopped
        QVERIFY(ui->click(Quit));
        QCOMPARE(unloaded.count(), 1);
        QCOMPARE(ui->window.model().state(), WindowState::Unloaded);
        QVERIFY(!ui->window.isVisible());
        QCOMPARE(ui->window.game().Sound(), nullptr);  // the sound player is released
        for (ControlId timer : {HealthTimer, Death, Win, ColorChanger}) {
            QVERIFY2(!ui->timerRuns(timer), nameOf(timer).data());
        }

        restart();  // closing the window's frame leaves without asking
        QSignalSpy closed(&ui->window, &GameWindow::unloaded);
        QVERIFY(ui->window.close());
        QCOMPARE(ui->answer.asked, 0);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!ui->timerRuns(HealthTimer));
    }
};

TOVIK_WINDOW_TEST("play", PlayTest);

}  // namespace tovik::window::testing

#include "play_test.moc"
