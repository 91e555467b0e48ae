#pragma once

#include <QFont>
#include <QString>

namespace tovik {

// The game's own font, bundled with the program so that every machine lays the text out the
// same way: Liberation Sans, which has full Cyrillic and is metric-compatible with the sans
// serif the layout was designed for. Loaded once; sizes are in pixels.
QString gameFontFamily();
QFont gameFont(int pixelSize);

}  // namespace tovik
