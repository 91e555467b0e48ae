#pragma once

#include <filesystem>
#include <vector>

#include "sound/audio_output.h"

namespace tovik::sound {

// Stands in for the sound device in tests: remembers every file it was asked to play, in order.
class RecordingAudioOutput final : public AudioOutput {
  public:
    void playFile(const std::filesystem::path& file) override { played.push_back(file); }

    std::vector<std::filesystem::path> played;
};

}  // namespace tovik::sound
