#include "sound/sdl/sdl_sound_device.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

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
    SdlSoundDevice(SDL_AudioDeviceID id, const SDL_AudioSpec& opened) : id_(id), opened_(opened) {}
    ~SdlSoundDevice() override {
        SDL_CloseAudioDevice(id_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        forgetThreadState();
    }
    SdlSoundDevice(const SdlSoundDevice&) = delete;
    SdlSoundDevice& operator=(const SdlSoundDevice&) = delete;

    std::optional<Pcm> convert(std::span<const std::uint8_t> wav) const override {
        return convertWav(wav, opened_.freq, opened_.channels);
    }

  private:
    SDL_AudioDeviceID id_;
    SDL_AudioSpec opened_;
};

}  // namespace

std::optional<Pcm> convertWav(std::span<const std::uint8_t> wav, int rate, int channels) {
    SDL_AudioSpec file{};
    Uint8* samples = nullptr;
    Uint32 bytes = 0;
    if (SDL_LoadWAV_RW(SDL_RWFromConstMem(wav.data(), static_cast<int>(wav.size())), 1, &file,
                       &samples, &bytes) == nullptr) {
        forgetThreadState();
        return std::nullopt;
    }
    SDL_AudioStream* stream = SDL_NewAudioStream(file.format, file.channels, file.freq,
                                                 AUDIO_S16SYS, static_cast<Uint8>(channels), rate);
    // SDL's resampler keeps the last few frames back to look ahead, and its flush does not
    // always give them out: a tenth of a second of silence behind the sound pushes them through,
    // and is cut off again below.
    const std::size_t fileFrameBytes =
        std::size_t{SDL_AUDIO_BITSIZE(file.format) / 8u} * file.channels;
    const std::vector<Uint8> silence(
        (static_cast<std::size_t>(file.freq) / 10 + 64) * fileFrameBytes,
        file.format == AUDIO_U8 ? 0x80 : 0x00);
    const bool converted =
        stream != nullptr && SDL_AudioStreamPut(stream, samples, static_cast<int>(bytes)) == 0 &&
        SDL_AudioStreamPut(stream, silence.data(), static_cast<int>(silence.size())) == 0 &&
        SDL_AudioStreamFlush(stream) == 0;
    SDL_FreeWAV(samples);
    std::optional<Pcm> pcm;
    if (converted) {
        const std::uint64_t fileFrames = bytes / fileFrameBytes;
        const std::uint64_t frames = (fileFrames * static_cast<std::uint64_t>(rate) +
                                      static_cast<std::uint64_t>(file.freq) - 1) /
                                     static_cast<std::uint64_t>(file.freq);
        pcm.emplace();
        pcm->samples.resize(static_cast<std::size_t>(frames) * static_cast<std::size_t>(channels));
        const int wanted = static_cast<int>(pcm->samples.size() * sizeof(std::int16_t));
        int got = 0;
        while (got < wanted) {
            const int more = SDL_AudioStreamGet(
                stream, reinterpret_cast<Uint8*>(pcm->samples.data()) + got, wanted - got);
            if (more <= 0) {
                break;
            }
            got += more;
        }
        // Whole frames only, so that the next sound starts on the left channel.
        const std::size_t frameBytes = static_cast<std::size_t>(channels) * sizeof(std::int16_t);
        pcm->samples.resize(static_cast<std::size_t>(got) / frameBytes *
                            static_cast<std::size_t>(channels));
    }
    if (stream != nullptr) {
        SDL_FreeAudioStream(stream);
    }
    forgetThreadState();
    return pcm;
}

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
    // The card's own rate and channel count, so that each sound is converted once, when it is
    // loaded, and not again on every buffer. The sample format stays 16-bit: every sound server
    // takes it as it is.
    SDL_AudioSpec got{};
    const SDL_AudioDeviceID id =
        SDL_OpenAudioDevice(nullptr, 0, &wanted, &got,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (id == 0) {
        std::string failure = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        forgetThreadState();
        return {nullptr, failure};
    }
    SDL_PauseAudioDevice(id, 0);
    return {std::make_unique<SdlSoundDevice>(id, got), {}};
}

}  // namespace tovik::sound
