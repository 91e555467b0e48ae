#pragma once

#include <array>
#include <string_view>

namespace tovik::story {

// The text of every choice caption, indexed by its key number (K001 is index 1; index 0 is
// unused). A caption is both what the player reads and the key the click handlers compare,
// so one key always has exactly this text, code unit for code unit.
extern const std::array<std::string_view, 126> kCaptionTexts;

}  // namespace tovik::story
