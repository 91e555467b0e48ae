#include "pictures.h"

namespace tovik::pictures {

// --------------------------------------------------------------------- hero

QPainterPath poly(std::initializer_list<QPointF> pts, bool smooth = true) {
    std::vector<QPointF> v(pts);
    QPainterPath path;
    if (v.empty())
        return path;
    if (!smooth) {
        path.moveTo(v[0]);
        for (size_t i = 1; i < v.size(); ++i)
            path.lineTo(v[i]);
        path.closeSubpath();
        return path;
    }
    // closed Catmull-Rom spline through the points
    const size_t n = v.size();
    path.moveTo(v[0]);
    for (size_t i = 0; i < n; ++i) {
        const QPointF p0 = v[(i + n - 1) % n], p1 = v[i], p2 = v[(i + 1) % n], p3 = v[(i + 2) % n];
        path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    path.closeSubpath();
    return path;
}

void softStroke(QPainter& p, const QPainterPath& path, QColor c, double width) {
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.restore();
}

void flame(QPainter& p, QPointF base, double scale) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    // halo
    QRadialGradient halo(base + QPointF(0, -10 * scale), 34 * scale);
    halo.setColorAt(0.0, QColor(255, 170, 60, 150));
    halo.setColorAt(0.4, QColor(200, 80, 10, 60));
    halo.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setBrush(halo);
    p.drawEllipse(base + QPointF(0, -10 * scale), 34 * scale, 34 * scale);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    auto tongue = [&](double dx, double height, double width, double lean, QColor outer,
                      QColor inner) {
        QPainterPath t;
        const QPointF b = base + QPointF(dx * scale, 0);
        const QPointF tip = b + QPointF(lean * scale, -height * scale);
        t.moveTo(b + QPointF(-width * scale, 0));
        t.cubicTo(b + QPointF(-width * 1.3 * scale, -height * 0.45 * scale),
                  tip + QPointF(-width * 0.6 * scale, height * 0.35 * scale), tip);
        t.cubicTo(tip + QPointF(width * 0.5 * scale, height * 0.4 * scale),
                  b + QPointF(width * 1.3 * scale, -height * 0.4 * scale),
                  b + QPointF(width * scale, 0));
        t.cubicTo(b + QPointF(width * 0.6 * scale, 4 * scale),
                  b + QPointF(-width * 0.6 * scale, 4 * scale), b + QPointF(-width * scale, 0));
        QLinearGradient g(b, tip);
        g.setColorAt(0.0, inner);
        g.setColorAt(1.0, outer);
        p.setBrush(g);
        p.drawPath(t);
    };
    tongue(-3, 17, 5, -6, QColor(200, 30, 0, 0), QColor(230, 70, 0, 220));
    tongue(3, 15, 5, 5, QColor(200, 30, 0, 0), QColor(230, 80, 0, 220));
    tongue(0, 25, 7, -2, QColor(220, 40, 0, 30), QColor(255, 120, 10, 255));
    tongue(0, 18, 5, 1, QColor(255, 140, 20, 60), QColor(255, 210, 70, 255));
    tongue(0, 10, 3, 0, QColor(255, 230, 140, 120), QColor(255, 255, 230, 255));
    p.restore();
}

QImage drawHero() {
    const int W = 197, H = 247;
    const QPointF torch(40, 62);  // where the flame sits on the torch head

    // ---- background: darkness, a warm pool of light, a faint floor
    QImage bg = blank(W, H, Qt::black);
    {
        QPainter p(&bg);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        QRadialGradient light(torch, 150);
        light.setColorAt(0.0, QColor(120, 60, 20));
        light.setColorAt(0.25, QColor(55, 25, 8));
        light.setColorAt(0.6, QColor(14, 6, 3));
        light.setColorAt(1.0, QColor(0, 0, 0));
        p.setBrush(light);
        p.drawRect(0, 0, W, H);
        // floor: a lit ellipse of flagstones under the figure
        QRadialGradient floor(QPointF(100, 240), 90);
        floor.setColorAt(0.0, QColor(60, 35, 20, 200));
        floor.setColorAt(0.6, QColor(25, 14, 8, 120));
        floor.setColorAt(1.0, QColor(0, 0, 0, 0));
        p.setBrush(floor);
        p.drawEllipse(QPointF(100, 242), 95, 18);
    }
    mottle(bg, 11, 0.15);
    // The portrait sits on the black window: the light dies away before the
    // picture's edges so no box shows round it.
    for (int y = 0; y < H; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(bg.scanLine(y));
        for (int x = 0; x < W; ++x) {
            const double edge = std::min({x, y, W - 1 - x, H - 1 - y}) / 26.0;
            const double k = edge >= 1 ? 1 : edge * edge * (3 - 2 * edge);
            const QRgb c = row[x];
            row[x] = qRgb(int(qRed(c) * k), int(qGreen(c) * k), int(qBlue(c) * k));
        }
    }

    // ---- the figure, painted on its own layer so the light can be laid over it
    QImage fig = blank(W, H);
    QPainter p(&fig);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    const QColor robeLit(66, 40, 74), robeMid(34, 22, 44), robeDark(9, 6, 13);

    // staff: a long bone staff held on the hero's left, behind the sleeve
    {
        const QPointF top(163, 34), bottom(170, 244);
        QPainterPath shaft;
        shaft.moveTo(top + QPointF(-3, 0));
        shaft.lineTo(top + QPointF(3, 0));
        shaft.lineTo(bottom + QPointF(3, 0));
        shaft.lineTo(bottom + QPointF(-3, 0));
        shaft.closeSubpath();
        QLinearGradient g(QPointF(160, 0), QPointF(173, 0));
        g.setColorAt(0.0, QColor(240, 225, 190));
        g.setColorAt(0.5, QColor(190, 170, 135));
        g.setColorAt(1.0, QColor(80, 66, 50));
        p.setBrush(g);
        p.drawPath(shaft);
        // knuckles of bone along the shaft
        for (int i = 0; i < 7; ++i) {
            const double t = 0.12 + i * 0.13;
            const QPointF c = top + (bottom - top) * t;
            QRadialGradient k(c + QPointF(-1.5, -1), 6);
            k.setColorAt(0.0, QColor(245, 235, 205));
            k.setColorAt(0.7, QColor(170, 150, 115));
            k.setColorAt(1.0, QColor(90, 75, 55));
            p.setBrush(k);
            p.drawEllipse(c, 5.2, 3.2);
        }
        // a small skull crowns it
        const QPointF s(162, 24);
        QRadialGradient skull(s + QPointF(-4, -4), 15);
        skull.setColorAt(0.0, QColor(250, 244, 222));
        skull.setColorAt(0.6, QColor(200, 185, 150));
        skull.setColorAt(1.0, QColor(90, 75, 55));
        p.setBrush(skull);
        p.drawPath(poly({s + QPointF(-10, -2), s + QPointF(-8, -10), s + QPointF(0, -13),
                         s + QPointF(8, -10), s + QPointF(10, -2), s + QPointF(7, 6),
                         s + QPointF(5, 11), s + QPointF(-5, 11), s + QPointF(-7, 6)}));
        p.setBrush(QColor(25, 10, 10));
        p.drawEllipse(s + QPointF(-4, -1), 3.0, 3.4);
        p.drawEllipse(s + QPointF(4, -1), 3.0, 3.4);
        p.drawPath(poly({s + QPointF(0, 3), s + QPointF(1.6, 6), s + QPointF(-1.6, 6)}, false));
        // sockets glow the green of the hero's craft
        p.setBrush(QColor(120, 255, 140, 200));
        p.drawEllipse(s + QPointF(-4, -1), 1.0, 1.0);
        p.drawEllipse(s + QPointF(4, -1), 1.0, 1.0);
        p.setPen(QPen(QColor(60, 45, 35), 0.8));
        for (int i = -4; i <= 4; i += 2)
            p.drawLine(s + QPointF(i, 9), s + QPointF(i, 11.5));
        p.setPen(Qt::NoPen);
    }

    // robe body
    const QPainterPath robe = poly({{80, 92},
                                    {104, 86},
                                    {128, 92},
                                    {142, 108},
                                    {148, 150},
                                    {156, 200},
                                    {166, 240},
                                    {140, 244},
                                    {118, 239},
                                    {100, 245},
                                    {78, 240},
                                    {56, 244},
                                    {42, 240},
                                    {54, 196},
                                    {62, 148},
                                    {68, 108}});
    {
        QLinearGradient g(QPointF(45, 0), QPointF(165, 0));
        g.setColorAt(0.0, robeLit);
        g.setColorAt(0.45, robeMid);
        g.setColorAt(1.0, robeDark);
        p.setBrush(g);
        p.drawPath(robe);
        p.save();
        p.setClipPath(robe);
        // deep folds fall from the waist
        const double folds[][4] = {{80, 158, 64, 242},   {99, 162, 97, 245}, {118, 160, 126, 241},
                                   {136, 156, 153, 240}, {88, 110, 84, 146}, {120, 112, 126, 146}};
        for (const auto& f : folds) {
            QPainterPath fold;
            fold.moveTo(f[0], f[1]);
            fold.cubicTo(f[0] - 2, (f[1] + f[3]) / 2, f[2] + 3, (f[1] + f[3]) / 2 + 20, f[2], f[3]);
            // a soft brush: wide and faint, then narrower and darker
            softStroke(p, fold, QColor(5, 2, 10, 40), 10);
            softStroke(p, fold, QColor(5, 2, 10, 60), 6);
            softStroke(p, fold, QColor(5, 2, 10, 80), 2.5);
            softStroke(p, fold.translated(-4, 0), QColor(150, 105, 150, 18), 5);
            softStroke(p, fold.translated(-4, 0), QColor(160, 115, 160, 30), 2);
        }
        // waist shadow and belt: a dark red sash
        QPainterPath sash;
        sash.moveTo(60, 146);
        sash.cubicTo(90, 154, 120, 154, 152, 144);
        sash.lineTo(153, 153);
        sash.cubicTo(120, 162, 90, 162, 59, 155);
        sash.closeSubpath();
        QLinearGradient sg(QPointF(60, 0), QPointF(153, 0));
        sg.setColorAt(0.0, QColor(170, 40, 20));
        sg.setColorAt(0.5, QColor(110, 15, 15));
        sg.setColorAt(1.0, QColor(40, 5, 8));
        p.setBrush(sg);
        p.drawPath(sash);
        p.restore();
        // sash ends hang down
        QPainterPath tail;
        tail.moveTo(104, 156);
        tail.cubicTo(100, 175, 98, 190, 96, 200);
        tail.lineTo(104, 198);
        tail.cubicTo(106, 188, 108, 172, 110, 157);
        tail.closeSubpath();
        p.setBrush(QColor(110, 18, 16));
        p.drawPath(tail);
    }

    // the hood and its cape over the shoulders
    const QPainterPath hood = poly({{104, 14},
                                    {122, 26},
                                    {132, 50},
                                    {136, 78},
                                    {146, 100},
                                    {128, 108},
                                    {104, 102},
                                    {80, 108},
                                    {64, 100},
                                    {74, 78},
                                    {78, 48},
                                    {88, 24}});
    {
        QRadialGradient g(QPointF(82, 46), 70);
        g.setColorAt(0.0, QColor(84, 52, 90));
        g.setColorAt(0.45, robeMid);
        g.setColorAt(1.0, robeDark);
        p.setBrush(g);
        p.drawPath(hood);
        p.save();
        p.setClipPath(hood);
        QPainterPath seam;
        seam.moveTo(104, 15);
        seam.cubicTo(98, 30, 93, 40, 92, 48);
        softStroke(p, seam, QColor(10, 5, 15, 140), 3);
        p.restore();
    }
    // opening of the hood: deep shadow
    const QPainterPath opening =
        poly({{104, 36}, {117, 46}, {121, 66}, {118, 88}, {104, 97}, {90, 88}, {87, 66}, {91, 46}});
    {
        QRadialGradient g(QPointF(104, 70), 32);
        g.setColorAt(0.0, QColor(20, 12, 18));
        g.setColorAt(1.0, QColor(4, 2, 6));
        p.setBrush(g);
        p.drawPath(opening);
        softStroke(p, opening, QColor(130, 90, 130, 90), 1.4);
    }
    // the pale young face, half in the hood's shadow
    {
        const QPainterPath face = poly(
            {{104, 52}, {113, 58}, {115, 70}, {112, 82}, {104, 91}, {96, 82}, {93, 70}, {95, 58}});
        QRadialGradient g(QPointF(97, 70), 24);
        g.setColorAt(0.0, QColor(255, 236, 215));
        g.setColorAt(0.55, QColor(222, 196, 182));
        g.setColorAt(1.0, QColor(95, 80, 90));
        p.setBrush(g);
        p.drawPath(face);
        p.save();
        p.setClipPath(face);
        // hood shadow over the brow
        QLinearGradient brow(QPointF(0, 50), QPointF(0, 66));
        brow.setColorAt(0.0, QColor(10, 5, 12, 235));
        brow.setColorAt(1.0, QColor(10, 5, 12, 0));
        p.setBrush(brow);
        p.drawRect(80, 45, 50, 25);
        // far cheek in shadow
        QLinearGradient side(QPointF(104, 0), QPointF(116, 0));
        side.setColorAt(0.0, QColor(20, 10, 25, 0));
        side.setColorAt(1.0, QColor(20, 10, 25, 170));
        p.setBrush(side);
        p.drawRect(100, 45, 20, 50);
        p.restore();
        // eyes: dark, with a faint green glint
        p.setBrush(QColor(30, 15, 25));
        p.drawEllipse(QPointF(99.5, 68), 2.6, 1.4);
        p.drawEllipse(QPointF(109, 68), 2.4, 1.3);
        p.setBrush(QColor(140, 255, 160));
        p.drawEllipse(QPointF(99.8, 67.8), 0.9, 0.9);
        p.setBrush(QColor(110, 220, 130, 200));
        p.drawEllipse(QPointF(109.2, 67.8), 0.8, 0.8);
        // nose and mouth, just hinted
        QPainterPath nose;
        nose.moveTo(104, 70);
        nose.lineTo(102.5, 77);
        nose.lineTo(105, 78);
        softStroke(p, nose, QColor(120, 90, 90, 160), 0.9);
        QPainterPath mouth;
        mouth.moveTo(100.5, 83);
        mouth.quadTo(104, 84.5, 107.5, 82.6);
        softStroke(p, mouth, QColor(110, 60, 65, 200), 1.1);
    }

    // hero's left arm: down to the staff, the hand closed round it
    {
        const QPainterPath sleeve = poly({{130, 100},
                                          {146, 106},
                                          {156, 128},
                                          {163, 150},
                                          {158, 158},
                                          {146, 154},
                                          {138, 134},
                                          {128, 116}});
        QLinearGradient g(QPointF(128, 0), QPointF(165, 0));
        g.setColorAt(0.0, robeMid);
        g.setColorAt(1.0, robeDark);
        p.setBrush(g);
        p.drawPath(sleeve);
        QRadialGradient hand(QPointF(164, 154), 8);
        hand.setColorAt(0.0, QColor(220, 200, 185));
        hand.setColorAt(1.0, QColor(110, 90, 95));
        p.setBrush(hand);
        p.drawPath(poly({{158, 150}, {166, 148}, {172, 152}, {171, 160}, {163, 162}, {157, 158}}));
        p.setPen(QPen(QColor(70, 50, 55), 0.8));
        p.drawLine(QPointF(160, 153.5), QPointF(171, 153));
        p.drawLine(QPointF(160, 157), QPointF(171, 156.5));
        p.setPen(Qt::NoPen);
    }

    // hero's right arm: raised, holding the torch out into the dark
    {
        const QPainterPath sleeve = poly(
            {{74, 100}, {80, 118}, {72, 134}, {56, 128}, {44, 110}, {38, 96}, {48, 88}, {58, 94}});
        QLinearGradient g(QPointF(38, 90), QPointF(80, 130));
        g.setColorAt(0.0, QColor(150, 100, 120));
        g.setColorAt(0.5, robeLit);
        g.setColorAt(1.0, robeMid);
        p.setBrush(g);
        p.drawPath(sleeve);
        // cuff
        p.setBrush(QColor(120, 30, 22));
        p.drawPath(poly({{37, 95}, {48, 87}, {51, 91}, {40, 99}}, false));
        // torch: a wrapped wooden haft
        QPainterPath haft;
        haft.moveTo(torch + QPointF(-2.5, 4));
        haft.lineTo(torch + QPointF(3.5, 4));
        haft.lineTo(QPointF(47, 108));
        haft.lineTo(QPointF(42, 109));
        haft.closeSubpath();
        QLinearGradient hg(QPointF(36, 0), QPointF(48, 0));
        hg.setColorAt(0.0, QColor(150, 95, 50));
        hg.setColorAt(1.0, QColor(60, 34, 18));
        p.setBrush(hg);
        p.drawPath(haft);
        // pitch-soaked rag at the head
        QRadialGradient rag(torch + QPointF(0, 6), 7);
        rag.setColorAt(0.0, QColor(120, 60, 20));
        rag.setColorAt(1.0, QColor(35, 18, 8));
        p.setBrush(rag);
        p.drawPath(poly({torch + QPointF(-5, 2), torch + QPointF(5, 2), torch + QPointF(6, 9),
                         torch + QPointF(1, 12), torch + QPointF(-4, 10)}));
        // the hand round the haft
        QRadialGradient hand(QPointF(41, 86), 8);
        hand.setColorAt(0.0, QColor(255, 230, 200));
        hand.setColorAt(1.0, QColor(170, 120, 100));
        p.setBrush(hand);
        p.drawPath(poly({{36, 82}, {44, 80}, {48, 85}, {47, 92}, {40, 93}, {35, 89}}));
        p.setPen(QPen(QColor(120, 80, 70), 0.8));
        p.drawLine(QPointF(37, 85), QPointF(47, 84.5));
        p.drawLine(QPointF(37, 88.5), QPointF(47, 88));
        p.setPen(Qt::NoPen);
    }
    p.end();

    // ---- light: warm from the torch, darkness from the far side
    mottle(fig, 7, 0.08);
    {
        QPainter l(&fig);
        l.setRenderHint(QPainter::Antialiasing);
        l.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        QRadialGradient warm(torch, 130);
        QLinearGradient far(QPointF(60, 0), QPointF(185, 0));
        far.setColorAt(0.0, QColor(0, 0, 0, 0));
        far.setColorAt(1.0, QColor(0, 0, 0, 165));
        l.fillRect(fig.rect(), far);
        warm.setColorAt(0.0, QColor(255, 150, 60, 150));
        warm.setColorAt(0.4, QColor(230, 110, 40, 70));
        warm.setColorAt(1.0, QColor(0, 0, 0, 0));
        l.fillRect(fig.rect(), warm);
        QLinearGradient dark(QPointF(0, 120), QPointF(0, 247));
        dark.setColorAt(0.0, QColor(0, 0, 0, 0));
        dark.setColorAt(1.0, QColor(0, 0, 0, 150));
        l.fillRect(fig.rect(), dark);
    }
    // rim light on the edges that face the flame
    {
        QImage rim = blank(W, H);
        QPainter r(&rim);
        r.drawImage(0, 0, fig);
        r.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        r.drawImage(QPointF(1.6, 0.8), fig);
        r.setCompositionMode(QPainter::CompositionMode_SourceIn);
        QRadialGradient warm(torch, 140);
        warm.setColorAt(0.0, QColor(255, 200, 120, 230));
        warm.setColorAt(1.0, QColor(255, 120, 40, 0));
        r.fillRect(rim.rect(), warm);
        r.end();
        // what is left is a thin band along the edges that face the torch
        QPainter f(&fig);
        f.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        f.drawImage(0, 0, rim);
    }

    // ---- put it together: background, soft shadow, figure, flame
    QImage out = bg.copy();
    QPainter o(&out);
    o.setRenderHint(QPainter::Antialiasing);
    {
        QImage shadow = blank(W, H);
        QPainter s(&shadow);
        s.drawImage(0, 0, fig);
        s.setCompositionMode(QPainter::CompositionMode_SourceIn);
        s.fillRect(shadow.rect(), QColor(0, 0, 0, 200));
        s.end();
        blur(shadow, 4);
        o.drawImage(QPointF(7, 4), shadow);
    }
    o.drawImage(0, 0, fig);
    flame(o, torch, 1.3);
    // embers drifting up from the flame
    {
        std::mt19937 rng(5);
        std::uniform_real_distribution<double> u(0, 1);
        o.setPen(Qt::NoPen);
        for (int i = 0; i < 6; ++i) {
            const QPointF e = torch + QPointF(-10 + 20 * u(rng), -36 - 26 * u(rng));
            const double rad = 0.35 + 0.45 * u(rng);
            QRadialGradient g(e, rad * 2.5);
            g.setColorAt(0.0, QColor(255, 200, 90, 230));
            g.setColorAt(1.0, QColor(255, 80, 0, 0));
            o.setBrush(g);
            o.drawEllipse(e, rad * 2.5, rad * 2.5);
        }
    }
    o.end();
    return out;
}

}  // namespace tovik::pictures
