#include <QRegularExpression>

#include "story/language.h"
#include "window_under_test.h"

namespace tovik::window::testing {

using enum ControlId;
using enum story::Key;

// Seeded English games in the real window, to the way out and to a death: every text on screen
// after every click is English.
class EnglishJourneyTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<WindowUnderTest> ui;

    // The first control that shows a Cyrillic letter, or nothing.
    QString russianOnScreen() const {
        static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
        ui->refresh();
        for (ControlId id : allControls()) {
            if (kindOf(id) != ControlKind::Label || !ui->shown(id)) {
                continue;
            }
            if (ui->textOf(id).contains(cyrillic)) {
                return QString::fromLatin1(nameOf(id).data()) + ": " + ui->textOf(id);
            }
        }
        return {};
    }

    // Clicks the choices in order, reading the screen after each: what went wrong, or nothing.
    QString chooseAll(std::initializer_list<story::Key> keys) {
        for (story::Key key : keys) {
            if (!ui->choose(key)) {
                return QStringLiteral("no choice shows the caption of K%1").arg(story::numberOf(key));
            }
            if (const QString russian = russianOnScreen(); !russian.isEmpty()) {
                return russian;
            }
        }
        return {};
    }

    QString winFight(int blows) {
        ui->draws.push(1, blows);
        if (!ui->fightOut(blows) || !ui->draws.empty()) {
            return QStringLiteral("the fight did not end after %1 blows").arg(blows);
        }
        return russianOnScreen();
    }

  private slots:
    void initTestCase() { story::setLanguage(story::Language::English); }
    void cleanupTestCase() { story::setLanguage(story::Language::Russian); }
    void init() {
        ui = std::make_unique<WindowUnderTest>();
        QVERIFY(QTest::qWaitForWindowExposed(&ui->window));
    }
    void cleanup() { ui.reset(); }

    void toTheWayOut() {
        QCOMPARE(russianOnScreen(), QString());
        QCOMPARE(ui->textOf(Start), QStringLiteral("START"));
        QVERIFY(ui->click(Start));
        QCOMPARE(chooseAll({K070, K121, K110, K064, K119, K055, K054, K100}), QString());
        QCOMPARE(winFight(12), QString());  // the double
        QCOMPARE(chooseAll({K091, K028, K084, K083, K024}), QString());
        QCOMPARE(winFight(14), QString());  // the worm
        QCOMPARE(chooseAll({K082, K081, K015, K016, K019, K022, K013, K011, K074}), QString());
        QCOMPARE(winFight(9), QString());  // the mind flayer
        QCOMPARE(chooseAll({K073}), QString());
        QVERIFY(ui->click(Item3));  // the trident opens the steel door
        QCOMPARE(chooseAll({K072}), QString());
        QVERIFY(ui->click(Item4));  // the necklace turns the eye's beam
        QCOMPARE(chooseAll({K071, K001}), QString());
        ui->fire(Win);
        QVERIFY(ui->shown(WinGame));
        QCOMPARE(russianOnScreen(), QString());
        QCOMPARE(ui->textOf(Life), QStringLiteral("LIFE: 76"));
    }

    void toADeathInAFight() {
        QVERIFY(ui->click(Start));
        QCOMPARE(chooseAll({K070, K121, K110, K064, K063, K059, K101, K100}), QString());
        QCOMPARE(winFight(12), QString());  // the double
        QCOMPARE(chooseAll({K033, K090, K036, K034, K087, K086, K031, K024}), QString());
        QCOMPARE(ui->textOf(LifeOpponent), QStringLiteral("WORM: 70"));
        ui->draws.push(4, 20);
        QVERIFY(!ui->fightOut(20));
        QCOMPARE(ui->textOf(Status), QStringLiteral(" WORM strikes!"));
        ui->fire(HealthTimer);
        QVERIFY(ui->shown(EndGame));
        QCOMPARE(ui->textOf(EndGame), QStringLiteral("Game over! Larminov is dead."));
        QCOMPARE(russianOnScreen(), QString());
    }
};

}  // namespace tovik::window::testing

QTEST_MAIN(tovik::window::testing::EnglishJourneyTest)
#include "english_journey_test.moc"
