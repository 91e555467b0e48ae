#include "engine/sound_commands.h"

#include <utility>

namespace tovik {

SoundCommands::SoundCommands(std::function<double()> nowMs) : nowMs_(std::move(nowMs)) {}

void SoundCommands::playFile(const std::filesystem::path& file) {
    latestFile_ = file.generic_string();
    askedMs_ = nowMs_();
    commands_.push_back({Command::Kind::Load, latestFile_, ++latest_});
}

void SoundCommands::loaded(int ticket, bool playable) {
    // A newer sound has cut this one off before it began, or it would come too late.
    if (ticket != latest_ || nowMs_() - askedMs_ > kStaleAfterMs) {
        return;
    }
    commands_.push_back(playable ? Command{Command::Kind::Play, latestFile_, ticket}
                                 : Command{Command::Kind::Blip, {}, ticket});
}

void SoundCommands::stop() {
    ++latest_;  // whatever is still loading stays silent
    commands_.push_back({Command::Kind::Stop, {}, latest_});
}

std::vector<SoundCommands::Command> SoundCommands::take() {
    return std::exchange(commands_, {});
}

}  // namespace tovik
