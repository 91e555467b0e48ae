#pragma once

// Where the game's TovikSound folder lies. The game forms every sound path as the folder found
// here, then TovikSound, then the file name.

#include <filesystem>
#include <initializer_list>
#include <system_error>

// The build tells the game where an installed copy keeps its data (cmake/TovikAssets.cmake):
// TOVIK_DATA_FROM_BINDIR, the folder holding TovikSound relative to the folder of the installed
// executables, and TOVIK_DATA_DIR, the same folder by its full path for a copy whose executable
// was moved away from its prefix.

namespace tovik::sound {

// The first of the candidate folders that holds a TovikSound folder. The executable's own
// folder comes first, so a build tree or an unpacked copy plays its own sounds even when
// another copy is installed; then the installed data folder, relative to the executable
// (any prefix, a staged package) and by its full path. When none holds one, the executable's
// folder is kept: every sound is then missing, and a missing sound plays the default one.
inline std::filesystem::path soundHome(
    const std::filesystem::path& executableFolder,
    std::initializer_list<std::filesystem::path> installedFolders) {
    const auto holdsSounds = [](const std::filesystem::path& folder) {
        std::error_code error;
        return std::filesystem::is_directory(folder / "TovikSound", error);
    };
    if (holdsSounds(executableFolder)) {
        return executableFolder;
    }
    for (const std::filesystem::path& installed : installedFolders) {
        const std::filesystem::path folder =
            (installed.is_absolute() ? installed : executableFolder / installed).lexically_normal();
        if (holdsSounds(folder)) {
            // A trailing separator would double the one the game puts before TovikSound.
            return folder.has_filename() ? folder : folder.parent_path();
        }
    }
    return executableFolder;
}

// The game's own lookup: beside the executable, then where the build installs the data.
std::filesystem::path soundHome(const std::filesystem::path& executableFolder);

}  // namespace tovik::sound
