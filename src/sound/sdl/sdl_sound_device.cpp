#include "sound/sdl/sdl_sound_device.h"

#include <SDL.h>
#include <dlfcn.h>

#include <cstdint>
#include <span>
#include <string>

#include "sound/wav_decoder.h"

namespace tovik::sound {

namespace {

// Small enough that a strike is heard with the click, large enough not to crackle.
constexpr Uint16 kBufferFrames = 1024;

void SDLCALL pullSamples(void* source, Uint8* stream, int bytes) {
    static_cast<SampleSource*>(source)->fill(
        std::span(reinterpret_cast<std::int16_t*>(stream),
                  static_cast<std::size_t>(bytes) / sizeof(std::int16_t)));
}

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// Without a sound card the ALSA library prints a screenful of its own complaints to stderr
// before SDL even reports the failure. The game says it in one line of its own, so ALSA is
// told to keep quiet. SDL may load ALSA or not, so it is looked up, never linked.
void silenceAlsa() {
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    static void* const alsa = ::dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
    if (alsa == nullptr) {
        return;
    }
    if (void* set = ::dlsym(alsa, "snd_lib_error_set_handler")) {
        reinterpret_cast<int (*)(Handler)>(set)(ignoreAlsaMessage);
    }
}

// SDL keeps an error text for each thread that calls it, and frees it only for threads of its
// own; the game's sound thread lets it go itself when it is done with SDL.
void forgetThreadState() {
    SDL_TLSCleanup();
}

class SdlSoundDevice final : public SoundDevice {
  public:
    explicit SdlSoundDevice(SDL_AudioDeviceID id) : id_(id) {}
    ~SdlSoundDevice() override {
        SDL_CloseAudioDevice(id_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        forgetThreadState();
    }
    SdlSoundDevice(const SdlSoundDevice&) = delete;
    SdlSoundDevice& operator=(const SdlSoundDevice&) = delete;

  private:
    SDL_AudioDeviceID id_;
};

}  // namespace

OpenedDevice openSdlSoundDevice(SampleSource& source) {
    silenceAlsa();
    // SDL would otherwise take over SIGINT and SIGTERM and leave the game running when asked to
    // stop; the window, not SDL, owns the program's life.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Товик Ларминов");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::string failure = SDL_GetError();
        forgetThreadState();
        return {nullptr, failure};
    }
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(kPlaybackRate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kPlaybackChannels;
    wanted.samples = kBufferFrames;
    wanted.callback = pullSamples;
    wanted.userdata = &source;
    // No changes allowed: SDL converts to whatever the card plays, so the samples stay ours.
    SDL_AudioSpec got{};
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &got, 0);
    if (id == 0) {
        std::string failure = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        forgetThreadState();
        return {nullptr, failure};
    }
    SDL_PauseAudioDevice(id, 0);
    return {std::make_unique<SdlSoundDevice>(id), {}};
}

}  // namespace tovik::sound
