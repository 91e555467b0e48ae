#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

#include "look/game_font.h"
#include "story/victories.h"
#include "window_under_test.h"

namespace tovik::window::testing {

using enum ControlId;

// The window as it stands: every control's place, font, colours and pictures, and every text of
// the game in its box.
class LayoutTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<WindowUnderTest> ui;

    // A fresh window showing `scene`.
    void show(int scene) {
        ui = std::make_unique<WindowUnderTest>();
        QVERIFY(ui->reach(scene));
        ui->refresh();
    }

  private slots:
    void init() {
        ui = std::make_unique<WindowUnderTest>();
        QVERIFY(QTest::qWaitForWindowExposed(&ui->window));
    }
    void cleanup() { ui.reset(); }

    void theWindowIsAFixedBlackFormOnTheConfiguredScreen() {
        // A smaller screen or another dpi would make the pointer miss and scale every font.
        const QScreen* screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->geometry(), QRect(0, 0, 1280, 1024));
        QCOMPARE(screen->logicalDotsPerInch(), 96.0);
        QCOMPARE(ui->window.devicePixelRatio(), 1.0);
        const GameWindow& window = ui->window;
        QCOMPARE(window.size(), QSize(1024, 768));
        QCOMPARE(window.minimumSize(), QSize(1024, 768));
        QCOMPARE(window.maximumSize(), QSize(1024, 768));
        QCOMPARE(window.windowTitle(), QStringLiteral("Form1"));
        QVERIFY(window.autoFillBackground());
        QCOMPARE(window.palette().color(QPalette::Window), QColor(Qt::black));
        QVERIFY(!window.windowIcon().isNull());
        QVERIFY(window.hasMouseTracking());
    }

    void everyControlStandsAsDesigned() {
        const std::vector<ControlId> clickable = {Start, R1,    R2,    R3,   R4,      R5,
                                                  Item1, Item3, Item4, Quit, EndGame, WinGame};
        QCOMPARE(ui->window.cursor().shape(), Qt::ArrowCursor);
        for (ControlId id : allControls()) {
            const ControlKind kind = kindOf(id);
            if (kind == ControlKind::Timer) {
                continue;
            }
            const ControlLayout& layout = layoutOf(id);
            const char* name = nameOf(id).data();
            QWidget* widget = ui->widget(id);
            QCOMPARE(widget->objectName(), qtext(nameOf(id)));
            QVERIFY2(widget->parentWidget() == &ui->window, name);
            QVERIFY2(ui->shown(id) == layout.visible, name);
            QVERIFY2(ui->window.rect().contains(widget->geometry()), name);
            const bool hand = std::count(clickable.begin(), clickable.end(), id) > 0;
            QCOMPARE(widget->cursor().shape(), hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
            const QRect design = designPixels(id);
            if (kind != ControlKind::Label || !lookOf(id).autoSize) {
                QVERIFY2(widget->geometry() == design, name);
            } else {
                // An auto-sized label takes the size of its caption on one line, from its
                // place; the design's size is that of the design font.
                QCOMPARE(widget->pos(), design.topLeft());
                const QFontMetrics metrics(widget->font());
                QCOMPARE(widget->size(),
                         QSize(metrics.horizontalAdvance(qtext(layout.caption)), metrics.height()));
            }
            if (kind == ControlKind::Label) {
                QLabel* label = ui->label(id);
                QCOMPARE(label->text(), qtext(layout.caption));
                QCOMPARE(label->textFormat(), Qt::PlainText);
                QCOMPARE(label->font().pixelSize(), lookOf(id).fontPixels);
                QCOMPARE(label->font().family(), gameFontFamily());
                QVERIFY2(!label->font().bold() && !label->font().italic(), name);
                QCOMPARE(ui->textColourOf(id), qcolour(layout.textColour));
                QCOMPARE(label->palette().color(QPalette::Window), qcolour(lookOf(id).backColour));
                QVERIFY2(label->autoFillBackground(), name);  // an opaque background
                QCOMPARE(label->wordWrap(), !lookOf(id).autoSize);
                QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
                QCOMPARE(label->margin(), 0);
            } else if (kind == ControlKind::Picture) {
                // A picture's bitmap is read when it is first shown: the title screen does not
                // wait for the items'.
                QVERIFY2(ui->label(id)->pixmap().isNull() != layout.visible, name);
            }
        }
        QCOMPARE(qobject_cast<QPushButton*>(ui->widget(Attack))->text(), QStringLiteral("Атака!"));
    }

    // Literal numbers, so that a slip in the layout table itself shows too.
    void spotChecksInPixels() {
        const auto at = [this](ControlId id) { return ui->widget(id)->geometry(); };
        QCOMPARE(at(Info), QRect(96, 32, 409, 311));
        QCOMPARE(at(R1).topLeft(), QPoint(272, 392));
        QCOMPARE(at(R5).topLeft(), QPoint(272, 488));
        QCOMPARE(at(Quit), QRect(640, 48, 99, 95));
        QCOMPARE(at(NameGame1), QRect(144, 64, 337, 157));
        QCOMPARE(at(NameGame2), QRect(120, 240, 385, 73));
        QCOMPARE(at(Start), QRect(240, 344, 113, 41));
        QCOMPARE(at(Creator), QRect(568, 160, 168, 48));
        QCOMPARE(at(TovikImage), QRect(528, 240, 197, 247));
        QCOMPARE(at(Status), QRect(40, 512, 201, 17));
        QCOMPARE(at(Life).topLeft(), QPoint(24, 536));
        QCOMPARE(at(LifeOpponent).topLeft(), QPoint(152, 536));
        QCOMPARE(at(EndGame), QRect(104, 384, 385, 73));
        QCOMPARE(at(WinGame), at(EndGame));
        QCOMPARE(at(Attack), QRect(80, 464, 81, 41));
        QCOMPARE(at(Item1), QRect(568, 216, 64, 55));
        QCOMPARE(at(Item4), QRect(648, 288, 64, 55));
        QCOMPARE(ui->label(Info)->font().pixelSize(), 13);
        QCOMPARE(ui->label(Life)->font().pixelSize(), 18);
        QCOMPARE(ui->label(Start)->font().pixelSize(), 32);
        QCOMPARE(ui->textColourOf(Info), QColor(0x00, 0xFF, 0x00));
        QCOMPARE(ui->textColourOf(R1), QColor(0x00, 0x80, 0x00));
        QCOMPARE(ui->textColourOf(Life), QColor(0x00, 0xC0, 0x00));
        QCOMPARE(ui->textColourOf(Creator), QColor(0xFF, 0x80, 0x00));
        QCOMPARE(ui->textColourOf(WinGame), QColor(0x80, 0xFF, 0x80));
        QCOMPARE(ui->textOf(Life), QStringLiteral("ЖИЗНЬ: 60"));
        QCOMPARE(ui->textOf(EndGame), QStringLiteral("Игра окончена! Ларминов погиб."));
    }

    void picturesAreDrawnFromTheirCornerAtTheirSizes() {
        const auto pictureSize = [this](ControlId id) { return ui->label(id)->pixmap().size(); };
        // The title's lowest forty rows, plain black, fall outside its box.
        QCOMPARE(pictureSize(NameGame1), QSize(337, 197));
        QCOMPARE(pictureSize(TovikImage), QSize(197, 247));
        QCOMPARE(pictureSize(Quit), QSize(99, 95));
        const QImage title = ui->widget(NameGame1)->grab().toImage();
        QCOMPARE(title.size(), QSize(337, 157));
        QVERIFY(title == ui->label(NameGame1)
                             ->pixmap()
                             .toImage()
                             .copy(0, 0, 337, 157)
                             .convertToFormat(title.format()));
        // Each item's picture, once the item is found.
        for (const auto& [item, scene] : {std::pair{Item1, 59}, std::pair{Item2, 85},
                                          std::pair{Item3, 88}, std::pair{Item4, 27}}) {
            show(scene);
            QVERIFY2(ui->shown(item), nameOf(item).data());
            QCOMPARE(pictureSize(item), QSize(64, 55));
        }
    }

    void autoSizedLabelsGrowAndShrinkOnOneLine() {
        show(39);  // five choices, far longer than the placeholder
        const QFontMetrics metrics(ui->label(R1)->font());
        for (ControlId id : kChoiceLabels) {
            QVERIFY2(ui->shown(id), nameOf(id).data());
            QCOMPARE(ui->widget(id)->pos(), designPixels(id).topLeft());
            QCOMPARE(ui->widget(id)->size(),
                     QSize(metrics.horizontalAdvance(ui->textOf(id)), metrics.height()));
        }
        const int longWidth = ui->widget(R1)->width();
        show(3);  // a shorter caption shrinks the label back again
        QCOMPARE(ui->widget(R1)->width(), metrics.horizontalAdvance(ui->textOf(R1)));
        QVERIFY(ui->widget(R1)->width() != longWidth);
        QCOMPARE(ui->widget(Life)->width(),
                 QFontMetrics(ui->label(Life)->font()).horizontalAdvance(ui->textOf(Life)));
    }

    void fixedBoxesWrapAndClipButNeverGrow() {
        // No passage of the story overflows Info, so this one is written straight into the
        // window's model: the box must wrap it, cut it off and keep its size.
        const QString passage =
            QStringLiteral("Длинный коридор уходит во тьму подземелья. ").repeated(200);
        auto& model = const_cast<WindowModel&>(ui->window.model());
        model.setCaption(Info, passage.toStdString());
        model.setVisible(Info, true);
        ui->refresh();
        QCOMPARE(ui->textOf(Info), passage);
        QCOMPARE(ui->widget(Info)->geometry(), designPixels(Info));
        QVERIFY(ui->label(Info)->wordWrap());
    }

    // What the story's own check cannot see (it fits the passages and the banners): the
    // window's other texts, in its fonts.
    void theWindowsOwnTextsFitTheirBoxes() {
        const auto height = [this](ControlId id, const QString& text) {
            const QSize box = designPixels(id).size();
            return QFontMetrics(ui->label(id)->font())
                .boundingRect(QRect(QPoint(), box), Qt::TextWordWrap, text)
                .height();
        };
        QVERIFY(height(NameGame2, ui->textOf(NameGame2)) <= 73);
        const QFontMetrics large(ui->label(Start)->font());
        QVERIFY(large.horizontalAdvance(ui->textOf(Start)) <= 113 && large.height() <= 41);
        // The status line does not grow: a report that wrapped would lose its second line.
        const QFontMetrics status(ui->label(Status)->font());
        QVERIFY(status.height() <= 17);
        QVERIFY(status.horizontalAdvance(QStringLiteral("Ларминов нанёс удар!")) <= 201);
        for (const story::Victory& victory : story::kVictories) {
            const QString report = " " + qtext(victory.opponent) + " нанёс удар!";
            QVERIFY2(status.horizontalAdvance(report) <= 201, qPrintable(report));
        }
    }
};

TOVIK_WINDOW_TEST("layout", LayoutTest);

}  // namespace tovik::window::testing

#include "layout_test.moc"
