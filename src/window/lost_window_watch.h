#pragma once

#include <QAbstractNativeEventFilter>
#include <QWidget>

#include <functional>

namespace tovik::window {

// Under X11 any program may destroy any window, and Qt goes on running with nothing on screen
// when another destroys ours. This watch sees the window's destruction among the display's
// events and calls `lost`, once, so that the game can end.
class LostWindowWatch final : public QAbstractNativeEventFilter {
  public:
    LostWindowWatch(const QWidget& window, std::function<void()> lost);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    const QWidget& window_;
    std::function<void()> lost_;
};

}  // namespace tovik::window
