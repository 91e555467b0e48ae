#pragma once

#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "form/control_layout.h"
#include "look/control_look.h"
#include "look/qt_text.h"
#include "story/choice_table.h"
#include "story/passages.h"
#include "support/recording_audio_output.h"
#include "support/scene_routes.h"
#include "support/scripted_answer.h"
#include "support/scripted_draws.h"
#include "window/game_window.h"

namespace tovik::window::testing {

using tovik::testing::ScriptedAnswer;
using tovik::testing::ScriptedDraws;

inline QString qtext(std::string_view utf8) {
    return toQString(utf8);
}

inline QColor qcolour(Colour rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

// The design box of a control in pixels.
inline QRect designPixels(ControlId id) {
    const PixelRect rect = pixelRectOf(layoutOf(id));
    return {rect.left, rect.top, rect.width, rect.height};
}

// A loaded game window on the screen, with recorded sound, scripted dice and a scripted exit
// answer, so that no message box ever opens.
struct WindowUnderTest {
    WindowUnderTest() : window(audio, draws, &answer, "/opt/tovik") {
        window.move(0, 0);
        window.show();
    }

    QWidget* widget(ControlId id) const { return window.control(id); }
    QLabel* label(ControlId id) const { return qobject_cast<QLabel*>(window.control(id)); }
    bool shown(ControlId id) const { return window.control(id)->isVisibleTo(&window); }
    QString textOf(ControlId id) const { return label(id)->text(); }
    QColor textColourOf(ControlId id) const {
        return label(id)->palette().color(QPalette::WindowText);
    }
    bool showsPassage(int scene) const {
        return textOf(ControlId::Info) == qtext(story::passageOf(scene));
    }
    bool timerRuns(ControlId timer) const { return window.timer(timer)->isActive(); }

    // One tick of a timer through its own timeout signal, as if its interval had passed.
    void fire(ControlId timer) {
        QMetaObject::invokeMethod(window.timer(timer), "timeout", Qt::DirectConnection);
    }

    // Lets the window redraw everything: a life watch tick changes only the two life labels.
    void refresh() { fire(ControlId::HealthTimer); }

    // A real left click in the middle of a control.
    [[nodiscard]] bool click(ControlId id) {
        if (!shown(id)) {
            qWarning("%s is not shown and cannot be clicked", nameOf(id).data());
            return false;
        }
        QTest::mouseClick(window.control(id), Qt::LeftButton);
        return true;
    }

    // Plays the shortest route from the title screen to `scene` with real clicks. The window
    // must show the title screen.
    [[nodiscard]] bool reach(int scene) {
        for (const tovik::testing::RouteStep& step :
             tovik::testing::SceneRoutes::story().to(scene)) {
            if (step.draw) {
                draws.push(*step.draw);
            }
            if (!click(step.control)) {
                return false;
            }
        }
        return true;
    }

    sound::RecordingAudioOutput audio;
    ScriptedDraws draws;
    ScriptedAnswer answer;
    GameWindow window;
};

// One program; each ctest entry runs the test object its first argument names, one a run.
inline std::map<std::string, std::function<std::unique_ptr<QObject>()>>& windowTestObjects() {
    static std::map<std::string, std::function<std::unique_ptr<QObject>()>> objects;
    return objects;
}

#define TOVIK_WINDOW_TEST(group, Class)                                         \
    [[maybe_unused]] static const bool registered##Class = (                    \
        ::tovik::window::testing::windowTestObjects()[group] =                  \
            [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); }, \
        true)

}  // namespace tovik::window::testing
