#pragma once

#include <QPoint>
#include <QSize>

namespace tovik::window {

class GameWindow;

// Where the 1,024 x 768 stage stands inside a window of any size: scaled uniformly to fit and
// centred, with black bars on the two sides that are left over.
struct StageFit {
    double scale = 1.0;
    QPoint origin;
    bool operator==(const StageFit&) const = default;
};

StageFit fitStage(QSize area);

// Puts every control of the window at its design place on the fitted stage: boxes, fonts and
// pictures at the new size, so that text is drawn sharp, pictures are scaled smoothly, and a
// click or a hover lands on the same control at any scale.
void placeControls(GameWindow& window, const StageFit& fit);

}  // namespace tovik::window
