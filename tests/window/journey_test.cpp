#include <QRegularExpression>

#include "story/language.h"
#include "window_under_test.h"

namespace tovik::window::testing {

using enum ControlId;
using enum story::Key;

// Whole games played through the real window with real clicks on the labels, the item
// pictures and Атака!, with the dice scripted; in each language, where every text on screen
// after every click is in that language.
class JourneyTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<WindowUnderTest> ui;
    bool english = false;

    // In English, the first control that shows a Cyrillic letter, or nothing.
    QString russianOnScreen() const {
        static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
        ui->refresh();
        for (ControlId id : allControls()) {
            if (english && kindOf(id) == ControlKind::Label && ui->shown(id) &&
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
        QVERIFY(ui->showsPassage(88) && ui->shown(Item3));  // the trident
        QVERIFY(chooseAll({K054, K100}));
        QVERIFY(ui->showsPassage(52));
        QVERIFY(winFight(12));  // the double, 60 life
        QVERIFY(chooseAll({K091, K028, K084, K083, K024}));
        QVERIFY(winFight(14));  // the worm, 70 life
        QVERIFY(chooseAll({K082, K081, K015, K016}));
        QVERIFY(ui->showsPassage(27) && ui->shown(Item4));  // the necklace
        QVERIFY(chooseAll({K019, K022, K013, K011, K074}));
        QVERIFY(winFight(9));  // the mind flayer, 45 life
        QVERIFY(chooseAll({K073}));
        // The trident opens the steel door, the necklace turns the eye's beam.
        QVERIFY(ui->click(Item3));
        QVERIFY(ui->showsPassage(2));
        QVERIFY(chooseAll({K072}));
        QVERIFY(ui->click(Item4));
        QVERIFY(ui->showsPassage(32));
        QVERIFY(chooseAll({K071, K001}));
        QVERIFY(ui->showsPassage(96));
        ui->fire(Win);
        QVERIFY(ui->shown(WinGame) && ui->shown(Info));
        QCOMPARE(ui->audio.played.size(), std::size_t{1 + 12 + 14 + 9});
        QCOMPARE(ui->audio.played.back().filename().string(), std::string("ydar.wav"));
        QCOMPARE(ui->textOf(Life), said("ЖИЗНЬ: 76", "LIFE: 76"));  // 60, and 16 from scene 31
        QCOMPARE(russianOnScreen(), QString());
    }

    void theDefeatBannerAndTheNextGame_data() { languages(); }
    void theDefeatBannerAndTheNextGame() {
        QVERIFY(ui->reach(77));  // the ghost, who strikes until the hero falls
        for (int blow = 0; blow < 40 && std::stoi(ui->window.game().Health()) > 0; ++blow) {
            ui->draws.push(4);
            QVERIFY(ui->click(Attack));
        }
        QCOMPARE(ui->textOf(Status), said(" ПРИЗРАК нанёс удар!", " GHOST strikes!"));
        QCOMPARE(ui->audio.played.back().filename().string(), std::string("ydar2.wav"));
        ui->fire(HealthTimer);
        QCOMPARE(ui->textOf(EndGame),
                 said("Игра окончена! Ларминов погиб.", "Game over! Larminov is dead."));
        QCOMPARE(russianOnScreen(), QString());
        QVERIFY(ui->click(EndGame));
        ui->refresh();
        QCOMPARE(ui->textOf(Life), said("ЖИЗНЬ: 60", "LIFE: 60"));
        QCOMPARE(ui->textOf(Start), said("СТАРТ", "START"));
        QVERIFY(ui->click(Start));
        QCOMPARE(ui->textOf(R1), qtext(story::captionOf(K070)));
        QCOMPARE(russianOnScreen(), QString());
    }

  private:
    static void languages() {
        QTest::addColumn<bool>("unused");  // the tag is the language
        QTest::newRow("ru") << false;
        QTest::newRow("en") << true;
    }
};

TOVIK_WINDOW_TEST("journey", JourneyTest);

}  // namespace tovik::window::testing

#include "journey_test.moc"
