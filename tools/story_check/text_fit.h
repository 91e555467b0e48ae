#pragma once

#include <memory>
#include <string_view>

class QGuiApplication;

namespace tovik::tools {

// Text is measured with the game's bundled font, laid out as the window's labels lay it out.
// That needs a Qt GUI application; where none runs yet, this makes one on the offscreen
// platform, whatever platform the environment names, for as long as it lives.
class OffscreenGui {
  public:
    OffscreenGui();
    ~OffscreenGui();
    OffscreenGui(const OffscreenGui&) = delete;
    OffscreenGui& operator=(const OffscreenGui&) = delete;

  private:
    std::unique_ptr<QGuiApplication> app_;
};

struct TextSize {
    int width = 0;
    int height = 0;
};

// The box a word-wrapping label of `boxWidth` pixels fills with `text`; a word longer than the
// box sticks out of it, so `width` may exceed `boxWidth`.
TextSize wrappedSize(std::string_view text, int fontPixels, int boxWidth);

// The width of `text` on one line, as an auto-sizing label takes it.
int lineWidth(std::string_view text, int fontPixels);

}  // namespace tovik::tools
