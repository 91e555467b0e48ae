#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include "look/game_font.h"
#include "window_under_test.h"

namespace tovik::window::testing {

using enum ControlId;

// The window as it stands when it is created: every control's place, font, colours, pictures
// and start visibility.
class LayoutTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<WindowUnderTest> ui;

  private slots:
    void init() {
        ui = std::make_unique<WindowUnderTest>();
        QVERIFY(QTest::qWaitForWindowExposed(&ui->window));
    }
    void cleanup() { ui.reset(); }

    void theScreenIsTheConfiguredOne() {
        // The offscreen screen must be big enough for the whole window, at 96 dpi, or the
        // pointer tests would miss and every font would be scaled.
        const QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(screen != nullptr);
        QCOMPARE(screen->geometry(), QRect(0, 0, 1280, 1024));
        QCOMPARE(screen->logicalDotsPerInch(), 96.0);
        QCOMPARE(screen->devicePixelRatio(), 1.0);
        QCOMPARE(ui->window.devicePixelRatio(), 1.0);
    }

    void theWindowIsAFixedBlackFormOfScreenSize() {
        const GameWindow& window = ui->window;
        QCOMPARE(window.size(), QSize(1024, 768));
        QCOMPARE(window.minimumSize(), QSize(1024, 768));
        QCOMPARE(window.maximumSize(), QSize(1024, 768));
        QCOMPARE(window.windowTitle(), QStringLiteral("Form1"));
        QVERIFY(window.autoFillBackground());
        QCOMPARE(window.palette().color(QPalette::Window), QColor(Qt::black));
        QVERIFY(!window.windowIcon().isNull());
        QVERIFY(window.hasMouseTracking());
        // Everything the game draws lies inside the client area.
        for (ControlId id : allControls()) {
            if (kindOf(id) != ControlKind::Timer) {
                QVERIFY2(window.rect().contains(window.control(id)->geometry()), nameOf(id).data());
            }
        }
    }

    void everyControlStandsAsDesigned() {
        for (ControlId id : allControls()) {
            const ControlKind kind = kindOf(id);
            if (kind == ControlKind::Timer) {
                continue;
            }
            const ControlLayout& layout = layoutOf(id);
            const char* name = nameOf(id).data();
            QWidget* widget = ui->window.control(id);
            QVERIFY2(widget != nullptr, name);
            QCOMPARE(widget->objectName(), qtext(nameOf(id)));
            QVERIFY2(widget->parentWidget() == &ui->window, name);
            QVERIFY2(ui->shown(id) == layout.visible, name);

            const QRect design = designPixels(id);
            if (kind != ControlKind::Label || !lookOf(id).autoSize) {
                QVERIFY2(widget->geometry() == design, name);
            } else {
                // An auto-sized label takes the size of its caption on one line, from its
                // place; the design's size is that of the design font.
                QCOMPARE(widget->pos(), design.topLeft());
                const QFontMetrics metrics(widget->font());
                const QString caption = qtext(layout.caption);
                QCOMPARE(widget->size(),
                         QSize(metrics.horizontalAdvance(caption), metrics.height()));
            }

            switch (kind) {
                case ControlKind::Label: {
                    QLabel* label = ui->label(id);
                    QVERIFY2(label != nullptr, name);
                    QCOMPARE(label->text(), qtext(layout.caption));
                    QCOMPARE(label->textFormat(), Qt::PlainText);
                    QCOMPARE(label->font().pixelSize(), lookOf(id).fontPixels);
                    QCOMPARE(label->font().family(), gameFontFamily());
                    QVERIFY2(!label->font().bold() && !label->font().italic() &&
                                 !label->font().underline(),
                             name);
                    QCOMPARE(ui->textColourOf(id), qcolour(layout.textColour));
                    QCOMPARE(label->palette().color(QPalette::Window),
                             qcolour(lookOf(id).backColour));
                    QVERIFY2(label->autoFillBackground(), name);  // an opaque background
                    QCOMPARE(label->wordWrap(), !lookOf(id).autoSize);
                    QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
                    QCOMPARE(label->frameShape(), QFrame::NoFrame);
                    QCOMPARE(label->margin(), 0);
                    break;
                }
                case ControlKind::Button:
                    QCOMPARE(ui->attack()->text(), QStringLiteral("Атака!"));
                    break;
                case ControlKind::Picture: {
                    QLabel* picture = ui->label(id);
                    QVERIFY2(picture != nullptr, name);
                    // A picture's bitmap is read when it is first shown: the title screen
                    // does not wait for the items'.
                    QVERIFY2(picture->pixmap().isNull() != layout.visible, name);
                    QCOMPARE(picture->frameShape(), QFrame::NoFrame);
                    break;
                }
                case ControlKind::Timer:
                    break;
            }
        }
    }

    // Literal numbers, so that a slip in the layout table itself shows too.
    void spotChecksInPixels() {
        const auto at = [this](ControlId id) { return ui->window.control(id)->geometry(); };
        QCOMPARE(at(Info), QRect(96, 32, 409, 311));
        QCOMPARE(at(R1).topLeft(), QPoint(272, 392));
        QCOMPARE(at(R2).topLeft(), QPoint(272, 416));
        QCOMPARE(at(R3).topLeft(), QPoint(272, 440));
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
        QCOMPARE(ui->textOf(Start), QStringLiteral("СТАРТ"));
    }

    void theTitleScreenShowsOnlyItsControls() {
        for (ControlId id :
             {NameGame1, NameGame2, Start, Creator, TovikImage, Quit, Life, Status}) {
            QVERIFY2(ui->shown(id), nameOf(id).data());
        }
        for (ControlId id : {Info, R1, R2, R3, R4, R5, LifeOpponent, EndGame, WinGame, Attack,
                             Item1, Item2, Item3, Item4}) {
            QVERIFY2(!ui->shown(id), nameOf(id).data());
        }
    }

    void picturesAreLoadedAtTheirSizes() {
        const auto pictureSize = [this](ControlId id) { return ui->label(id)->pixmap().size(); };
        // The title's lowest forty rows, plain black, fall outside its box.
        QCOMPARE(pictureSize(NameGame1), QSize(337, 197));
        QCOMPARE(ui->window.control(NameGame1)->size(), QSize(337, 157));
        QCOMPARE(pictureSize(TovikImage), QSize(197, 247));
        QCOMPARE(pictureSize(Quit), QSize(99, 95));
        // Each item's picture, once the item is found.
        for (const auto& [item, scene] : {std::pair{Item1, 59}, std::pair{Item2, 85},
                                          std::pair{Item3, 88}, std::pair{Item4, 27}}) {
            WindowUnderTest finder;
            QVERIFY(finder.reach(scene));
            QVERIFY2(finder.shown(item), nameOf(item).data());
            QCOMPARE(finder.label(item)->pixmap().size(), QSize(64, 55));
            QCOMPARE(finder.window.control(item)->size(), QSize(64, 55));
        }
        // Drawn from the top-left corner, never stretched.
        QVERIFY(!ui->label(NameGame1)->hasScaledContents());
        QCOMPARE(ui->label(NameGame1)->alignment(), Qt::AlignLeft | Qt::AlignTop);
        const QImage title = ui->window.control(NameGame1)->grab().toImage();
        QCOMPARE(title.size(), QSize(337, 157));
        const QImage top = ui->label(NameGame1)
                               ->pixmap()
                               .toImage()
                               .copy(0, 0, 337, 157)
                               .convertToFormat(title.format());
        QVERIFY(title == top);
    }

    void autoSizedLabelsGrowAndShrinkOnOneLine() {
        // Scene 39 offers five choices; its captions are far longer than the placeholder.
        QVERIFY(ui->reach(39));
        ui->refresh();
        const QFontMetrics metrics(ui->label(R1)->font());
        for (ControlId id : kChoiceLabels) {
            QWidget* label = ui->window.control(id);
            QVERIFY2(ui->shown(id), nameOf(id).data());
            QCOMPARE(label->pos(), designPixels(id).topLeft());
            QVERIFY2(label->width() > 17, nameOf(id).data());
            QCOMPARE(label->width(), metrics.horizontalAdvance(ui->textOf(id)));
            QCOMPARE(label->height(), metrics.height());  // one line, never wrapped
            QVERIFY(!ui->label(id)->wordWrap());
        }
        // A shorter caption shrinks the label back again.
        const int longWidth = ui->window.control(R1)->width();
        ui = std::make_unique<WindowUnderTest>();
        QVERIFY(ui->reach(3));
        ui->refresh();
        QCOMPARE(ui->window.control(R1)->width(), metrics.horizontalAdvance(ui->textOf(R1)));
        QVERIFY(ui->window.control(R1)->width() != longWidth);
        // The life label follows its caption too.
        const QFontMetrics lifeMetrics(ui->label(Life)->font());
        QCOMPARE(ui->window.control(Life)->width(),
                 lifeMetrics.horizontalAdvance(ui->textOf(Life)));
    }

    void fixedBoxesWrapAndClipButNeverGrow() {
        // No passage of the story overflows Info, so this one is written straight into the
        // window's model: the box must wrap it, cut it off and keep its size.
        QString passage;
        for (int i = 0; i < 200; ++i) {
            passage += QStringLiteral("Длинный коридор уходит во тьму подземелья. ");
        }
        auto& model = const_cast<WindowModel&>(ui->window.model());
        model.setCaption(Info, passage.toStdString());
        model.setVisible(Info, true);
        ui->refresh();
        QLabel* info = ui->label(Info);
        QCOMPARE(info->text(), passage);
        QCOMPARE(info->geometry(), designPixels(Info));
        QVERIFY(info->wordWrap());
        const QFontMetrics metrics(info->font());
        QVERIFY(metrics.boundingRect(QRect(0, 0, 409, 311), Qt::TextWordWrap, passage).height() >
                311);
        // The longer defeat banner keeps the banner's box as well.
        ui = std::make_unique<WindowUnderTest>();
        QVERIFY(ui->reach(98));
        ui->refresh();
        QCOMPARE(ui->window.control(EndGame)->geometry(), QRect(104, 384, 385, 73));
    }
};

}  // namespace tovik::window::testing

QTEST_MAIN(tovik::window::testing::LayoutTest)

#include "layout_test.moc"
