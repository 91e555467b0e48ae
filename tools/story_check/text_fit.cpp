#include "story_check/text_fit.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QTextLayout>
#include <stdexcept>

#include "look/game_font.h"
#include "look/qt_text.h"

namespace tovik::tools {

namespace {

QFontMetrics metrics(int fontPixels) {
    // Fonts need a GUI application; a bare QCoreApplication will not do.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        throw std::logic_error("text can only be measured while a QGuiApplication runs");
    }
    return QFontMetrics(gameFont(fontPixels));
}

// QGuiApplication keeps a reference to its argument count for its whole life. The checker only
// measures text, so it asks for the offscreen platform whatever QT_QPA_PLATFORM names: it must
// work, and say the same, with no display or with one that cannot be reached.
char gProgramName[] = "tovik-story";
char gPlatformOption[] = "-platform";
char gOffscreen[] = "offscreen";
char* gArgv[] = {gProgramName, gPlatformOption, gOffscreen, nullptr};
int gArgc = 3;

}  // namespace

OffscreenGui::OffscreenGui() {
    if (QGuiApplication::instance()) {
        return;
    }
    app_ = std::make_unique<QGuiApplication>(gArgc, gArgv);
}

OffscreenGui::~OffscreenGui() = default;

TextSize wrappedSize(std::string_view caption, int fontPixels, int boxWidth) {
    // The same flags the label paints with: top left, broken between words.
    const QRect box =
        metrics(fontPixels)
            .boundingRect(QRect(0, 0, boxWidth, 100000),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, toQString(caption));
    return {box.width(), box.height()};
}

int lineWidth(std::string_view caption, int fontPixels) {
    return metrics(fontPixels).horizontalAdvance(toQString(caption));
}

}  // namespace tovik::tools

namespace tovik::tools {

std::vector<WrappedLine> wrappedLines(std::string_view caption, int fontPixels, int boxWidth) {
    metrics(fontPixels);  // only to insist on a running QGuiApplication
    // As the label paints: one layout in the label's font, broken between words at its width.
    const QString whole = toQString(caption);
    QTextLayout layout(whole, gameFont(fontPixels));
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    std::vector<WrappedLine> lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(boxWidth);
        lines.push_back({whole.mid(line.textStart(), line.textLength()).toStdString(),
                         line.naturalTextWidth()});
    }
    layout.endLayout();
    return lines;
}

double exactLineWidth(std::string_view caption, int fontPixels) {
    metrics(fontPixels);
    return QFontMetricsF(gameFont(fontPixels)).horizontalAdvance(toQString(caption));
}

FontMeasures fontMeasures(int fontPixels) {
    const QFontMetricsF exact(gameFont(fontPixels));
    const QFontMetrics whole = metrics(fontPixels);
    return {.ascent = exact.ascent(),
            .descent = exact.descent(),
            .leading = exact.leading(),
            .height = whole.height(),
            .lineSpacing = whole.lineSpacing()};
}

}  // namespace tovik::tools
