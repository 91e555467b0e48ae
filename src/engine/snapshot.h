#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/game.h"
#include "engine/random_source.h"
#include "form/window_model.h"

namespace tovik {

// A whole game as one short line of printable text, so that a page can keep it across a reload
// and a restored game plays on exactly as the saved one would have: every control of the window
// model that can change, the timers, the window's state, the game's memory (life, the
// opponent, the last roll, the ring, the sound player, the open exit question) and where the
// dice stand.
//
// The text is "tovik1." and then, in base64url without padding, the story's fingerprint, the
// fields and a checksum. Captions are kept as their place in the lists of what each control can
// show, so a snapshot is some sixty characters, and one made with another edition of the story
// is refused rather than read against the wrong texts.

// The snapshot of a loaded game. `window` and `dice` are the ones `game` plays on.
std::string saveSnapshot(const Game& game, const WindowModel& window, const SeededRandom& dice);

// Takes a loaded game back to a snapshot. A snapshot that is empty, damaged, truncated, of
// another version or another edition of the story, or that holds a screen the game could never
// show, is refused with the reason, and then nothing has changed: the snapshot is read and
// checked whole before the game is touched.
std::optional<std::string> restoreSnapshot(std::string_view text, Game& game, WindowModel& window,
                                           SeededRandom& dice);

// A snapshot's text around `fields`, the bytes after the fingerprint, with the checksum made to
// match: the fuzzer reaches the fields' checks through it.
std::string sealSnapshot(std::span<const std::uint8_t> fields);

}  // namespace tovik
