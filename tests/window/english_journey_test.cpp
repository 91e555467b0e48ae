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

    // Clicks the choices in order, reading the screen after each.
    [[nodiscard]] bool chooseAll(std::initializer_list<story::Key> keys) {
        for (story::Key key : keys) {
            if (!ui->choose(key) || !russianOnScreen().isEmpty()) {
                return false;
            }
        }
        return true;
    }

    [[nodiscard]] bool winFight(int blows) {
        ui->draws.push(1, blows);
        return ui->fightOut(blows) && ui->draws.empty() && russianOnScreen().isEmpty();
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
        QVERIFY(chooseAll({K070, K121, K110, K064, K119, K055, K054, K100}));
        QVERIFY(winFight(12));  // the double
        QVERIFY(chooseAll({K091, K028, K084, K083, K024}));
        QVERIFY(winFight(14));  // the worm
        QVERIFY(chooseAll({K082, K081, K015, K016, K019, K022, K013, K011, K074}));
        QVERIFY(winFight(9));  // the mind flayer
        QVERIFY(ui->choose(K073));
        QVERIFY(ui->click(Item3));  // the trident opens the steel door
        QVERIFY(ui->choose(K072));
        QVERIFY(ui->click(Item4));  // the necklace turns the eye's beam
        QVERIFY(chooseAll({K071, K001}));
        ui->fire(Win);
        QVERIFY(ui->shown(WinGame));
        QCOMPARE(russianOnScreen(), QString());
        QCOMPARE(ui->textOf(Life), QStringLiteral("LIFE: 76"));
    }

    void toADeathInAFight() {
        QVERIFY(ui->click(Start));
        QVERIFY(chooseAll({K070, K121, K110, K064, K063, K059, K101, K100}));
        QVERIFY(winFight(12));  // the double
        QVERIFY(chooseAll({K033, K090, K036, K034, K087, K086, K031, K024}));
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
