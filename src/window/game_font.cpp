#include "window/game_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace tovik::window {

QString gameFontFamily() {
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(":/fonts/LiberationSans-Regular.ttf");
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QStringLiteral("Liberation Sans") : families.first();
    }();
    return family;
}

QFont gameFont(int pixelSize) {
    QFont font(gameFontFamily());
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace tovik::window
