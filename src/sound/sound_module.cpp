#include "sound/sound_module.h"

#include <dlfcn.h>

#include <string>
#include <system_error>
#include <vector>

namespace tovik::sound {

namespace {

using OpenDevice = void (*)(SampleSource*, OpenedDevice*);

// The folder of the running executable, by the bytes of its path, whatever their encoding.
std::filesystem::path programFolder() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

}  // namespace

std::vector<std::filesystem::path> soundModulePlaces(const std::filesystem::path& programFolder) {
    return {programFolder / kSoundModuleFile,
            programFolder / ".." / TOVIK_SOUND_MODULE_FOLDER / kSoundModuleFile};
}

DeviceOpener sdlSoundModule() {
    return [](SampleSource& source) -> OpenedDevice {
        std::string failures;
        for (const std::filesystem::path& place : soundModulePlaces(programFolder())) {
            // Never unloaded: SDL's threads run in it until the game ends.
            void* module = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (module == nullptr) {
                failures += (failures.empty() ? "" : "; ") + std::string(::dlerror());
                continue;
            }
            if (auto open = reinterpret_cast<OpenDevice>(::dlsym(module, kOpenDeviceFunction))) {
                OpenedDevice opened;
                open(&source, &opened);
                return opened;
            }
            failures +=
                (failures.empty() ? "" : "; ") + place.string() + ": no " + kOpenDeviceFunction;
        }
        return {nullptr, "no sound module: " + failures};
    };
}

}  // namespace tovik::sound
