#pragma once

#include "sound/sound_device.h"

namespace tovik::sound {

// Opens SDL's default audio device playing from `source` in the playback format, with whatever
// driver SDL picks (SDL_AUDIODRIVER chooses one). SDL's audio thread then asks `source` for
// samples until the device is destroyed. Nothing of SDL's or the sound libraries' own is
// printed: a failure comes back as text.
OpenedDevice openSdlSoundDevice(SampleSource& source);

}  // namespace tovik::sound
