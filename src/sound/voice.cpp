#include "sound/voice.h"

#include <algorithm>

namespace tovik::sound {

void Voice::start(std::shared_ptr<const Pcm> sound) {
    const std::lock_guard lock(mutex_);
    // The old sound is let go outside the device's thread whenever it can be: swapped out here.
    sound_.swap(sound);
    next_ = 0;
}

void Voice::fill(std::span<std::int16_t> samples) {
    const std::lock_guard lock(mutex_);
    std::size_t written = 0;
    if (sound_) {
        const std::size_t left = sound_->samples.size() - next_;
        written = std::min(left, samples.size());
        std::copy_n(sound_->samples.begin() + static_cast<std::ptrdiff_t>(next_), written,
                    samples.begin());
        next_ += written;
    }
    std::fill(samples.begin() + static_cast<std::ptrdiff_t>(written), samples.end(), 0);
}

}  // namespace tovik::sound
