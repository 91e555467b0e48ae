#include "sound/sdl_audio_output.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sound/default_sound.h"
#include "sound/wav_file.h"

namespace tovik::sound {

namespace {

// Every sound goes to this one channel.
constexpr int kChannel = 0;
// Small enough that a strike is heard with the click, large enough not to crackle.
constexpr int kBufferFrames = 1024;

// Opens SDL's audio and the mixer with whatever driver SDL picks; on failure says what failed
// and leaves the audio subsystem as it found it.
std::optional<std::string> openDevice() {
    // SDL would otherwise take over SIGINT and SIGTERM and leave the game running when asked to
    // stop; the window, not SDL, owns the program's life.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return std::string("SDL_InitSubSystem(SDL_INIT_AUDIO): ") + SDL_GetError();
    }
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, kBufferFrames) != 0) {
        std::string failure = std::string("Mix_OpenAudio: ") + Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return failure;
    }
    return std::nullopt;
}

// The mixer decodes and converts the whole file into its own buffer, so the bytes may go
// afterwards.
Mix_Chunk* decode(std::span<const std::uint8_t> wav) {
    SDL_RWops* source = SDL_RWFromConstMem(wav.data(), static_cast<int>(wav.size()));
    return source != nullptr ? Mix_LoadWAV_RW(source, 1) : nullptr;
}

}  // namespace

SdlAudioOutput::SdlAudioOutput() : SdlAudioOutput(std::cerr) {}

SdlAudioOutput::SdlAudioOutput(std::ostream& warnings) : warnings_(warnings) {}

SdlAudioOutput::~SdlAudioOutput() {
    if (device_ != Device::Open) {
        return;
    }
    Mix_HaltChannel(-1);
    Mix_FreeChunk(fileChunk_);
    Mix_FreeChunk(defaultChunk_);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioOutput::prepare() {
    if (device_ != Device::NotTried) {
        return;
    }
    if (const std::optional<std::string> failure = openDevice()) {
        // Without a sound card the game goes on in silence: SDL's dummy driver takes the sounds
        // and plays them into nothing, so everything else behaves as with a card. The driver
        // is forced only for this retry; whatever the player set in SDL_AUDIODRIVER stays.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        const std::optional<std::string> dummyFailure = openDevice();
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        warnings_ << "Звук недоступен: не удалось открыть звуковое устройство (" << *failure
                  << "), игра идёт без звука" << std::endl;
        if (dummyFailure) {
            device_ = Device::Unavailable;
            return;
        }
    }
    Mix_AllocateChannels(1);
    defaultChunk_ = decode(defaultSoundWav());
    device_ = Device::Open;
}

void SdlAudioOutput::playFile(const std::filesystem::path& file) {
    prepare();
    lastStarted_ = file;
    const std::optional<std::vector<std::uint8_t>> wav = readPlayableWav(file);
    if (device_ != Device::Open) {
        lastWasDefault_ = !wav;
        return;
    }

    Mix_HaltChannel(kChannel);
    Mix_FreeChunk(fileChunk_);
    // The checks before cannot foresee everything the mixer refuses; that too gets the blip.
    fileChunk_ = wav ? decode(*wav) : nullptr;
    playing_ = fileChunk_ != nullptr ? fileChunk_ : defaultChunk_;
    lastWasDefault_ = playing_ == defaultChunk_;
    if (playing_ != nullptr) {
        Mix_PlayChannel(kChannel, playing_, 0);
    }
}

bool SdlAudioOutput::isPlaying() const {
    return device_ == Device::Open && playing_ != nullptr && Mix_Playing(kChannel) != 0 &&
           Mix_GetChunk(kChannel) == playing_;
}

}  // namespace tovik::sound
