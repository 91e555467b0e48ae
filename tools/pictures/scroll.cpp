#include "pictures.h"

namespace tovik::pictures {

// --------------------------------------------------------------- item icons

QImage drawScroll() {
    const int W = 64, H = 55;
    QImage img = blank(W, H, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    // the unrolled sheet, slightly tilted, with wavy top and bottom edges
    p.translate(32, 27.5);
    p.rotate(-12);
    QPainterPath sheet;
    sheet.moveTo(-19, -14);
    sheet.cubicTo(-9, -17, 2, -11, 19, -14);
    sheet.lineTo(19, 13);
    sheet.cubicTo(5, 10, -6, 16, -19, 13);
    sheet.closeSubpath();
    QLinearGradient g(QPointF(0, -15), QPointF(0, 15));
    g.setColorAt(0.0, QColor(255, 240, 150));
    g.setColorAt(0.5, QColor(240, 205, 90));
    g.setColorAt(1.0, QColor(200, 150, 50));
    p.setBrush(g);
    p.drawPath(sheet);
    // writing
    p.setPen(QPen(QColor(130, 70, 20, 200), 1.1, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i) {
        const double y = -8 + i * 5.2;
        const double len = (i == 3) ? 16 : 26;
        QPainterPath line;
        line.moveTo(-13, y);
        for (double x = -13; x < -13 + len; x += 3)
            line.quadTo(x + 0.8, y - 1.2, x + 1.6, y + (int(x) % 2 ? 0.6 : -0.3));
        p.drawPath(line);
    }
    // a red seal in the corner
    p.setPen(Qt::NoPen);
    QRadialGradient seal(QPointF(12, 8), 5);
    seal.setColorAt(0.0, QColor(230, 50, 30));
    seal.setColorAt(1.0, QColor(120, 10, 10));
    p.setBrush(seal);
    p.drawEllipse(QPointF(12, 8), 3.6, 3.6);

    // rolled ends: cylinders with a dark curl at each end
    auto roll = [&](double x) {
        QLinearGradient rg(QPointF(x - 4, 0), QPointF(x + 4, 0));
        rg.setColorAt(0.0, QColor(190, 140, 40));
        rg.setColorAt(0.4, QColor(255, 245, 170));
        rg.setColorAt(1.0, QColor(160, 110, 30));
        p.setBrush(rg);
        p.drawRoundedRect(QRectF(x - 4, -18, 8, 36), 3.5, 3);
        p.setBrush(QColor(120, 80, 20));
        p.drawEllipse(QPointF(x, -18), 4, 1.6);
        p.setBrush(QColor(90, 55, 10));
        p.drawEllipse(QPointF(x, -18), 1.6, 0.8);
    };
    roll(-20);
    roll(20);
    p.end();
    frame0080FF(img);
    return img;
}

}  // namespace tovik::pictures
