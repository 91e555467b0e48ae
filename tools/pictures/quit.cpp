#include "pictures.h"

namespace tovik::pictures {

// --------------------------------------------------------------- exit button

QImage drawQuit() {
    const int W = 99, H = 95;
    QImage glow = blank(W, H);
    const double m = 20;
    auto cross = [&](QPainter& p, QColor c, double width) {
        p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(m, m), QPointF(W - m, H - m));
        p.drawLine(QPointF(W - m, m), QPointF(m, H - m));
    };
    {
        QPainter p(&glow);
        p.setRenderHint(QPainter::Antialiasing);
        cross(p, QColor(200, 0, 0), 6);
    }
    blur(glow, 3);
    QImage out = blank(W, H, Qt::black);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(0.55);
    p.drawImage(0, 0, glow);
    p.setOpacity(1.0);
    cross(p, QColor(230, 20, 10), 2.6);
    cross(p, QColor(255, 120, 90, 120), 0.8);
    return out;
}

}  // namespace tovik::pictures
