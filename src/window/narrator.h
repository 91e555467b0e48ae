#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "window/speech_voice.h"

class QCheckBox;
class QLabel;
class QWidget;

namespace tovik::window {

// The window's narrator: it reads aloud what the screen reader is told, for a player who has no
// screen reader. Its switch, «Читать вслух», stands in the window's bottom right corner, clear of
// every control, from just after the first frame, and is remembered from one game to the next. The
// voice comes from the speech module, loaded the first time the narrator is on, so that the game's
// start and its memory are the same whether the narrator is used or not.
class Narrator final : public QObject {
    Q_OBJECT

  public:
    // `tell` says a notice through the window's screen reader announcer.
    Narrator(QWidget& window, std::function<void(const QString&)> tell);
    ~Narrator() override;

    // Once the first frame is up: the switch, shown only now so that the first frame costs
    // what it did without it, as the player left it last time.
    void restore();
    // The narrator's key, or a click on its switch.
    void toggle();
    bool isOn() const { return on_; }

    // A line for the listener, as the reader feed gives it.
    void read(const std::string& line);
    // A key was pressed: what is being read stops, as a reader's speech does.
    void interrupt();

    // Keeps the switch in the window's bottom right corner, whatever the window's size.
    void place();

    QCheckBox* toggleSwitch() const { return switch_; }
    // What the notice beside the switch says now; empty when it is hidden.
    QString notice() const;

  private:
    void showSwitch();
    void switchTo(bool on, bool remember);
    void loadVoice();
    void showNotice(const QString& text);

    QWidget& window_;
    std::function<void(const QString&)> tell_;
    QCheckBox* switch_ = nullptr;
    QLabel* notice_ = nullptr;
    bool on_ = false;
    bool loaded_ = false;  // the module has been asked for a voice, whatever came of it
    std::unique_ptr<SpeechVoice> voice_;
    QString loadFailure_;
};

}  // namespace tovik::window
