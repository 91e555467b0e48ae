#pragma once

// The painter's kit shared by the pictures of the game window, and one function a picture.
// Every picture is painted with QPainter into an ARGB image and written as a plain BMP by
// our own writer, so the bytes are exactly what the window expects.

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

namespace tovik::pictures {

constexpr double Pi = 3.14159265358979323846;

// bmp_file.cpp: 24-bit BI_RGB, bottom-up, rows padded to four bytes; the icon is 8-bit.
bool writeBmp24(const QImage& src, const QString& path);
bool writeBmp8(const QImage& src, const QString& path);

// paint_tools.cpp
QImage blank(int w, int h, QColor fill = Qt::transparent);
void blur(QImage& img, int radius);
void mottle(QImage& img, unsigned seed, double strength);
QString findFont(const QStringList& candidates);
// The bold serif with Cyrillic that letters the title and the icons, or empty when there is
// none; kNoLetteringFont says what to install then.
QString findLetteringFont();
inline constexpr const char* kNoLetteringFont =
    "no bold serif font with Cyrillic found; install fonts-paratype or fonts-liberation2";
QPainterPath textPath(const QRawFont& font, const QString& text);
void frame0080FF(QImage& img);

// One file a picture.
QImage drawTitle(const QString& fontPath, bool english);  // "Tovik Larminov" in Latin letters
QImage drawHero();
QImage drawQuit();
QImage drawScroll();
QImage drawFurball();
QImage drawTrident();
QImage drawNecklace();
QImage drawIcon(const QString& fontPath);
// menu_icons.cpp: the desktop's menu icon at `size` pixels, with rounded, transparent corners.
QImage drawMenuIcon(const QRawFont& font, int size);

}  // namespace tovik::pictures
