#include "pictures.h"

namespace tovik::pictures {

// --------------------------------------------------------------------- icon

QImage drawIcon(const QString& fontPath) {
    const int S = 32;
    QImage img = blank(S, S, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRawFont font(fontPath, 40);
    QPainterPath t = textPath(font, QString::fromUtf8("Т"));
    const QRectF b = t.boundingRect();
    const double k = 26.0 / std::max(b.width(), b.height());
    QTransform tr;
    tr.translate((S - b.width() * k) / 2, (S - b.height() * k) / 2);
    tr.scale(k, k);
    t = tr.map(t);
    QPainterPathStroker st;
    st.setWidth(2.4);
    st.setJoinStyle(Qt::RoundJoin);
    p.fillPath(st.createStroke(t), QColor(150, 10, 0));
    QLinearGradient g(0, 3, 0, 29);
    g.setColorAt(0.0, QColor(255, 250, 130));
    g.setColorAt(0.45, QColor(255, 170, 0));
    g.setColorAt(1.0, QColor(200, 20, 0));
    p.fillPath(t, g);
    return img;
}

}  // namespace tovik::pictures
