#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "sound/audio_output.h"

namespace tovik {

// The game's sound for a view whose player loads files on its own time and plays what it is
// told: the page, whose browser fetches and decodes a file in the background. The rules stay
// here, as the window's sound keeps them: one voice, the newest sound cutting off the one
// before; the built-in blip for a file that cannot be played; and a sound asked for more than
// sound::kStaleAfter earlier dropped rather than played late, say after a slow fetch.
class SoundCommands final : public sound::AudioOutput {
  public:
    static constexpr double kStaleAfterMs = sound::kStaleAfter.count();

    struct Command {
        enum class Kind : std::uint8_t {
            Load,  // fetch and decode `file`, then report it through loaded(ticket, ...)
            Play,  // start `file`, loaded before, in place of whatever plays
            Blip,  // start the built-in blip in place of whatever plays
            Stop,  // silence
        };
        Kind kind = Kind::Stop;
        std::string file;
        int ticket = 0;
        bool operator==(const Command&) const = default;
    };

    // `nowMs` is the player's clock in milliseconds.
    explicit SoundCommands(std::function<double()> nowMs);

    void playFile(const std::filesystem::path& file) override;
    // The player has loaded the file of `ticket`, playable or not.
    void loaded(int ticket, bool playable);
    void stop();

    // The commands since the last call, oldest first.
    std::vector<Command> take();

  private:
    std::function<double()> nowMs_;
    std::vector<Command> commands_;
    int latest_ = 0;  // the ticket of the newest sound asked for
    std::string latestFile_;
    double askedMs_ = 0;
};

}  // namespace tovik
