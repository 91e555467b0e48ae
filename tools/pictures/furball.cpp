#include "pictures.h"

namespace tovik::pictures {

QImage drawFurball() {
    const int W = 64, H = 55;
    QImage img = blank(W, H, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(32, 28);
    const double R = 17;

    QRadialGradient body(c + QPointF(-5, -5), R * 1.3);
    body.setColorAt(0.0, QColor(150, 30, 30));
    body.setColorAt(0.6, QColor(100, 15, 18));
    body.setColorAt(1.0, QColor(40, 4, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawEllipse(c, R, R);

    // hairs: short curved strokes; the ones near the rim reach outward and
    // make the edge fuzzy
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(0, 1);
    for (int i = 0; i < 900; ++i) {
        const double a = u(rng) * 2 * Pi;
        const double r = R * std::sqrt(u(rng)) * 1.02;
        const QPointF s = c + QPointF(std::cos(a) * r, std::sin(a) * r);
        const double out = 2.0 + 4.5 * (r / R) * u(rng);
        const double dir = a + (u(rng) - 0.5) * 0.9;
        const QPointF e = s + QPointF(std::cos(dir) * out, std::sin(dir) * out);
        // light from the upper left
        const double lit = 0.5 + 0.5 * (-(std::cos(a) + std::sin(a)) / std::sqrt(2.0)) * (r / R);
        const int shade = int(40 + 130 * lit * (0.6 + 0.4 * u(rng)));
        QColor col(std::clamp(shade + 30, 0, 255), std::clamp(shade / 6, 0, 255),
                   std::clamp(shade / 5, 0, 255), 160 + int(80 * u(rng)));
        p.setPen(QPen(col, 0.7, Qt::SolidLine, Qt::RoundCap));
        QPainterPath hair;
        hair.moveTo(s);
        hair.quadTo((s + e) / 2 + QPointF(u(rng) - 0.5, u(rng) - 0.5) * 2, e);
        p.drawPath(hair);
    }
    p.end();
    frame0080FF(img);
    return img;
}

}  // namespace tovik::pictures
