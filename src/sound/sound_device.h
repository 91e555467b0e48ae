#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace tovik::sound {

// What a sound device plays: it asks for the next samples whenever it needs them, from a
// thread of its own.
class SampleSource {
  public:
    virtual ~SampleSource() = default;
    // Writes exactly `samples.size()` samples (kPlaybackRate, kPlaybackChannels, interleaved),
    // silence where there is nothing to play. Must not block.
    virtual void fill(std::span<std::int16_t> samples) = 0;
};

// An open sound device; destroying it closes the device, after which it asks for no more
// samples.
class SoundDevice {
  public:
    virtual ~SoundDevice() = default;
};

// The result of opening a device: the device, or why there is none.
struct OpenedDevice {
    std::unique_ptr<SoundDevice> device;
    std::string failure;
};

// Opens the platform's sound device playing from `source`, which outlives the device. It runs
// on the game's sound thread and may take as long as the platform likes (a sound server that
// never answers), so nothing else waits for it.
using DeviceOpener = std::function<OpenedDevice(SampleSource& source)>;

}  // namespace tovik::sound
