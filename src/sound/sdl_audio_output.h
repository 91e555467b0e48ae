#pragma once

#include <filesystem>
#include <iosfwd>

#include "sound/audio_output.h"

struct Mix_Chunk;

namespace tovik::sound {

// The game's sound device: SDL_mixer with a single channel, so a new sound always cuts off the
// one before it, as a strike that follows a strike must. Building it costs nothing; the device
// is opened by prepare() or, failing that, by the first sound, never while the window is built.
class SdlAudioOutput final : public AudioOutput {
  public:
    // `warnings` receives the one line said when the sound device cannot be opened.
    SdlAudioOutput();
    explicit SdlAudioOutput(std::ostream& warnings);
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    // Opens the sound device now. The window calls it once its first frame is on screen, so
    // that neither that frame nor the first sound waits for the device.
    void prepare();

    void playFile(const std::filesystem::path& file) override;

    // What the last playFile did: the path it was given, whether the built-in sound played in
    // place of that file, and whether the channel is still sounding what it started.
    const std::filesystem::path& lastStarted() const { return lastStarted_; }
    bool lastWasDefault() const { return lastWasDefault_; }
    bool isPlaying() const;

  private:
    enum class Device { NotTried, Open, Unavailable };

    std::ostream& warnings_;
    Device device_ = Device::NotTried;
    Mix_Chunk* defaultChunk_ = nullptr;
    Mix_Chunk* fileChunk_ = nullptr;
    Mix_Chunk* playing_ = nullptr;  // the chunk the last playFile put on the channel
    std::filesystem::path lastStarted_;
    bool lastWasDefault_ = false;
};

}  // namespace tovik::sound
