#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "sound/audio_output.h"

namespace tovik::sound {

// The game's one sound player, held by the window as `Sound`. Every caller sets Filename, sets
// Flags to 1 and calls Play, in that order.
class WavePlayer {
  public:
    explicit WavePlayer(AudioOutput& output);

    std::string Filename;    // UTF-8 text of the full path, as the game writes it
    std::int32_t Flags = 0;  // kept exactly as written; the game always writes 1
    void Play();  // hands Filename, as a path in the platform's own encoding, to the output

  private:
    AudioOutput& output_;
};

// The path named by UTF-8 text, in the platform's own encoding: on Linux the same bytes, on
// Windows UTF-16, so a folder named in Cyrillic or any other script survives.
std::filesystem::path pathFromUtf8(std::string_view utf8);

}  // namespace tovik::sound
