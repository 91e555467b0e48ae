#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tovik::sound {

// What the game asks a device to play; a device may open at another rate or channel count, and
// every sound is converted to what it opened.
inline constexpr std::uint32_t kPlaybackRate = 48000;
inline constexpr std::uint16_t kPlaybackChannels = 2;

// A sound as one device plays it: signed 16-bit samples, interleaved, at the device's rate and
// channel count.
struct Pcm {
    std::vector<std::int16_t> samples;
};

// What a sound device plays: it asks for the next samples whenever it needs them, from a
// thread of its own.
class SampleSource {
  public:
    virtual ~SampleSource() = default;
    // Writes exactly `samples.size()` samples in the device's format, silence where there is
    // nothing to play. Must not block.
    virtual void fill(std::span<std::int16_t> samples) = 0;
};

// An open sound device; destroying it closes the device, after which it asks for no more
// samples.
class SoundDevice {
  public:
    virtual ~SoundDevice() = default;
    // A whole WAV file, whose header the game has already accepted, converted once to what this
    // device plays (rate, channels, sample format); nothing if its samples cannot be read after
    // all. Called on the game's sound thread, never on the device's.
    virtual std::optional<Pcm> convert(std::span<const std::uint8_t> wav) const = 0;
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
