#include "sound/wave_player.h"

#include <algorithm>

namespace tovik::sound {

WavePlayer::WavePlayer(AudioOutput& output) : output_(output) {}

void WavePlayer::Play() {
    // The flags the game writes (1: start the sound and return at once) describe exactly what
    // every output does, so they are kept for whoever reads them back but change nothing here.
    output_.playFile(pathFromUtf8(Filename));
}

std::filesystem::path pathFromUtf8(std::string_view utf8) {
    std::u8string text(utf8.size(), u8'\0');
    std::transform(utf8.begin(), utf8.end(), text.begin(),
                   [](char c) { return static_cast<char8_t>(c); });
    return std::filesystem::path(text);
}

}  // namespace tovik::sound
