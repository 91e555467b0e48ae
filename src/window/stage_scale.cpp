#include "window/stage_scale.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cmath>

#include "form/control_layout.h"
#include "look/control_look.h"
#include "look/game_font.h"
#include "look/qt_text.h"
#include "story/language.h"
#include "window/game_window.h"

namespace tovik::window {

namespace {

constexpr int kStageWidth = kClientWidthPixels;
constexpr int kStageHeight = kClientHeightPixels;

int scaled(int twips, double scale) {
    return static_cast<int>(std::lround(twips * scale / kTwipsPerPixel));
}

// Rounded down, so that a text fits its box at any scale as it does at the design size.
QFont scaledFont(int pixels, double scale) {
    return gameFont(std::max(1, static_cast<int>(std::floor(pixels * scale))));
}

}  // namespace

StageFit fitStage(QSize area) {
    StageFit fit;
    fit.scale = std::min(static_cast<double>(area.width()) / kStageWidth,
                         static_cast<double>(area.height()) / kStageHeight);
    if (fit.scale <= 0) {
        fit.scale = 1.0;
    }
    const int width = static_cast<int>(std::lround(kStageWidth * fit.scale));
    const int height = static_cast<int>(std::lround(kStageHeight * fit.scale));
    fit.origin = QPoint((area.width() - width) / 2, (area.height() - height) / 2);
    return fit;
}

void placeControls(GameWindow& window, const StageFit& fit) {
    for (ControlId id : allControls()) {
        QWidget* widget = window.control(id);
        if (widget == nullptr) {
            continue;  // a timer
        }
        const ControlLayout& layout = layoutOf(id);
        const ControlLook& look = lookOf(id);
        const QRect box(fit.origin.x() + scaled(layout.left, fit.scale),
                        fit.origin.y() + scaled(layout.top, fit.scale),
                        scaled(layout.width, fit.scale), scaled(layout.height, fit.scale));
        switch (kindOf(id)) {
            case ControlKind::Label: {
                auto* label = static_cast<QLabel*>(widget);
                label->setFont(scaledFont(look.fontPixels, fit.scale));
                if (look.autoSize) {
                    const QFontMetrics metrics(label->font());
                    label->setGeometry(box.x(), box.y(), metrics.horizontalAdvance(label->text()),
                                       metrics.height());
                } else {
                    label->setGeometry(box);
                }
                break;
            }
            case ControlKind::Button:
                widget->setFont(scaledFont(kButtonFontPixels, fit.scale));
                widget->setGeometry(box);
                break;
            case ControlKind::Picture: {
                // Drawn from the top-left corner and cut by its box, as at the design size.
                const QPixmap picture(":/pictures/" +
                                      toQString(story::localisedPicture(look.picture)));
                static_cast<QLabel*>(widget)->setPixmap(
                    fit.scale == 1.0
                        ? picture
                        : picture.scaled(picture.size() * fit.scale, Qt::KeepAspectRatio,
                                         Qt::SmoothTransformation));
                widget->setGeometry(box);
                break;
            }
            case ControlKind::Timer:
                break;
        }
    }
}

}  // namespace tovik::window
