// Draws the game's menu icon at every size a desktop's hicolor theme asks for, and the web
// page's, as PNG files named tovik-<size>.png (see packaging/README.md). Built with
// -DTOVIK_PICTURE_TOOL=ON:
//   QT_QPA_PLATFORM=offscreen build/draw-menu-icons packaging/icons
#include "pictures.h"

using namespace tovik::pictures;

namespace {

// The sizes of the hicolor theme's application icons that menus and launchers use, and the two
// a browser asks of a web page that installs as an app.
constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 192, 256, 512};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("packaging/icons");
    const QString fontPath = argc > 2 ? QString::fromLocal8Bit(argv[2]) : findLetteringFont();
    if (fontPath.isEmpty()) {
        std::fprintf(stderr, "%s\n", kNoLetteringFont);
        return 1;
    }
    const QRawFont font(fontPath, 200);
    if (!font.isValid()) {
        std::fprintf(stderr, "cannot read the font %s\n", qPrintable(fontPath));
        return 1;
    }
    for (const int size : kSizes) {
        const QString file = QStringLiteral("%1/tovik-%2.png").arg(folder).arg(size);
        if (!drawMenuIcon(font, size).save(file, "PNG")) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
