// The game's menu icon: the golden «Т» of the window icon, painted afresh from the letter's
// outline at each size, so the small icons stay sharp and the large ones are not a blown-up
// 32-pixel bitmap.
#include <QTransform>

#include "pictures.h"

namespace tovik::pictures {

namespace {

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
}  // namespace

QImage drawMenuIcon(const QRawFont& font, int size) {
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

}  // namespace tovik::pictures
