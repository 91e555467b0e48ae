#include "window/lost_window_watch.h"

#include <cstdint>
#include <utility>

namespace tovik::window {

namespace {

// The X11 protocol's DestroyNotify and UnmapNotify events as XCB delivers them, alike in what
// is read here; declared here so that the game needs no X headers for two events.
struct WindowNotify {
    std::uint8_t responseType;
    std::uint8_t pad;
    std::uint16_t sequence;
    std::uint32_t event;
    std::uint32_t window;
};

constexpr std::uint8_t kDestroyNotify = 17;
constexpr std::uint8_t kUnmapNotify = 18;
constexpr std::uint8_t kSentByAnotherClient = 0x80;

}  // namespace

LostWindowWatch::LostWindowWatch(const QWidget& window, std::function<void()> lost,
                                 bool unmappedToo)
    : window_(window), lost_(std::move(lost)), unmappedToo_(unmappedToo) {}

bool LostWindowWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !lost_) {
        return false;
    }
    const auto* event = static_cast<const WindowNotify*>(message);
    const WId ours = window_.internalWinId();  // 0 while the window has no native window
    if (ours == 0 || event->window != ours) {
        return false;
    }
    const auto type = static_cast<std::uint8_t>(event->responseType & ~kSentByAnotherClient);
    // Qt unmaps the window itself only once it no longer counts it visible.
    if (type == kDestroyNotify || (unmappedToo_ && type == kUnmapNotify && window_.isVisible())) {
        std::exchange(lost_, nullptr)();
    }
    return false;
}

}  // namespace tovik::window
