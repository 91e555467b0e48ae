#include <QAccessible>
#include <QApplication>

#include "engine/exit_question.h"
#include "window/player_access.h"
#include "window_under_test.h"

namespace tovik::window::testing {

using enum ControlId;

// The window played without a mouse: keys as a player presses them, the focus ring, full
// screen, and what a screen reader finds in the window.
class KeyboardPlayTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<WindowUnderTest> ui;

    // A key as the player presses it: it goes to whatever has the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused != nullptr ? focused : &ui->window, key, modifiers);
    }
    QWidget* focused() const { return QApplication::focusWidget(); }
    QWidget* widget(ControlId id) const { return ui->widget(id); }
    std::vector<QWidget*> tabs(int count) {
        std::vector<QWidget*> met;
        for (int i = 0; i < count; ++i) {
            press(Qt::Key_Tab);
            met.push_back(focused());
        }
        return met;
    }
    // Whether the ring is drawn around the control: a yellow pixel just left of its box.
    bool ringAround(ControlId id) const {
        const QRect box = widget(id)->geometry();
        return ui->window.grab().toImage().pixelColor(box.left() - 3, box.center().y()) ==
               QColor(0xFF, 0xFF, 0x00);
    }
    void pressAccessibly(ControlId id) {
        QAccessible::queryAccessibleInterface(widget(id))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
    }

  private slots:
    void init() {
        ui = std::make_unique<WindowUnderTest>();
        ui->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&ui->window));
    }
    void cleanup() { ui.reset(); }

    // The keys reach the game and the focus follows it; which key does what is the engine's.
    void aSceneChainAndAFightPlayedByKeysAlone() {
        ui->answer.answer = false;
        press(Qt::Key_Return);  // СТАРТ, the one obvious control of the title screen
        QCOMPARE(ui->textOf(Info), qtext(story::kOpeningPassage));
        QCOMPARE(focused(), widget(Info));  // reading starts at the passage
        for (Qt::Key digit : {Qt::Key_1, Qt::Key_3, Qt::Key_2, Qt::Key_1, Qt::Key_1, Qt::Key_1}) {
            press(digit);
        }
        QCOMPARE(focused(), widget(Info));
        QCOMPARE(tabs(1), std::vector{widget(R1)});
        press(Qt::Key_Return);
        press(Qt::Key_1);
        press(Qt::Key_2);
        QVERIFY(ui->showsPassage(52));
        // The fur ball takes no click: the keyboard passes it by.
        QCOMPARE(tabs(4),
                 (std::vector{widget(Attack), widget(Item3), widget(Quit), widget(Attack)}));
        ui->draws.push(1, 12);  // the double has 60 life
        press(Qt::Key_Space);   // Space on Атака! is one blow, the focus staying put
        QCOMPARE(ui->draws.drawn, 1);
        QCOMPARE(focused(), widget(Attack));
        for (int blow = 1; blow < 12 && ui->shown(Attack); ++blow) {
            press(Qt::Key_Return);
        }
        QVERIFY(ui->showsPassage(7));  // the double beaten
        QCOMPARE(focused(), widget(Info));
        // Escape asks the exit question; keys of no use do nothing.
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_A, Qt::Key_6, Qt::Key_Up, Qt::Key_F1}) {
            press(key);
        }
        QCOMPARE(ui->answer.asked, 1);
        QCOMPARE(ui->answer.lastText, std::string(kExitText));
        QVERIFY(ui->window.isVisible() && ui->showsPassage(7));
    }

    void tabGoesRoundAFiveChoiceSceneWithTheRing() {
        QVERIFY(ui->reach(39));
        QCOMPARE(focused(), widget(Info));
        QVERIFY(!ui->window.access().showsFocusRing());  // the mouse was used: no ring yet
        QCOMPARE(tabs(7), (std::vector{widget(R1), widget(R2), widget(R3), widget(R4), widget(R5),
                                       widget(Quit), widget(R1)}));
        QVERIFY(ringAround(R1));
        const QRect before = widget(R1)->geometry();
        press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused(), widget(Quit));
        QVERIFY(ringAround(Quit));
        QVERIFY(!ringAround(R1));
        QCOMPARE(widget(R1)->geometry(), before);  // the ring moves nothing
    }

    void fullScreenScalesTheStageAndKeepsClicksAndHover() {
        press(Qt::Key_F11);
        QTRY_VERIFY(ui->window.isFullScreen());
        QTRY_COMPARE(ui->window.size(), QSize(1280, 1024));
        // 1280 x 1024 takes the stage at 1.25 with a band of 32 pixels above and below.
        QCOMPARE(widget(Start)->geometry(), QRect(240 * 5 / 4, 32 + 344 * 5 / 4, 141, 51));
        QCOMPARE(widget(Quit)->geometry(), QRect(800, 32 + 60, 124, 119));
        QCOMPARE(ui->label(Info)->font().pixelSize(), 16);  // 13 px text drawn at 16 px
        QCOMPARE(ui->label(Quit)->pixmap().size(), QSize(124, 119));
        QCOMPARE(ui->window.grab().toImage().pixelColor(640, 10), QColor(Qt::black));

        // The pointer lights and clicks the same controls at their new places.
        QTest::mouseMove(widget(Start), widget(Start)->rect().center());
        QCOMPARE(ui->textColourOf(Start), QColor(0xFF, 0x00, 0x00));
        QVERIFY(ui->click(Start));
        QCOMPARE(widget(R1)->geometry().topLeft(), QPoint(340, 32 + 490));
        QCOMPARE(widget(R1)->height(), QFontMetrics(ui->label(R1)->font()).height());
        QTest::mouseMove(widget(R1), widget(R1)->rect().center());
        QCOMPARE(ui->textColourOf(R1), QColor(0x00, 0xFF, 0x00));
        QVERIFY(ui->click(R1));
        QVERIFY(ui->showsPassage(1));

        // Escape leaves full screen and asks nothing; the stage is back at its design size.
        press(Qt::Key_Escape);
        QTRY_VERIFY(!ui->window.isFullScreen());
        QCOMPARE(ui->answer.asked, 0);
        QTRY_COMPARE(ui->window.size(), QSize(1024, 768));
        QCOMPARE(widget(Quit)->geometry(), designPixels(Quit));
        QCOMPARE(ui->label(Info)->font().pixelSize(), 13);
    }

    void aScreenReaderFindsOnlyTheShownControlsAndCanPressThem() {
        QAccessibleInterface* stage = QAccessible::queryAccessibleInterface(&ui->window);
        const auto names = [&] {
            QStringList found;
            for (int i = 0; i < stage->childCount(); ++i) {
                found << stage->child(i)->text(QAccessible::Name);
            }
            return found;
        };
        QCOMPARE(names(),
                 (QStringList{"Товик Ларминов", "в магическом подземелье", ui->textOf(Creator),
                              "Товик Ларминов, юный некромант", "СТАРТ", "ЖИЗНЬ: 60", "Выход"}));
        pressAccessibly(Start);
        QCOMPARE(ui->textOf(Info), qtext(story::kOpeningPassage));
        // The passage is read as what it says, with its choice count, and not as a label.
        QAccessibleInterface* passage = QAccessible::queryAccessibleInterface(widget(Info));
        QCOMPARE(passage->role(), QAccessible::Client);
        QCOMPARE(passage->text(QAccessible::Name),
                 qtext(story::kOpeningPassage) + " Один вариант.");
        QVERIFY(names().contains(ui->textOf(R1)));
        QVERIFY(!names().contains("СТАРТ"));
        QCOMPARE(QAccessible::queryAccessibleInterface(widget(R1))->role(), QAccessible::Button);
        pressAccessibly(R1);
        QVERIFY(ui->showsPassage(1));
        QCOMPARE(ui->answer.asked, 0);
    }

    void aBlowIsSaidWithBothLives() {
        QVERIFY(ui->reach(77));  // the ghost, 20
        ui->draws.push(1);
        pressAccessibly(Attack);
        // Qt's push button animates a pressed action before it clicks.
        QTRY_COMPARE(
            ui->window.access().lastAnnouncement(),
            "Ларминов нанёс удар! ЖИЗНЬ: " + qtext(ui->window.game().Health()) + ". ПРИЗРАК: 15.");
    }
};

TOVIK_WINDOW_TEST("keyboard_play", KeyboardPlayTest);

}  // namespace tovik::window::testing

#include "keyboard_play_test.moc"
