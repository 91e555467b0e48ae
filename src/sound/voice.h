#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

#include "sound/sound_device.h"

namespace tovik::sound {

// The one voice the game has: it plays one converted sound once, from its start, and a new
// sound cuts off the one before, as a strike that follows a strike must.
class Voice final : public SampleSource {
  public:
    // Starts `sound` from its first sample in place of whatever plays.
    void start(std::shared_ptr<const Pcm> sound);
    void fill(std::span<std::int16_t> samples) override;

  private:
    std::mutex mutex_;  // held only while samples are copied or a sound is swapped in
    std::shared_ptr<const Pcm> sound_;
    std::size_t next_ = 0;  // the next sample of sound_ to play
};

}  // namespace tovik::sound
