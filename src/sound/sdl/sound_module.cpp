// The sound module the game loads once its window is up: SDL and the sound libraries behind it
// (PulseAudio, ALSA and theirs) are mapped only then, and never before the first frame.

#include "sound/sound_module.h"
#include "sound/sdl/sdl_sound_device.h"

extern "C" __attribute__((visibility("default"))) std::uint32_t tovik_sound_module(
    std::uint32_t gameVersion, tovik::sound::SampleSource* source,
    tovik::sound::OpenedDevice* opened) {
    // A game of another build may lay out these objects differently: they are not touched.
    if (gameVersion == tovik::sound::kSoundModuleVersion) {
        *opened = tovik::sound::openSdlSoundDevice(*source);
    }
    return tovik::sound::kSoundModuleVersion;
}
