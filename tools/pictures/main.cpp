// Draws the seven pictures of the game window and the window icon into assets/pictures
// (see assets/README.md). Built with -DTOVIK_PICTURE_TOOL=ON; run it with the offscreen
// platform: QT_QPA_PLATFORM=offscreen build/draw-pictures assets/pictures
#include "pictures.h"

using namespace tovik::pictures;

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("assets/pictures");
    const QString titleFont = argc > 2 ? QString::fromLocal8Bit(argv[2]) : findLetteringFont();
    if (titleFont.isEmpty()) {
        std::fprintf(stderr, "%s\n", kNoLetteringFont);
        return 1;
    }

    bool ok = true;
    ok &= writeBmp24(drawTitle(titleFont, false), dir + "/title.bmp");
    ok &= writeBmp24(drawTitle(titleFont, true), dir + "/title_en.bmp");
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
