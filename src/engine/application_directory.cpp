#include "engine/application_directory.h"

#include <filesystem>
#include <system_error>

namespace tovik {

std::string applicationDirectory(const char* argv0) {
    // The link names the executable itself, wherever it was started from and by whatever
    // path; its target is kept byte for byte, never decoded.
    std::error_code error;
    const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", error);
    if (!error) {
        return self.parent_path().native();
    }
    const std::filesystem::path named = std::filesystem::absolute(argv0 ? argv0 : "", error);
    return error ? std::string(".") : named.parent_path().native();
}

}  // namespace tovik
