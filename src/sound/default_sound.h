#pragma once

#include <cstdint>
#include <vector>

namespace tovik::sound {

// The short, soft two-note blip heard instead of a sound file that cannot be played (a missing
// TovikSound folder, a damaged file): a whole 16-bit mono WAV file, made in code the first time
// it is asked for, so the game never depends on a file for it.
const std::vector<std::uint8_t>& defaultSoundWav();

}  // namespace tovik::sound
