#pragma once

#include <string>

namespace tovik {

// The folder of the running executable, as the bytes the file system holds, so that the
// sounds in TovikSound beside it are found whatever encoding, or none, the folder's name is in.
// `argv0` is the fallback where the system cannot say where the executable is.
std::string applicationDirectory(const char* argv0);

}  // namespace tovik
