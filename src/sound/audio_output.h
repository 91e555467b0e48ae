#pragma once

#include <filesystem>

namespace tovik::sound {

// Where WavePlayer sends a sound; the game uses SDL, tests plug in a recorder.
class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    // Starts playing the WAV file at `file` once and returns at once, cutting off whatever
    // plays. A file that cannot be played gives the built-in default sound instead.
    virtual void playFile(const std::filesystem::path& file) = 0;
};

}  // namespace tovik::sound
