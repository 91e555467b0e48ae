#include <QWindow>

#include "story/passages.h"
#include "window_under_test.h"

namespace tovik::window::testing {

using enum ControlId;
using story::Key;

// Clicks as players make them, through the window system the way a real mouse's arrive: Qt
// itself decides which second press is a double click. Whatever control a double click lands
// on, it counts as that control counts it, and the next single click is never lost.
class MouseHabitsTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<WindowUnderTest> ui;

    QPoint middleOf(ControlId id) const {
        QWidget* widget = ui->window.control(id);
        return widget->mapTo(&ui->window, widget->rect().center());
    }
    void doubleClickAt(QPoint point) {
        QTest::mouseDClick(ui->window.windowHandle(), Qt::LeftButton, {}, point);
    }
    void doubleClick(ControlId id) { doubleClickAt(middleOf(id)); }
    void clickAt(QPoint point) {
        QTest::mouseClick(ui->window.windowHandle(), Qt::LeftButton, {}, point);
    }
    [[nodiscard]] bool click(ControlId id) {
        if (!ui->shown(id)) {
            qWarning("%s is not shown and cannot be clicked", nameOf(id).data());
            return false;
        }
        clickAt(middleOf(id));
        return true;
    }
    bool showsPassage(int scene) const {
        return ui->textOf(Info) == qtext(story::passageOf(scene));
    }
    // One single click on R1 shows the scene its caption leads to; false if it showed nothing.
    [[nodiscard]] bool r1MovesTheStoryOn() {
        const QString before = ui->textOf(Info);
        return click(R1) && ui->textOf(Info) != before;
    }

  private slots:
    void init() {
        ui = std::make_unique<WindowUnderTest>();
        QVERIFY(QTest::qWaitForWindowExposed(&ui->window));
    }
    void cleanup() { ui.reset(); }

    void aDoubleClickOnAttackIsTwoBlowsAndTheNextChoiceCounts() {
        QVERIFY(ui->reach(77));  // the ghost, 20 life
        const int before = ui->draws.drawn;
        ui->draws.push(1, 4);
        QVERIFY(click(Attack));
        QVERIFY(click(Attack));
        QCOMPARE(ui->window.game().HealthOpponent(), std::string("10"));
        doubleClick(Attack);
        QCOMPARE(ui->draws.drawn - before, 4);
        QVERIFY(showsPassage(3));  // the ghost is beaten
        QVERIFY(r1MovesTheStoryOn());
    }

    void aDoubleClickOnAttackLosesNoLaterClickOnThePictures() {
        QVERIFY(ui->reach(77));
        ui->draws.push(1, 2);
        doubleClick(Attack);
        QCOMPARE(ui->window.game().HealthOpponent(), std::string("10"));
        ui->answer.answer = false;
        QVERIFY(click(Quit));
        QCOMPARE(ui->answer.asked, 1);
    }

    void aDoubleClickOnAChoiceIsOneClick() {
        QVERIFY(click(Start));
        // The opening choice and the first one of Sc1 both stand on R1.
        doubleClick(R1);
        QVERIFY(showsPassage(1));
        QVERIFY(r1MovesTheStoryOn());
        QVERIFY(showsPassage(74));
    }

    void aDoubleClickOnStartIsOneClick() {
        doubleClick(Start);
        QCOMPARE(ui->textOf(Info), qtext(story::kOpeningPassage));
        QCOMPARE(ui->audio.played.size(), std::size_t{1});
        QVERIFY(r1MovesTheStoryOn());
    }

    void aDoubleClickOnAnItemLosesNoLaterClick() {
        QVERIFY(ui->reach(59));  // the scroll is found, and is of no use here
        QVERIFY(ui->shown(Item1));
        doubleClick(Item1);
        QVERIFY(showsPassage(59));
        QVERIFY(r1MovesTheStoryOn());
    }

    void aDoubleClickOnTheRedCrossAsksOnce() {
        QVERIFY(click(Start));
        ui->answer.answer = false;
        doubleClick(Quit);
        QCOMPARE(ui->answer.asked, 1);
        QVERIFY(r1MovesTheStoryOn());
    }

    void aDoubleClickOnABannerIsOneClick() {
        QVERIFY(ui->reach(93));  // a death
        ui->fire(Death);
        ui->fire(HealthTimer);
        QVERIFY(ui->shown(EndGame));
        doubleClick(EndGame);
        QVERIFY(ui->shown(Start));
        QVERIFY(click(Start));
        QVERIFY(r1MovesTheStoryOn());
    }

    void aDoubleClickWhereNothingTakesClicksLosesNothing() {
        QVERIFY(click(Start));
        doubleClick(Info);
        doubleClick(Life);
        doubleClickAt(QPoint(900, 700));  // the window's own background
        QVERIFY(r1MovesTheStoryOn());
        ui.reset();
        ui = std::make_unique<WindowUnderTest>();
        QVERIFY(QTest::qWaitForWindowExposed(&ui->window));
        QVERIFY(ui->reach(77));
        doubleClick(Status);
        const int before = ui->draws.drawn;
        ui->draws.push(1);
        QVERIFY(click(Attack));
        QCOMPARE(ui->draws.drawn - before, 1);
    }

    void thePointingHandIsOverEveryControlThatTakesAClick() {
        const std::vector<ControlId> clickable = {Start, R1,    R2,    R3,   R4,      R5,
                                                  Item1, Item3, Item4, Quit, EndGame, WinGame};
        for (ControlId id : allControls()) {
            if (kindOf(id) == ControlKind::Timer) {
                continue;
            }
            const bool hand = std::find(clickable.begin(), clickable.end(), id) != clickable.end();
            QCOMPARE(ui->window.control(id)->cursor().shape(),
                     hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
        }
        QCOMPARE(ui->window.cursor().shape(), Qt::ArrowCursor);
    }
};

}  // namespace tovik::window::testing

QTEST_MAIN(tovik::window::testing::MouseHabitsTest)

#include "mouse_habits_test.moc"
