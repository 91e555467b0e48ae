#pragma once

#include <QAbstractNativeEventFilter>
#include <QWidget>

#include <functional>

namespace tovik::window {

// Under X11 any program may destroy or unmap any window, and Qt goes on running with nothing
// on screen when another does it to ours. This watch sees the window's destruction among the
// display's events and calls `lost`, once, so that the game can end. With `unmappedToo` a
// window hidden or minimized from outside is lost as well: a question the player can no
// longer see cannot be answered.
class LostWindowWatch final : public QAbstractNativeEventFilter {
  public:
    LostWindowWatch(const QWidget& window, std::function<void()> lost, bool unmappedToo = false);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    const QWidget& window_;
    std::function<void()> lost_;
    bool unmappedToo_;
};

}  // namespace tovik::window
