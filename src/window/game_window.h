#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "engine/game.h"
#include "form/window_model.h"
#include "window/message_box_exit_question.h"
#include "window/stage_scale.h"

class QTimer;

namespace tovik::window {

class PlayerAccess;

// The one game window, OsnEkran1: a thin view over the game. It builds the 26 controls where
// the layout puts them, hands every click, pointer move and timer tick to the game, and then
// shows the WindowModel as it stands. It decides nothing itself.
class GameWindow final : public QWidget {
    Q_OBJECT

  public:
    // `exitQuestion` may be null: the window then asks with a modal message box. The sounds
    // are looked for in `applicationDirectory`, given as the file system's own bytes.
    GameWindow(sound::AudioOutput& audio, RandomSource& random, ExitQuestion* exitQuestion,
               std::string applicationDirectory, QWidget* parent = nullptr);
    ~GameWindow() override;

    QWidget* control(ControlId id) const;
    QTimer* timer(ControlId id) const;
    const WindowModel& model() const { return model_; }
    const Game& game() const { return *game_; }

    // Places the window in the middle of its screen.
    void centreOnScreen();

    // Calls `painted` once, right after the window's first frame has been painted.
    void reportFirstPaint(std::function<void()> painted) { firstPaint_ = std::move(painted); }

    // One tick of a game timer now, as if it had fired (for replays; the game waits 25 s).
    void tickNow(ControlId timer);
    // Stops the four timers for good, whatever the game asks of them later, so that a
    // screenshot shows the state a replay's own ticks made and nothing the clock added.
    void stopTimers();

    // One click on a control, as the mouse makes it (for the screen reader's press action).
    void clickControl(ControlId id);

    // Full screen: the stage scaled to fit the screen, letterboxed on black; and back.
    void toggleFullScreen();
    void leaveFullScreen();

    PlayerAccess& access() { return *access_; }

  signals:
    void unloaded();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildControls();
    void buildTimers();
    void render();
    void renderLabel(ControlId id);
    void showPicture(ControlId id);
    void afterEvent();
    friend class PlayerAccess;  // keys are events too

    WindowModel model_;
    MessageBoxExitQuestion messageBox_;
    std::unique_ptr<Game> game_;
    std::array<QWidget*, kControlCount> widgets_{};
    std::array<QTimer*, kControlCount> timers_{};
    bool unloadedSignalled_ = false;
    bool timersStopped_ = false;
    bool pressIsDoubleClick_ = false;  // the press being held is a double click's second
    std::function<void()> firstPaint_;
    std::unique_ptr<PlayerAccess> access_;
    StageFit stageFit_;  // the design size until full screen
    QRect normalPlace_;  // where the window was before full screen
};

}  // namespace tovik::window
