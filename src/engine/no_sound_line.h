#pragma once

#include <string>

#include "sound/sound_device.h"

namespace tovik {

// The one line the game says when it plays without sound, in the language played: which of
// the causes it is, the paths it names escaped.
std::string noSoundLine(const sound::NoSound& why);

// Why a module was refused (`why.refusal`, about `why.at`), in the language played: the reason
// the no-sound line gives, for any module the game checks before loading it.
std::string moduleRefusalText(const sound::NoSound& why);

}  // namespace tovik
