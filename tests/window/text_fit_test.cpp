#include <QFontMetrics>

#include "story/passages.h"
#include "story/scene_catalogue.h"
#include "story/victories.h"
#include "window_under_test.h"

namespace tovik::window::testing {

using enum ControlId;

namespace {

// The height the text takes when wrapped at word boundaries inside a box of `width`.
int wrappedHeight(const QLabel* label, const QString& text, int width, int height) {
    return QFontMetrics(label->font())
        .boundingRect(QRect(0, 0, width, height), Qt::TextWordWrap, text)
        .height();
}

}  // namespace

// No text of the game is ever cut off: every passage, caption, banner and status line fits
// where the window puts it, in the game's own font.
class TextFitTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<WindowUnderTest> ui;

    // What is wrong with the screen as the window shows it now, or nothing: the passage must
    // fit inside Info, each shown choice must stay on one line and inside the window.
    QString problemOnScreen(int& passageHeight) {
        QLabel* info = ui->label(Info);
        passageHeight = wrappedHeight(info, info->text(), 409, 311);
        if (info->geometry() != designPixels(Info)) {
            return QStringLiteral("Info changed its box");
        }
        if (passageHeight > 311) {
            return QStringLiteral("the passage needs %1 px of 311").arg(passageHeight);
        }
        const QFontMetrics metrics(ui->label(R1)->font());
        for (ControlId id : kChoiceLabels) {
            const QRect box = ui->window.control(id)->geometry();
            if (!ui->shown(id)) {
                continue;
            }
            if (box.right() + 1 > 1024) {
                return qtext(nameOf(id)) + QStringLiteral(" runs out of the window");
            }
            if (box.height() != metrics.height() ||
                box.width() != metrics.horizontalAdvance(ui->textOf(id))) {
                return qtext(nameOf(id)) + QStringLiteral(" is not its caption on one line");
            }
        }
        return {};
    }

  private slots:
    void init() {
        ui = std::make_unique<WindowUnderTest>();
        QVERIFY(QTest::qWaitForWindowExposed(&ui->window));
    }
    void cleanup() { ui.reset(); }

    void everyPassageAndChoiceFits() {
        QVERIFY(ui->click(Start));
        QCOMPARE(ui->textOf(Info), qtext(story::kOpeningPassage));
        int tallest = 0;
        QString problem = problemOnScreen(tallest);
        QVERIFY2(problem.isEmpty(), qPrintable("opening screen: " + problem));
        int tallestScene = 0;
        for (int scene = 1; scene <= story::kSceneCount; ++scene) {
            ui = std::make_unique<WindowUnderTest>();
            QVERIFY2(ui->reach(scene), qPrintable(QStringLiteral("scene %1").arg(scene)));
            ui->refresh();
            QCOMPARE(ui->textOf(Info), qtext(story::passageOf(scene)));
            int height = 0;
            problem = problemOnScreen(height);
            QVERIFY2(problem.isEmpty(),
                     qPrintable(QStringLiteral("scene %1: ").arg(scene) + problem));
            if (height > tallest) {
                tallest = height;
                tallestScene = scene;
            }
        }
        qInfo("tallest passage: scene %d, %d of 311 px", tallestScene, tallest);
    }

    void theBannersFitTheirBoxInTwoLines() {
        QLabel* endGame = ui->label(EndGame);
        QLabel* winGame = ui->label(WinGame);
        const int oneLine = QFontMetrics(endGame->font()).height();

        const QString defeat = endGame->text();
        QVERIFY(ui->reach(98));
        ui->refresh();
        const QString lost = endGame->text();
        QCOMPARE(defeat, QStringLiteral("Игра окончена! Ларминов погиб."));
        QCOMPARE(lost, QStringLiteral("Игра окончена! Ларминов проиграл."));

        for (const auto& [label, banner] : {std::pair{endGame, defeat}, std::pair{endGame, lost},
                                            std::pair{winGame, winGame->text()}}) {
            QCOMPARE(label->size(), QSize(385, 73));
            const int height = wrappedHeight(label, banner, 385, 73);
            qInfo("banner \"%s\": %d of 73 px", qPrintable(banner), height);
            QVERIFY2(height <= 73, qPrintable(banner));
            QVERIFY2(height > oneLine, qPrintable(banner));  // it wraps onto a second line
        }
    }

    void theTitleTextsFitTheirBoxes() {
        const int credit = wrappedHeight(ui->label(Creator), ui->textOf(Creator), 168, 48);
        qInfo("author credit: %d of 48 px", credit);
        QVERIFY(credit <= 48);
        QVERIFY(wrappedHeight(ui->label(NameGame2), ui->textOf(NameGame2), 385, 73) <= 73);
        // The start label is one word, so it must fit its width on one line.
        const QFontMetrics large(ui->label(Start)->font());
        QVERIFY(large.horizontalAdvance(ui->textOf(Start)) <= 113);
        QVERIFY(large.height() <= 41);
    }

    void everyBlowReportFitsTheStatusLine() {
        // The status line does not grow: a report that wrapped would lose its second line.
        const QFontMetrics metrics(ui->label(Status)->font());
        QVERIFY(metrics.height() <= 17);
        QVERIFY(metrics.horizontalAdvance(QStringLiteral("Ларминов нанёс удар!")) <= 201);
        for (const story::Victory& victory : story::kVictories) {
            const QString report =
                QStringLiteral(" ") + qtext(victory.opponent) + QStringLiteral(" нанёс удар!");
            QVERIFY2(metrics.horizontalAdvance(report) <= 201, qPrintable(report));
        }
    }
};

}  // namespace tovik::window::testing

QTEST_MAIN(tovik::window::testing::TextFitTest)

#include "text_fit_test.moc"
