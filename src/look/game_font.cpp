#include "look/game_font.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QResource>
#include <QStringList>

namespace tovik {

QString gameFontFamily() {
    static const QString family = [] {
        // The font is stored uncompressed in the program and handed over where it lies, so
        // that starting the game neither unpacks nor copies its 400 KB.
        const QResource file(":/fonts/LiberationSans-Regular.ttf");
        const QByteArray data =
            file.compressionAlgorithm() == QResource::NoCompression
                ? QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()), file.size())
                : file.uncompressedData();
        const int id = QFontDatabase::addApplicationFontFromData(data);
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

}  // namespace tovik
