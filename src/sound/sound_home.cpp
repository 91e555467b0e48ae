#include "sound/sound_home.h"

namespace tovik::sound {

std::filesystem::path soundHome(const std::filesystem::path& executableFolder) {
    return soundHome(executableFolder, {TOVIK_DATA_FROM_BINDIR, TOVIK_DATA_DIR});
}

}  // namespace tovik::sound
