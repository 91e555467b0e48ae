// Draws the seven pictures of the game window and the window icon.
//
// Not part of the game's build: it is compiled and run by hand whenever a
// picture is to be redrawn (see assets/README.md). Everything is painted
// with QPainter into ARGB images and then written out as plain BMP files by
// our own writer, so the bytes are exactly what the window expects: 24-bit
// BI_RGB, bottom-up, rows padded to four bytes (and an 8-bit paletted BMP for
// the icon).
//
//   g++ -std=c++20 -O2 -fPIC tools/draw_pictures.cpp $(pkg-config --cflags --libs Qt6Gui) -o
//   /tmp/draw_pictures QT_QPA_PLATFORM=offscreen /tmp/draw_pictures assets/pictures

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QRawFont>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;

// ---------------------------------------------------------------- BMP output

void put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(uint8_t(v & 0xFF));
    b.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t((v >> (8 * i)) & 0xFF));
}

void putHeaders(std::vector<uint8_t>& b, int w, int h, int bits, uint32_t paletteBytes,
                uint32_t colours) {
    const uint32_t rowBytes = uint32_t((w * bits / 8 + 3) & ~3);
    const uint32_t pixelBytes = rowBytes * uint32_t(h);
    const uint32_t offset = 14 + 40 + paletteBytes;
    // BITMAPFILEHEADER
    b.push_back('B');
    b.push_back('M');
    put32(b, offset + pixelBytes);
    put16(b, 0);
    put16(b, 0);
    put32(b, offset);
    // BITMAPINFOHEADER; a positive height means the rows run bottom-up
    put32(b, 40);
    put32(b, uint32_t(w));
    put32(b, uint32_t(h));
    put16(b, 1);
    put16(b, uint16_t(bits));
    put32(b, 0);  // BI_RGB
    put32(b, pixelBytes);
    put32(b, 2835);  // 72 dpi
    put32(b, 2835);
    put32(b, colours);
    put32(b, 0);
}

bool writeFile(const QString& path, const std::vector<uint8_t>& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) ==
           qint64(bytes.size());
}

// Every picture is opaque: whatever alpha is left is flattened onto black.
bool writeBmp24(const QImage& src, const QString& path) {
    const QImage img = src.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    std::vector<uint8_t> b;
    putHeaders(b, w, h, 24, 0, 0);
    const int pad = ((w * 3 + 3) & ~3) - w * 3;
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            b.push_back(uint8_t(qBlue(row[x])));
            b.push_back(uint8_t(qGreen(row[x])));
            b.push_back(uint8_t(qRed(row[x])));
        }
        for (int i = 0; i < pad; ++i)
            b.push_back(0);
    }
    return writeFile(path, b);
}

// The icon is a 256-colour BMP. Colours are gathered in 5-bit-per-channel
// cells, the 256 most used cells become the palette, and every pixel takes
// its nearest palette entry.
bool writeBmp8(const QImage& src, const QString& path) {
    const QImage img = src.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    struct Cell {
        long n = 0;
        long r = 0, g = 0, b = 0;
    };
    std::map<int, Cell> cells;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = img.pixel(x, y);
            const int key = ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3);
            Cell& cell = cells[key];
            ++cell.n;
            cell.r += qRed(c);
            cell.g += qGreen(c);
            cell.b += qBlue(c);
        }
    std::vector<Cell> ranked;
    for (const auto& [key, cell] : cells)
        ranked.push_back(cell);
    std::sort(ranked.begin(), ranked.end(), [](const Cell& a, const Cell& b) { return a.n > b.n; });
    std::array<QRgb, 256> palette{};
    palette.fill(qRgb(0, 0, 0));
    const int used = std::min<int>(256, int(ranked.size()));
    for (int i = 0; i < used; ++i) {
        const Cell& c = ranked[size_t(i)];
        palette[size_t(i)] = qRgb(int(c.r / c.n), int(c.g / c.n), int(c.b / c.n));
    }
    auto nearest = [&](QRgb c) {
        int best = 0;
        long bestD = 1L << 40;
        for (int i = 0; i < used; ++i) {
            const QRgb p = palette[size_t(i)];
            const long dr = qRed(p) - qRed(c), dg = qGreen(p) - qGreen(c), db = qBlue(p) - qBlue(c);
            const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (d < bestD) {
                bestD = d;
                best = i;
            }
        }
        return uint8_t(best);
    };
    std::vector<uint8_t> b;
    putHeaders(b, w, h, 8, 256 * 4, 256);
    for (QRgb p : palette) {
        b.push_back(uint8_t(qBlue(p)));
        b.push_back(uint8_t(qGreen(p)));
        b.push_back(uint8_t(qRed(p)));
        b.push_back(0);
    }
    const int pad = ((w + 3) & ~3) - w;
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x)
            b.push_back(nearest(img.pixel(x, y)));
        for (int i = 0; i < pad; ++i)
            b.push_back(0);
    }
    return writeFile(path, b);
}

// ------------------------------------------------------------------ helpers

QImage blank(int w, int h, QColor fill = Qt::transparent) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

// Three box-blur passes come close enough to a Gaussian for glows and soft
// shadows.
void blur(QImage& img, int radius) {
    if (radius < 1)
        return;
    const int w = img.width(), h = img.height();
    std::vector<std::array<int, 4>> line(size_t(std::max(w, h)));
    auto pass = [&](bool horizontal) {
        const int n = horizontal ? w : h, m = horizontal ? h : w;
        for (int j = 0; j < m; ++j) {
            auto at = [&](int i) -> QRgb& {
                return horizontal ? reinterpret_cast<QRgb*>(img.scanLine(j))[i]
                                  : reinterpret_cast<QRgb*>(img.scanLine(i))[j];
            };
            for (int i = 0; i < n; ++i) {
                const QRgb c = at(i);
                line[size_t(i)] = {qRed(c), qGreen(c), qBlue(c), qAlpha(c)};
            }
            for (int i = 0; i < n; ++i) {
                std::array<int, 4> s{0, 0, 0, 0};
                int count = 0;
                for (int k = i - radius; k <= i + radius; ++k) {
                    if (k < 0 || k >= n)
                        continue;
                    for (int q = 0; q < 4; ++q)
                        s[size_t(q)] += line[size_t(k)][size_t(q)];
                    ++count;
                }
                const int span = 2 * radius + 1;  // outside the image counts as empty
                (void)count;
                at(i) = qRgba(s[0] / span, s[1] / span, s[2] / span, s[3] / span);
            }
        }
    };
    for (int i = 0; i < 3; ++i) {
        pass(true);
        pass(false);
    }
}

// A soft mottled texture, so that large painted areas do not look flat.
void mottle(QImage& img, unsigned seed, double strength) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    const int w = img.width(), h = img.height();
    QImage field = blank(w, h, Qt::black);
    // grain at two scales: coarse brush-like blotches and fine grain
    std::vector<double> coarse(size_t(w * h)), fine(size_t(w * h));
    {
        QImage c = blank(w, h, QColor(128, 128, 128));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int v = std::clamp(int(128 + 90 * noise(rng)), 0, 255);
                c.setPixel(x, y, qRgb(v, v, v));
            }
        blur(c, 2);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                coarse[size_t(y * w + x)] = (qRed(c.pixel(x, y)) - 128) / 40.0;
                fine[size_t(y * w + x)] = noise(rng) * 0.35;
            }
    }
    for (int y = 0; y < h; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = row[x];
            const int a = qAlpha(c);
            if (a == 0)
                continue;
            const double f = 1.0 + strength * (coarse[size_t(y * w + x)] + fine[size_t(y * w + x)]);
            auto ch = [&](int v) { return std::clamp(int(v * f), 0, a); };
            row[x] = qRgba(ch(qRed(c)), ch(qGreen(c)), ch(qBlue(c)), a);
        }
    }
}

QString findFont(const QStringList& candidates) {
    for (const QString& path : candidates)
        if (QFileInfo::exists(path))
            return path;
    return {};
}

// The text as an outline, with its ink box's top-left at the origin.
QPainterPath textPath(const QRawFont& font, const QString& text) {
    QPainterPath path;
    const QList<quint32> glyphs = font.glyphIndexesForString(text);
    const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
    QPointF pen(0, 0);
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        path.addPath(font.pathForGlyph(glyphs[i]).translated(pen));
        pen += advances[i];
    }
    path.setFillRule(Qt::WindingFill);
    const QRectF box = path.boundingRect();
    return path.translated(-box.topLeft());
}

void frame0080FF(QImage& img) {
    const QRgb blue = qRgb(0x00, 0x80, 0xFF);
    const int w = img.width(), h = img.height();
    for (int x = 0; x < w; ++x) {
        img.setPixel(x, 0, blue);
        img.setPixel(x, h - 1, blue);
    }
    for (int y = 0; y < h; ++y) {
        img.setPixel(0, y, blue);
        img.setPixel(w - 1, y, blue);
    }
}

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

QImage drawTitle(const QString& fontPath) {
    const int W = 337, H = 197, Visible = 157;
    QImage canvas = blank(W, H, Qt::black);

    QRawFont font(fontPath, 100);
    if (!font.isValid()) {
        std::fprintf(stderr, "cannot load font %s\n", qPrintable(fontPath));
        return canvas;
    }
    const QString first = QString::fromUtf8("Товик");
    const QString last = QString::fromUtf8("Ларминов");

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
    const QRectF noDescender = textPath(f2, QString::fromUtf8("Ламинов")).boundingRect();
    letter(canvas, p1, y1, y1 + b1.height());
    letter(canvas, p2, y2, y2 + noDescender.height());

    // The strip the window cuts off stays plain black.
    QPainter p(&canvas);
    p.fillRect(QRect(0, Visible, W, H - Visible), Qt::black);
    return canvas;
}

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

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("assets/pictures");
    const QString titleFont =
        argc > 2 ? QString::fromLocal8Bit(argv[2])
                 : findFont({"/usr/share/fonts/truetype/paratype/PTF75F.ttf",
                             "/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf",
                             "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"});
    if (titleFont.isEmpty()) {
        std::fprintf(stderr, "no bold serif font with Cyrillic found; install fonts-paratype\n");
        return 1;
    }

    bool ok = true;
    ok &= writeBmp24(drawTitle(titleFont), dir + "/title.bmp");
    ok &= writeBmp24(drawHero(), dir + "/hero.bmp");
    ok &= writeBmp24(drawQuit(), dir + "/quit.bmp");
    ok &= writeBmp24(drawScroll(), dir + "/item_scroll.bmp");
    ok &= writeBmp24(drawFurball(), dir + "/item_furball.bmp");
    ok &= writeBmp24(drawTrident(), dir + "/item_trident.bmp");
    ok &= writeBmp24(drawNecklace(), dir + "/item_necklace.bmp");
    ok &= writeBmp8(drawIcon(titleFont), dir + "/icon.bmp");
    if (!ok) {
        std::fprintf(stderr, "could not write the pictures into %s\n", qPrintable(dir));
        return 1;
    }
    return 0;
}
