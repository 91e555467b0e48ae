#pragma once

#include <cstdint>
#include <string>

namespace tovik::window {

// Why the narrator cannot be heard: no speech engine answers, or the engine has no voice for
// the language played.
enum class SpeechProblem : std::uint8_t { None, NoEngine, NoVoice };

// A voice that reads the game aloud. It is made by the speech module, which alone links the
// platform's speech libraries: a game that never reads aloud never loads them.
class SpeechVoice {
  public:
    SpeechVoice() = default;
    SpeechVoice(const SpeechVoice&) = delete;
    SpeechVoice& operator=(const SpeechVoice&) = delete;
    virtual ~SpeechVoice() = default;

    // Why nothing will be heard, known as soon as the voice is made; None when lines are heard.
    virtual SpeechProblem problem() const = 0;
    // Whether a screen reader runs on this desktop now: then the narrator keeps quiet.
    virtual bool screenReaderRunning() = 0;
    // Says `text` once what is being said has been said.
    virtual void say(const std::string& text) = 0;
    // Stops what is being said and drops what waits.
    virtual void stop() = 0;
};

// The file the speech module is built into, loaded the first time the narrator is switched on.
inline constexpr const char* kSpeechModuleFile = "tovik-speech.so";

// The module's one exported function, whose form never changes:
//   SpeechVoice* tovik_speech_module(std::uint32_t gameVersion, const char* language,
//                                    std::uint32_t* moduleVersion)
// It makes a voice for `language` ("ru", "en") only when `gameVersion` is its own, and always
// answers with its own version, so that a module of another build is refused before a single
// object crosses between the two. Whoever gets the voice deletes it.
inline constexpr const char* kSpeechModuleFunction = "tovik_speech_module";
using SpeechModuleFunction = SpeechVoice* (*)(std::uint32_t, const char*, std::uint32_t*);

// Taken from this header's text, so that any change to what crosses makes a new one.
inline constexpr std::uint32_t kSpeechModuleVersion = TOVIK_SPEECH_MODULE_VERSION;

}  // namespace tovik::window
