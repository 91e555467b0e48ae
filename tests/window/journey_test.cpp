#include <QRegularExpression>

#include "story/language.h"
#include "story/passages.h"
#include "window_under_test.h"

namespace tovik::window::testing {

using enum ControlId;
using enum story::Key;

// Whole games played through the real window with real clicks on the labels, the item
// pictures and the Attack button, with the dice scripted; in each language, where every text on
// screen after every click is in that language.
class JourneyTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<WindowUnderTest> ui;
    bool english = false;

    // In English, the first control that shows a Cyrillic letter, or nothing.
    QString russianOnScreen() const {
        static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
        if (!english) {
            return {};
        }
        ui->refresh();
        for (ControlId id : allControls()) {
            if (kindOf(id) == ControlKind::Label && ui->shown(id) &&
                ui->textOf(id).contains(cyrillic)) {
                return QString::fromLatin1(nameOf(id).data()) + ": " + ui->textOf(id);
            }
        }
        return {};
    }

    // Clicks the choices in order; false at the first one that is not on screen, or that
    // leaves a text in the other language.
    [[nodiscard]] bool chooseAll(std::initializer_list<story::Key> keys) {
        for (story::Key key : keys) {
            if (!ui->choose(key) || !russianOnScreen().isEmpty()) {
                qWarning() << "at K" << story::numberOf(key) << russianOnScreen();
                return false;
            }
        }
        return true;
    }

    // A fight the hero wins with `blows` strikes, none missed.
    [[nodiscard]] bool winFight(int blows) {
        ui->draws.push(1, blows);
        return ui->fightOut(blows) && ui->draws.empty() && russianOnScreen().isEmpty();
    }

    bool showsPassage(int scene) const {
        return ui->textOf(Info) == qtext(story::passageOf(scene));
    }

    // The Russian text, or the English one in the English game.
    QString said(const char* russian, const char* inEnglish) const {
        return QString::fromUtf8(english ? inEnglish : russian);
    }

  private slots:
    void init() {
        english = QTest::currentDataTag() == QByteArrayLiteral("en");
        story::setLanguage(english ? story::Language::English : story::Language::Russian);
        ui = std::make_unique<WindowUnderTest>();
        QVERIFY(QTest::qWaitForWindowExposed(&ui->window));
    }
    void cleanup() {
        ui.reset();
        story::setLanguage(story::Language::Russian);
    }

    void theWayOutWithTheTridentAndTheNecklace_data() { languages(); }
    void theWayOutWithTheTridentAndTheNecklace() {
        QCOMPARE(russianOnScreen(), QString());
        QCOMPARE(ui->textOf(Start), said("СТАРТ", "START"));
        QVERIFY(ui->click(Start));
        QVERIFY(chooseAll({K070, K121, K110, K064, K119, K055}));
        QVERIFY(showsPassage(88));
        QVERIFY(ui->shown(Item3));  // the trident

        QVERIFY(chooseAll({K054, K100}));
        QVERIFY(showsPassage(52));
        QVERIFY(ui->shown(Attack) && ui->shown(LifeOpponent) && ui->shown(Status));
        QVERIFY(winFight(12));  // the double, 60 life
        QVERIFY(showsPassage(7));

        QVERIFY(chooseAll({K091, K028, K084, K083, K024}));
        QVERIFY(winFight(14));  // the worm, 70 life
        QVERIFY(showsPassage(36));

        QVERIFY(chooseAll({K082, K081, K015, K016}));
        QVERIFY(showsPassage(27));
        QVERIFY(ui->shown(Item4));  // the necklace

        QVERIFY(chooseAll({K019, K022, K013, K011, K074}));
        QVERIFY(winFight(9));  // the mind flayer, 45 life
        QVERIFY(showsPassage(28));
        QVERIFY(ui->choose(K073));
        QVERIFY(showsPassage(30));

        // The trident opens the steel door, the necklace turns the eye's beam.
        QVERIFY(ui->click(Item3));
        QVERIFY(showsPassage(2));
        QVERIFY(ui->choose(K072));
        QVERIFY(showsPassage(4));
        QVERIFY(ui->click(Item4));
        QVERIFY(showsPassage(32));

        QVERIFY(chooseAll({K071, K001}));
        QVERIFY(showsPassage(96));
        for (ControlId id : kChoiceLabels) {
            QVERIFY2(!ui->shown(id), nameOf(id).data());
        }
        QVERIFY(ui->window.timer(Win)->isActive());
        QVERIFY(!ui->shown(WinGame));

        ui->fire(Win);
        QVERIFY(ui->shown(WinGame));
        QVERIFY(ui->shown(Info));  // the closing passage stays above the banner
        QVERIFY(showsPassage(96));
        QCOMPARE(ui->window.control(WinGame)->geometry(), QRect(104, 384, 385, 73));
        QVERIFY(ui->window.timer(ColorChanger)->isActive());
        QVERIFY(!ui->window.timer(Win)->isActive());

        QCOMPARE(ui->window.game().Health(), std::string("76"));  // 60, and 16 from scene 31
        QCOMPARE(ui->audio.played.size(), std::size_t{1 + 12 + 14 + 9});
        QCOMPARE(ui->audio.played.back().filename().string(), std::string("ydar.wav"));
        ui->refresh();
        QCOMPARE(ui->textOf(Life), said("ЖИЗНЬ: 76", "LIFE: 76"));
        QCOMPARE(russianOnScreen(), QString());
    }

    void deathInAFightLeadsBackToAFreshTitleScreen_data() { languages(); }
    void deathInAFightLeadsBackToAFreshTitleScreen() {
        QVERIFY(ui->click(Start));
        QVERIFY(chooseAll({K070, K121, K110, K064, K063}));
        QVERIFY(ui->shown(Item2));  // the fur ball
        QVERIFY(chooseAll({K059, K101, K100}));
        QVERIFY(winFight(12));  // the double
        QVERIFY(chooseAll({K033, K090, K036, K034, K087}));
        QVERIFY(showsPassage(23));
        QCOMPARE(ui->window.game().Ring(), std::string("1"));
        QVERIFY(chooseAll({K086, K031, K024}));
        QVERIFY(showsPassage(62));
        ui->refresh();
        QCOMPARE(ui->textOf(LifeOpponent), said("ЧЕРВЬ: 70", "WORM: 70"));

        // With the ring every blow of the worm costs 3: twenty of them kill the hero.
        ui->draws.push(4, 20);
        QVERIFY(!ui->fightOut(20));  // the fight does not end by itself
        QVERIFY(ui->draws.empty());
        QCOMPARE(ui->window.game().Health(), std::string("0"));
        QCOMPARE(ui->textOf(Status), said(" ЧЕРВЬ нанёс удар!", " WORM strikes!"));
        QCOMPARE(ui->audio.played.back().filename().string(), std::string("ydar2.wav"));

        // No countdown: the next tick of the life watch ends the game.
        QVERIFY(!ui->window.timer(Death)->isActive());
        ui->fire(HealthTimer);
        QVERIFY(ui->shown(EndGame));
        QCOMPARE(ui->textOf(EndGame),
                 said("Игра окончена! Ларминов погиб.", "Game over! Larminov is dead."));
        QCOMPARE(russianOnScreen(), QString());
        for (ControlId id : {Info, R1, R2, R3, R4, R5, Attack, LifeOpponent, Status, Item1, Item2,
                             Item3, Item4, NameGame1, NameGame2, Start}) {
            QVERIFY2(!ui->shown(id), nameOf(id).data());
        }

        QVERIFY(ui->click(EndGame));
        ui->fire(HealthTimer);
        QCOMPARE(ui->window.game().Health(), std::string("60"));
        QCOMPARE(ui->window.game().Ring(), std::string("0"));
        QCOMPARE(ui->textOf(Life), said("ЖИЗНЬ: 60", "LIFE: 60"));
        for (ControlId id : {NameGame1, NameGame2, Start, Creator, TovikImage, Quit, Life}) {
            QVERIFY2(ui->shown(id), nameOf(id).data());
        }
        for (ControlId id : {Info, R1, R2, R3, R4, R5, Attack, LifeOpponent, EndGame, WinGame,
                             Item1, Item2, Item3, Item4}) {
            QVERIFY2(!ui->shown(id), nameOf(id).data());
        }
        QVERIFY(ui->window.timer(HealthTimer)->isActive());

        // And the next game starts as the first did.
        QVERIFY(ui->click(Start));
        QVERIFY(ui->shown(Info) && ui->shown(R1));
        QCOMPARE(ui->textOf(R1), qtext(story::captionOf(K070)));
    }

  private:
    static void languages() {
        QTest::addColumn<bool>("unused");  // the tag is the language
        QTest::newRow("ru") << false;
        QTest::newRow("en") << true;
    }
};

}  // namespace tovik::window::testing

QTEST_MAIN(tovik::window::testing::JourneyTest)

#include "journey_test.moc"
