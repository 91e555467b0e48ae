#include "pictures.h"

namespace tovik::pictures {

// -------------------------------------------------------------------- title

// Fills a text outline the way the whole title is lettered: a dark red glow
// behind, a thin dark outline, then yellow shading to red from the top of the
// letters to their baseline, with a faint bright edge along the tops.
void letter(QImage& canvas, const QPainterPath& path, double top, double baseline) {
    const int w = canvas.width(), h = canvas.height();

    QImage glow = blank(w, h);
    {
        QPainter p(&glow);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPathStroker wide;
        wide.setWidth(7);
        wide.setJoinStyle(Qt::RoundJoin);
        p.fillPath(wide.createStroke(path).united(path), QColor(190, 20, 0));
    }
    blur(glow, 3);

    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(0.85);
    p.drawImage(0, 0, glow);
    p.setOpacity(1.0);

    // drop shadow to lift the letters off the glow
    p.fillPath(path.translated(1.5, 2.0), QColor(40, 0, 0));

    QPainterPathStroker outline;
    outline.setWidth(2.6);
    outline.setJoinStyle(Qt::RoundJoin);
    p.fillPath(outline.createStroke(path), QColor(70, 0, 0));

    QLinearGradient fill(0, top, 0, baseline);
    fill.setColorAt(0.00, QColor(255, 255, 170));
    fill.setColorAt(0.18, QColor(255, 236, 40));
    fill.setColorAt(0.50, QColor(255, 160, 0));
    fill.setColorAt(0.80, QColor(235, 50, 0));
    fill.setColorAt(1.00, QColor(170, 0, 0));
    p.fillPath(path, fill);

    // a sheen band across the upper third, clipped to the letters
    p.save();
    p.setClipPath(path);
    QLinearGradient sheen(0, top, 0, top + (baseline - top) * 0.45);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 110));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(path.translated(0, 1.2).intersected(path), sheen);
    p.restore();
}

QImage drawTitle(const QString& fontPath, bool english) {
    const int W = 337, H = 197, Visible = 157;
    QImage canvas = blank(W, H, Qt::black);

    QRawFont font(fontPath, 100);
    if (!font.isValid()) {
        std::fprintf(stderr, "cannot load font %s\n", qPrintable(fontPath));
        return canvas;
    }
    const QString first = english ? QStringLiteral("Tovik") : QString::fromUtf8("Товик");
    const QString last = english ? QStringLiteral("Larminov") : QString::fromUtf8("Ларминов");

    // Heights are measured on the letters without descenders so both lines
    // share one baseline-to-cap rhythm; the "р" of the surname hangs below.
    auto capBox = [&](const QString& text, double size) {
        QRawFont f(fontPath, size);
        return textPath(f, text).boundingRect();
    };

    const double margin = 7.0, gap = 9.0;
    double size2 = 100;
    {
        const QRectF b = capBox(last, size2);
        size2 *= (W - 2 * margin) / b.width();
    }
    double size1 = size2 * 1.32;
    {
        const QRectF b = capBox(first, size1);
        if (b.width() > W - 2 * margin)
            size1 *= (W - 2 * margin) / b.width();
    }
    // fit both lines into the visible rows
    for (int i = 0; i < 40; ++i) {
        const double total = capBox(first, size1).height() + gap + capBox(last, size2).height();
        if (total <= Visible - 2 * 5.0)
            break;
        size1 *= 0.98;
        size2 *= 0.98;
    }

    QRawFont f1(fontPath, size1), f2(fontPath, size2);
    QPainterPath p1 = textPath(f1, first), p2 = textPath(f2, last);
    const QRectF b1 = p1.boundingRect(), b2 = p2.boundingRect();
    const double total = b1.height() + gap + b2.height();
    const double y1 = (Visible - total) / 2.0;
    const double y2 = y1 + b1.height() + gap;
    p1.translate((W - b1.width()) / 2.0, y1);
    p2.translate((W - b2.width()) / 2.0, y2);

    // The surname's baseline lies where its "р" leaves the line: the ink box of
    // the letters without the descender.
    const QRectF noDescender =
        textPath(f2, english ? last : QString::fromUtf8("Ламинов")).boundingRect();
    letter(canvas, p1, y1, y1 + b1.height());
    letter(canvas, p2, y2, y2 + noDescender.height());

    // The strip the window cuts off stays plain black.
    QPainter p(&canvas);
    p.fillRect(QRect(0, Visible, W, H - Visible), Qt::black);
    return canvas;
}

}  // namespace tovik::pictures
