#pragma once

#include <filesystem>
#include <optional>

namespace tovik::sound {

// The folder of the running executable, as the bytes the file system holds (whatever encoding,
// or none, its name is in), read from /proc/self/exe; nothing where /proc is not mounted. Only
// a folder found this way is trusted to load code from.
std::optional<std::filesystem::path> programFolder();

// The same folder for finding the game's data: where /proc cannot say, the folder `argv0`
// names, taken against the current folder.
std::filesystem::path programFolder(const char* argv0);

}  // namespace tovik::sound
