// The sound module the game loads once its window is up: SDL and the sound libraries behind it
// (PulseAudio, ALSA and theirs) are mapped only then, and never before the first frame.

#include "sound/sdl/sdl_sound_device.h"

extern "C" __attribute__((visibility("default"))) void tovik_open_sound_device(
    tovik::sound::SampleSource* source, tovik::sound::OpenedDevice* opened) {
    *opened = tovik::sound::openSdlSoundDevice(*source);
}
