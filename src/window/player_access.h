#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

#include "engine/keyboard.h"
#include "engine/spoken_screen.h"

class QKeyEvent;
class QPainter;
class QWidget;

namespace tovik::window {

class GameWindow;
class Narrator;

// Keyboard play and the screen reader's view of one game window. Keys become the same clicks
// the mouse makes (KeyboardPlay); after every event the keyboard focus follows the screen, the
// controls' accessible names follow their captions, and what changed is said once.
class PlayerAccess final : public QObject {
    Q_OBJECT

  public:
    PlayerAccess(GameWindow& window, Game& game, const WindowModel& model);
    ~PlayerAccess() override;

    // Watches the keys and focus of `widget` (the window and each of its controls).
    void watch(QWidget* widget);

    // After the window has shown the model following any event.
    void afterEvent();

    // The ring around the focused control, drawn on the window around the control's box, so
    // that nothing moves or changes size. Shown only once the keyboard is in use.
    void paintFocusRing(QPainter& painter) const;

    std::optional<ControlId> focus() const { return keys_.focus(); }
    bool showsFocusRing() const { return ringShown_; }
    // The last thing said through the announcer.
    QString lastAnnouncement() const;
    // Reads aloud what the screen reader is told, for a player without one.
    Narrator& narrator() { return *narrator_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool handleKey(const QKeyEvent& key);
    void say(const QString& text);
    void reorderChildren();
    void updateNames();
    void applyFocus();

    GameWindow& window_;
    const WindowModel& model_;
    KeyboardPlay keys_;
    ReaderFeed reader_;
    QWidget* statusLine_ = nullptr;
    QWidget* announcer_ = nullptr;
    QTimer silence_;
    std::unique_ptr<Narrator> narrator_;
    bool ringShown_ = false;
    bool applyingFocus_ = false;
};

}  // namespace tovik::window
