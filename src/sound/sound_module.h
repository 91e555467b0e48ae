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

// One place a module may be loaded from: the file, and the folder from which down to it every
// folder must be the player's or root's, writable by no one else. That is the prefix the game
// is installed into, or for a copy unpacked anywhere the executable's own folder.
struct ModulePlace {
    std::filesystem::path module;
    std::filesystem::path trustedFrom;
    bool operator==(const ModulePlace&) const = default;
};

// Where the module may come from, in order: beside the executable; in the library folder of the
// prefix the executable is installed into, found from the executable's real path, so that a
// copy installed into another prefix (~/.local) plays; then the library folder the game was
// configured to be installed into, and the one of its Debian package. Nothing is looked for
// relative to the current folder or by a bare name in the system's library paths. Without the
// executable's folder (no /proc) there is no place at all.
std::vector<ModulePlace> soundModulePlaces(
    const std::optional<std::filesystem::path>& programFolder);

// Why the file at `place.module` must not be loaded, or nothing when it may be. It and every
// folder above it up to `place.trustedFrom` must belong to the player or to root and be
// writable by no one else, as OpenSSH asks of its keys: whoever may change any of them runs
// code as the player. It must be a regular file, and a shared library for this processor
// whose headers and loaded segments all lie inside the file.
std::optional<NoSound> refuseSoundModule(const ModulePlace& place);

// Why the module `module`, already open as `fd`, must not be loaded: the narrator's speech
// module is checked as the sound module is, and then loaded by `fd`.
std::optional<NoSound> refuseOpenModule(int fd, const std::filesystem::path& module);

// Opens the sound device from the first of `places` that holds a module. A module that cannot
// be loaded is one more way of having no sound device: the failure says why, and a module
// refused says more than a module missing elsewhere.
DeviceOpener soundModuleAt(std::vector<ModulePlace> places);

// The game's own: soundModuleAt(soundModulePlaces(programFolder())).
DeviceOpener sdlSoundModule();

}  // namespace tovik::sound
