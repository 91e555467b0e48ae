#include "pictures.h"

namespace tovik::pictures {

// ------------------------------------------------------------------ helpers

QImage blank(int w, int h, QColor fill) {
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

QString findLetteringFont() {
    return findFont({"/usr/share/fonts/truetype/paratype/PTF75F.ttf",
                     "/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf",
                     "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"});
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

}  // namespace tovik::pictures
