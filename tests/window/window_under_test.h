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

    // After driving the game directly, let the window show it: a tick of the life watch only
    // rewrites the two life labels, and the window redraws everything after it.
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

    // Clicks the shown choice label that carries this key's caption.
    [[nodiscard]] bool choose(story::Key key) {
        const QString caption = qtext(story::captionOf(key));
        for (ControlId id : kChoiceLabels) {
            if (shown(id) && textOf(id) == caption) {
                return click(id);
            }
        }
        qWarning("no shown choice carries key K%03d", story::numberOf(key));
        return false;
    }

    // Clicks Attack until the fight is over; false if it is not over after `most` blows.
    [[nodiscard]] bool fightOut(int most) {
        for (int blow = 0; blow < most && shown(ControlId::Attack); ++blow) {
            QTest::mouseClick(window.control(ControlId::Attack), Qt::LeftButton);
        }
        return !shown(ControlId::Attack);
    }

    sound::RecordingAudioOutput audio;
    ScriptedDraws draws;
    ScriptedAnswer answer;
    GameWindow window;
};

// The window tests are one program; each ctest entry runs one test object, named by its first
// argument, as Qt Test expects one object a run.
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
