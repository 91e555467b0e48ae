#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
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

// Why a sound module found was not loaded.
enum class ModuleRefusal {
    Unreadable,       // it cannot be opened for reading
    NotRegularFile,   // a folder, a FIFO, a device
    OthersMayChange,  // `at` may be written by a user other than root and the player
    OtherOwner,       // `at` belongs to a user other than root and the player
    NotALibrary,      // not a shared library at all
    OtherProcessor,   // a library built for another processor
    CutShort,         // its headers name more than the file holds
    OtherBuild,       // a module of another build of the game
    NotLoadable,      // the system's loader would not load it
};

// Why the game plays without sound: the player is told which of these it is, in the game's
// language.
struct NoSound {
    enum class Cause {
        NoDevice,       // the module ran, and the platform opened no audio device
        NoModule,       // no module in any of `places` (none at all when the game's folder is
                        // unknown)
        ModuleRefused,  // the module at `module` was not loaded, for `refusal`, about `at`
    };
    Cause cause = Cause::NoDevice;
    std::vector<std::filesystem::path> places;
    std::filesystem::path module;
    ModuleRefusal refusal = ModuleRefusal::Unreadable;
    std::filesystem::path at;  // the file or folder at fault
};

// The result of opening a device: the device, or why there is none. `failure` is the
// platform's own account, for tests and debugging, never shown to the player.
struct OpenedDevice {
    OpenedDevice() = default;
    OpenedDevice(std::unique_ptr<SoundDevice> opened, std::string platformFailure)
        : device(std::move(opened)), failure(std::move(platformFailure)) {}

    std::unique_ptr<SoundDevice> device;
    std::string failure;
    NoSound why;
};

// Opens the platform's sound device playing from `source`, which outlives the device. It runs
// on the game's sound thread and may take as long as the platform likes (a sound server that
// never answers), so nothing else waits for it.
using DeviceOpener = std::function<OpenedDevice(SampleSource& source)>;

}  // namespace tovik::sound
