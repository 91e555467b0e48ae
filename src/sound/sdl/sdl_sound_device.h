#pragma once

#include "sound/sound_device.h"

namespace tovik::sound {

// Opens SDL's default audio device playing from `source`, with whatever driver SDL picks
// (SDL_AUDIODRIVER chooses one). It asks for kPlaybackRate and kPlaybackChannels in 16-bit
// samples and takes the rate and channel count the card prefers, to which the device converts
// every sound. SDL's audio thread then asks `source` for samples until the device is destroyed.
// Nothing of SDL's or the sound libraries' own is printed: a failure comes back as text.
OpenedDevice openSdlSoundDevice(SampleSource& source);

// A whole WAV file read by SDL's own loader and converted, by SDL's resampler, to signed 16-bit
// samples at `rate` with `channels` interleaved; nothing when SDL cannot read it. Needs no
// device, so a test's device can convert as the real one does.
std::optional<Pcm> convertWav(std::span<const std::uint8_t> wav, int rate, int channels);

}  // namespace tovik::sound
