#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "wav_bytes.h"

namespace tovik::sound::testing {

// A fresh folder under the system's temporary folder, gone again when the test ends. The
// process id keeps tests that run side by side apart.
class TempFolder {
  public:
    explicit TempFolder(const std::filesystem::path& name) {
        static std::atomic<int> counter = 0;
        std::filesystem::path unique = name;
        unique += "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        path_ = std::filesystem::temp_directory_path() / unique;
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    std::filesystem::path write(const std::filesystem::path& name, const Bytes& bytes) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return file;
    }

  private:
    std::filesystem::path path_;
};

}  // namespace tovik::sound::testing
