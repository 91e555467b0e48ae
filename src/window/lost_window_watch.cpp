#include "window/lost_window_watch.h"

#include <cstdint>
#include <utility>

namespace tovik::window {

namespace {

// The X11 protocol's DestroyNotify event as XCB delivers it; declared here so that the game
// needs no X headers for one event.
struct DestroyNotify {
    std::uint8_t responseType;
    std::uint8_t pad;
    std::uint16_t sequence;
    std::uint32_t event;
    std::uint32_t window;
};

constexpr std::uint8_t kDestroyNotify = 17;
constexpr std::uint8_t kSentByAnotherClient = 0x80;

}  // namespace

LostWindowWatch::LostWindowWatch(const QWidget& window, std::function<void()> lost)
    : window_(window), lost_(std::move(lost)) {}

bool LostWindowWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !lost_) {
        return false;
    }
    const auto* event = static_cast<const DestroyNotify*>(message);
    const WId ours = window_.internalWinId();  // 0 while the window has no native window
    if ((event->responseType & ~kSentByAnotherClient) == kDestroyNotify && ours != 0 &&
        event->window == ours) {
        std::exchange(lost_, nullptr)();
    }
    return false;
}

}  // namespace tovik::window
