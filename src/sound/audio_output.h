#pragma once

#include <chrono>
#include <filesystem>

namespace tovik::sound {

// A sound asked for this long ago is no longer the one the player expects to hear: every output
// drops it rather than play it late, after a device that took long to open or a slow fetch.
inline constexpr std::chrono::milliseconds kStaleAfter{1500};

// Where WavePlayer sends a sound; the game uses SDL, tests plug in a recorder.
class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    // Starts playing the WAV file at `file` once and returns at once, cutting off whatever
    // plays. A file that cannot be played gives the built-in default sound instead.
    virtual void playFile(const std::filesystem::path& file) = 0;
};

}  // namespace tovik::sound
