#pragma once

#include <filesystem>
#include <vector>

#include "sound/sound_device.h"

namespace tovik::sound {

// The file the SDL sound device is built into, loaded at run time.
inline constexpr const char* kSoundModuleFile = "tovik-sdl-sound.so";
// The one function it exports: opens the device into `*opened`.
inline constexpr const char* kOpenDeviceFunction = "tovik_open_sound_device";

// Opens the sound device from the SDL sound module, which is loaded only when the device is
// opened, on the sound thread. The module is looked for beside the executable, then in the
// game's library folder of an installed copy. A module that cannot be loaded is one more way
// of having no sound device.
DeviceOpener sdlSoundModule();

// Where sdlSoundModule looks, in order, for a game whose executable is in `programFolder`.
std::vector<std::filesystem::path> soundModulePlaces(const std::filesystem::path& programFolder);

}  // namespace tovik::sound
