#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <thread>

#include "sound/audio_output.h"
#include "sound/sound_device.h"

namespace tovik::sound {

// The game's sound: one voice on the platform's device. Everything slow happens on a sound
// thread of its own: opening the device (a sound server may never answer), reading and converting
// the files for the device (each file once, kept in a bounded cache). So the window's thread only
// hands over a path and goes on, whatever the file and whatever the device.
//
// A file that cannot be played gives the built-in default sound. Without a device the game goes
// on in silence, and one line says why.
// The line said when the game goes on in silence, for why it has no sound; it must be one line.
using SilenceLine = std::function<std::string(const NoSound& why)>;

class DeviceAudioOutput final : public AudioOutput {
  public:
    // `open` is called at most once, on the sound thread; `warnings` receives the one line
    // said when it fails, and must outlive this object.
    explicit DeviceAudioOutput(DeviceOpener open);
    DeviceAudioOutput(DeviceOpener open, std::ostream& warnings);
    // Closes the device. If the device is still being opened and does not answer within a
    // moment, the sound thread is left behind to finish on its own, and the game may end.
    ~DeviceAudioOutput() override;
    DeviceAudioOutput(const DeviceAudioOutput&) = delete;
    DeviceAudioOutput& operator=(const DeviceAudioOutput&) = delete;

    // Starts opening the device now, in the background. The window calls it once its first
    // frame is on screen, so that neither that frame nor the first sound waits for the device;
    // without it, the first sound opens the device.
    void prepare();

    // The warning in the language played; set before the device is opened. Without it the
    // line says only that the game plays without sound.
    void setSilenceLine(SilenceLine line);

    void playFile(const std::filesystem::path& file) override;

  private:
    struct Shared;
    static void soundThread(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace tovik::sound
