#include "pictures.h"

namespace tovik::pictures {

QImage drawTrident() {
    const int W = 64, H = 55;
    QImage img = blank(W, H, Qt::black);

    // drawn upright about the origin (head up, butt down), then laid across
    // the icon diagonally so it can be as long as possible
    QTransform lay;
    lay.translate(32, 27.5);
    lay.rotate(35);
    lay.scale(0.76, 0.76);
    lay.translate(0, -3.7);  // the middle of its length at the centre

    QPainterPath t;
    t.addRoundedRect(QRectF(-2.2, -8, 4.4, 42), 1.5, 1.5);  // shaft
    // cross-bar curving up into the outer prongs
    QPainterPath bar;
    bar.moveTo(-14, -20);
    bar.lineTo(-10.8, -20);
    bar.cubicTo(-10.8, -11, -6, -8.2, 0, -8.2);
    bar.cubicTo(6, -8.2, 10.8, -11, 10.8, -20);
    bar.lineTo(14, -20);
    bar.cubicTo(14, -8, 7, -3.8, 0, -3.8);
    bar.cubicTo(-7, -3.8, -14, -8, -14, -20);
    bar.closeSubpath();
    t.addPath(bar);
    t.addRect(QRectF(-1.7, -23, 3.4, 17));  // middle prong
    // barbed heads on the three prongs
    auto head = [&](double x, double y, double half) {
        QPainterPath h;
        h.moveTo(x, y - 9);
        h.lineTo(x + half, y + 1);
        h.lineTo(x + 1.4, y - 1.5);
        h.lineTo(x - 1.4, y - 1.5);
        h.lineTo(x - half, y + 1);
        h.closeSubpath();
        return h;
    };
    t.addPath(head(0, -22, 4.2));
    t.addPath(head(-12.4, -19, 3.6));
    t.addPath(head(12.4, -19, 3.6));
    t.addEllipse(QPointF(0, 35), 3.4, 3.4);  // pommel
    t.setFillRule(Qt::WindingFill);
    const QPainterPath shape = lay.map(t.simplified());

    QImage glow = blank(W, H);
    {
        QPainter g(&glow);
        g.setRenderHint(QPainter::Antialiasing);
        g.fillPath(shape, QColor(220, 0, 0));
    }
    blur(glow, 1);

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(0.35);
    p.drawImage(0, 0, glow);
    p.setOpacity(1.0);
    // the metal is lit from the upper left
    QLinearGradient metal(lay.map(QPointF(-16, -24)), lay.map(QPointF(16, 24)));
    metal.setColorAt(0.0, QColor(255, 120, 95));
    metal.setColorAt(0.4, QColor(235, 30, 15));
    metal.setColorAt(1.0, QColor(160, 0, 0));
    p.fillPath(shape, metal);
    QPainterPathStroker edge;
    edge.setWidth(0.8);
    p.fillPath(edge.createStroke(shape), QColor(90, 0, 0, 200));
    // grip bands wound round the shaft
    p.setPen(QPen(QColor(90, 10, 5), 1.2));
    for (double y = 18; y <= 28; y += 3)
        p.drawLine(lay.map(QPointF(-2.2, y)), lay.map(QPointF(2.2, y + 1.2)));
    // glint along the shaft
    p.setPen(QPen(QColor(255, 190, 170, 170), 0.7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(lay.map(QPointF(-1.1, -5)), lay.map(QPointF(-1.1, 15)));
    p.drawLine(lay.map(QPointF(-0.6, -21)), lay.map(QPointF(-0.6, -10)));
    p.end();
    frame0080FF(img);
    return img;
}

}  // namespace tovik::pictures
