#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sound/sound_device.h"

namespace tovik::sound {

// The file the SDL sound device is built into, loaded at run time.
inline constexpr const char* kSoundModuleFile = "tovik-sdl-sound.so";

// The module's one exported function, whose form never changes:
//   std::uint32_t tovik_sound_module(std::uint32_t gameVersion, SampleSource*, OpenedDevice*)
// The module opens the device only when `gameVersion` is its own, and always answers with its
// own version, so a module left over from another build of the game is refused before a single
// object crosses between the two.
inline constexpr const char* kSoundModuleFunction = "tovik_sound_module";
using SoundModuleFunction = std::uint32_t (*)(std::uint32_t, SampleSource*, OpenedDevice*);

// The version both sides are built with: taken from the headers whose types cross between them,
// so any change to those makes a new one.
inline constexpr std::uint32_t kSoundModuleVersion = TOVIK_SOUND_MODULE_VERSION;

// Where the module may come from, in order: beside the executable, then the library folder the
// game was configured to be installed into, then the one of its Debian package. Both are absolute:
// nothing is looked for relative to the current folder, by a bare name in the system's library
// paths, or above the executable's folder, where an unpacked copy's parent may be a folder that
// anyone can write. Without the executable's folder (no /proc) there is no place at all.
std::vector<std::filesystem::path> soundModulePlaces(
    const std::optional<std::filesystem::path>& programFolder);

// Why the file at `module` must not be loaded, or nothing when it may be. It must be a regular
// file that only its owner may change, owned by the player or by root, and a shared library for
// this processor whose headers and loaded segments all lie inside the file.
std::optional<std::string> refuseSoundModule(const std::filesystem::path& module);

// The same for a module already open as `fd`, which is then loaded by that descriptor, so that
// the file checked is the file loaded (the narrator's speech module is checked so too).
std::optional<std::string> refuseOpenModule(int fd);

// Opens the sound device from the first of `places` that holds a module fit to load. A module
// that cannot be loaded is one more way of having no sound device: the failure says why.
DeviceOpener soundModuleAt(std::vector<std::filesystem::path> places);

// The game's own: soundModuleAt(soundModulePlaces(programFolder())).
DeviceOpener sdlSoundModule();

}  // namespace tovik::sound
