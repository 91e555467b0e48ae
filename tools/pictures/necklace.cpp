#include "pictures.h"

namespace tovik::pictures {

QImage drawNecklace() {
    const int W = 64, H = 55;
    QImage img = blank(W, H, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // the necklace hangs as a U: bone rings along the curve, each joined to
    // the next by a small green link, and a fang at the bottom
    const int rings = 5;
    const double ringR = 4.0;
    std::vector<QPointF> at;
    for (int i = 0; i < rings; ++i) {
        const double t = double(i) / (rings - 1);
        const double a = Pi * (1.0 - t);  // from the left round under to the right
        at.push_back(QPointF(32 + 23 * std::cos(a), 12 + 26 * std::sin(a)));
    }
    // trimA and trimB keep the link's ends out of the rings it joins
    auto link = [&](QPointF a, QPointF b, double trimA, double trimB) {
        const QPointF d = b - a;
        const double len = std::hypot(d.x(), d.y());
        const QPointF u = d / len;
        const QPointF from = a + u * trimA, to = b - u * trimB;
        const QPointF mid = (from + to) / 2;
        const double span = std::hypot((to - from).x(), (to - from).y());
        p.save();
        p.translate(mid);
        p.rotate(std::atan2(d.y(), d.x()) * 180 / Pi);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(5, 45, 10), 2.6));
        p.drawEllipse(QPointF(0, 0), span / 2 + 0.6, 1.9);
        p.setPen(QPen(QColor(40, 210, 70), 1.4));
        p.drawEllipse(QPointF(0, 0), span / 2 + 0.6, 1.9);
        p.setPen(QPen(QColor(170, 255, 170, 180), 0.5));
        p.drawArc(QRectF(-span / 2 - 0.6, -1.9, span + 1.2, 3.8), 30 * 16, 120 * 16);
        p.restore();
    };
    for (int i = 0; i + 1 < rings; ++i)
        link(at[size_t(i)], at[size_t(i + 1)], ringR - 0.5, ringR - 0.5);
    // the two ends rise, two links each, to a small green clasp at the top
    const QPointF clasp(32, 5.5);
    for (const QPointF& end : {at.front(), at.back()}) {
        const QPointF mid = (end + clasp) / 2;
        link(end, mid, ringR - 0.5, -1.0);
        link(mid, clasp, -1.0, 1.6);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(5, 45, 10), 2.6));
    p.drawEllipse(clasp, 2.0, 2.0);
    p.setPen(QPen(QColor(60, 230, 90), 1.4));
    p.drawEllipse(clasp, 2.0, 2.0);

    // a fang hangs from the lowest ring
    {
        const QPointF c = at[size_t(rings / 2)] + QPointF(0, ringR + 0.5);
        QPainterPath fang;
        fang.moveTo(c + QPointF(-2.6, 0));
        fang.quadTo(c + QPointF(-2.2, 5), c + QPointF(0.9, 9));
        fang.quadTo(c + QPointF(2.8, 4.5), c + QPointF(2.6, 0));
        fang.closeSubpath();
        QLinearGradient g(c, c + QPointF(3, 9));
        g.setColorAt(0.0, QColor(255, 255, 245));
        g.setColorAt(1.0, QColor(180, 170, 140));
        p.setPen(QPen(QColor(70, 60, 45), 0.6));
        p.setBrush(g);
        p.drawPath(fang);
    }
    for (const QPointF& c : at) {
        p.setPen(QPen(QColor(60, 55, 45), 3.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, ringR, ringR);
        QRadialGradient bone(c + QPointF(-1.5, -1.8), ringR + 2.5);
        bone.setColorAt(0.0, QColor(255, 255, 252));
        bone.setColorAt(0.6, QColor(240, 236, 222));
        bone.setColorAt(1.0, QColor(165, 155, 135));
        p.setPen(QPen(QBrush(bone), 2.5));
        p.drawEllipse(c, ringR, ringR);
    }
    p.end();
    frame0080FF(img);
    return img;
}

}  // namespace tovik::pictures
