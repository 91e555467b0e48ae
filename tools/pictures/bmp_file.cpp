#include "pictures.h"

namespace tovik::pictures {

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

}  // namespace tovik::pictures
