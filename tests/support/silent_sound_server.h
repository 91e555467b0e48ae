#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace tovik::testing {

// A sound server that takes every connection and never says a word: a socket that listens
// and is never read, so the client's greeting goes unanswered until it gives up (PulseAudio's
// client waits half a minute). The game is pointed at it with PULSE_SERVER=address().
class SilentSoundServer {
  public:
    explicit SilentSoundServer(const std::filesystem::path& folder)
        : path_(folder / "silent-sound-server") {
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
        ::unlink(path_.c_str());
        listening_ = socket_ >= 0 &&
                     ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                     ::listen(socket_, 16) == 0;
    }
    ~SilentSoundServer() {
        if (socket_ >= 0) {
            ::close(socket_);
        }
        ::unlink(path_.c_str());
    }
    SilentSoundServer(const SilentSoundServer&) = delete;
    SilentSoundServer& operator=(const SilentSoundServer&) = delete;

    bool listening() const { return listening_; }
    std::string address() const { return "unix:" + path_.string(); }

  private:
    std::filesystem::path path_;
    int socket_ = -1;
    bool listening_ = false;
};

}  // namespace tovik::testing
