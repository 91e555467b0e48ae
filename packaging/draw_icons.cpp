// Draws the game's menu icon, the golden «Т» of the window icon, at every size a desktop's
// hicolor theme asks for, as PNG files named tovik-<size>.png.
//
// Not part of the game's build: compiled and run by hand whenever the icon is to be redrawn
// (see packaging/README.md). Each size is painted afresh from the letter's outline, so the
// small icons stay sharp and the large ones are not a blown-up 32-pixel bitmap.
//
//   g++ -std=c++20 -O2 -fPIC packaging/draw_icons.cpp $(pkg-config --cflags --libs Qt6Gui)
//       -o /tmp/draw_icons
//   QT_QPA_PLATFORM=offscreen /tmp/draw_icons packaging/icons

#include <QColor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRawFont>
#include <QString>
#include <QStringList>
#include <QTransform>

#include <algorithm>
#include <cstdio>

namespace {

// The sizes of the hicolor theme's application icons that menus and launchers use.
constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QString findFont(const QStringList& candidates) {
    for (const QString& path : candidates) {
        if (QFileInfo::exists(path)) {
            return path;
        }
    }
    return {};
}

// The letter's outline, its ink box scaled to `height` and centred in a square of `size`.
QPainterPath letter(const QRawFont& font, double size, double height) {
    const QList<quint32> glyphs = font.glyphIndexesForString(QString::fromUtf8("Т"));
    QPainterPath path = font.pathForGlyph(glyphs.value(0));
    path.setFillRule(Qt::WindingFill);
    const QRectF box = path.boundingRect();
    const double k = height / std::max(box.width(), box.height());
    QTransform place;
    place.translate((size - box.width() * k) / 2, (size - box.height() * k) / 2);
    place.scale(k, k);
    place.translate(-box.left(), -box.top());
    return place.map(path);
}

// The window icon's design in units of its 32 pixels: a black tile, the letter 26 units high,
// a dark red rim round it and a gradient from pale yellow through orange to red. The tile's
// corners are rounded here, as menu icons are, and left transparent.
QImage drawIcon(const QRawFont& font, int size) {
    const double unit = size / 32.0;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath tile;
    tile.addRoundedRect(QRectF(0, 0, size, size), 4 * unit, 4 * unit);
    painter.fillPath(tile, QColor(0, 0, 0));

    const QPainterPath glyph = letter(font, size, 26 * unit);
    QPainterPathStroker rim;
    rim.setWidth(2.4 * unit);
    rim.setJoinStyle(Qt::RoundJoin);
    painter.fillPath(rim.createStroke(glyph), QColor(150, 10, 0));
    QLinearGradient gold(0, 3 * unit, 0, 29 * unit);
    gold.setColorAt(0.0, QColor(255, 250, 130));
    gold.setColorAt(0.45, QColor(255, 170, 0));
    gold.setColorAt(1.0, QColor(200, 20, 0));
    painter.fillPath(glyph, gold);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("packaging/icons");
    const QString fontPath =
        argc > 2 ? QString::fromLocal8Bit(argv[2])
                 : findFont({"/usr/share/fonts/truetype/paratype/PTF75F.ttf",
                             "/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf",
                             "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"});
    if (fontPath.isEmpty()) {
        std::fprintf(stderr, "no bold serif font with Cyrillic found; install fonts-liberation2\n");
        return 1;
    }
    const QRawFont font(fontPath, 200);
    if (!font.isValid()) {
        std::fprintf(stderr, "cannot read the font %s\n", qPrintable(fontPath));
        return 1;
    }
    for (const int size : kSizes) {
        const QString file = QStringLiteral("%1/tovik-%2.png").arg(folder).arg(size);
        if (!drawIcon(font, size).save(file, "PNG")) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
