#include "sound/program_folder.h"

#include <system_error>

namespace tovik::sound {

std::optional<std::filesystem::path> programFolder() {
    // The link names the executable itself, wherever it was started from and by whatever path.
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !self.is_absolute()) {
        return std::nullopt;
    }
    return self.parent_path();
}

std::filesystem::path programFolder(const char* argv0) {
    if (std::optional<std::filesystem::path> folder = programFolder()) {
        return *folder;
    }
    std::error_code error;
    const std::filesystem::path named = std::filesystem::absolute(argv0 ? argv0 : "", error);
    return error ? std::filesystem::path(".") : named.parent_path();
}

}  // namespace tovik::sound
