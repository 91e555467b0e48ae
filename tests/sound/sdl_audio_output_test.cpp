#include "sound/sdl_audio_output.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "sound/wave_player.h"
#include "temp_folder.h"
#include "wav_bytes.h"

// These tests run with SDL_AUDIODRIVER=dummy: SDL plays into nothing, but in real time, so a
// sound lasts as long as it would on a card.

namespace tovik::sound {
namespace {

using Clock = std::chrono::steady_clock;

// Counts the sounds that stopped, whether cut off or played to their end.
std::atomic<int> soundsStopped = 0;
void countStop(int) {
    ++soundsStopped;
}

// Points SDL_AUDIODRIVER elsewhere for one test.
class AudioDriverVariable {
  public:
    explicit AudioDriverVariable(const char* driver) {
        if (const char* old = std::getenv("SDL_AUDIODRIVER")) {
            old_ = old;
        }
        ::setenv("SDL_AUDIODRIVER", driver, 1);
    }
    ~AudioDriverVariable() {
        if (old_) {
            ::setenv("SDL_AUDIODRIVER", old_->c_str(), 1);
        } else {
            ::unsetenv("SDL_AUDIODRIVER");
        }
    }

  private:
    std::optional<std::string> old_;
};

TEST(SdlAudioOutput, OpensTheDeviceOnlyWhenAskedOrNeeded) {
    ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    {
        // Building it is free: the window's first frame does not wait for the sound card.
        SdlAudioOutput output;
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        output.prepare();
        EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        EXPECT_EQ(Mix_AllocateChannels(-1), 1);
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    {
        SdlAudioOutput output;
        output.playFile("/no/such/folder/dindin.wav");
        EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        EXPECT_TRUE(output.isPlaying());
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST(SdlAudioOutput, LeavesTheStopSignalsToTheProgram) {
    // A game that ignored SIGTERM could not be stopped by its desktop or by kill.
    SdlAudioOutput output;
    output.prepare();
    for (int signal : {SIGTERM, SIGINT}) {
        struct sigaction current {};
        ASSERT_EQ(sigaction(signal, nullptr, &current), 0);
        EXPECT_EQ(current.sa_handler, SIG_DFL) << "signal " << signal;
    }
}

TEST(SdlAudioOutput, PlaysASoundFromAFolderNamedInCyrillic) {
    const testing::TempFolder install(u8"Звуки Товика");
    std::filesystem::create_directory(install.path() / "TovikSound");
    const std::filesystem::path file =
        install.write(std::filesystem::path("TovikSound") / "ydar.wav", testing::toneWav(0.3));
    std::ostringstream warnings;
    SdlAudioOutput output(warnings);
    WavePlayer player(output);

    // The game writes the path as UTF-8 text.
    const std::u8string path = file.u8string();
    player.Filename = std::string(path.begin(), path.end());
    player.Flags = 1;
    player.Play();

    EXPECT_EQ(output.lastStarted(), file);
    EXPECT_FALSE(output.lastWasDefault());
    EXPECT_TRUE(output.isPlaying());
    EXPECT_EQ(warnings.str(), "");
}

TEST(SdlAudioOutput, EveryDamagedFileGivesTheBuiltInSound) {
    const testing::TempFolder folder("tovik-bad-wavs");
    SdlAudioOutput output;
    const auto expectDefault = [&](const std::filesystem::path& file) {
        output.playFile(file);
        EXPECT_EQ(output.lastStarted(), file);
        EXPECT_TRUE(output.lastWasDefault());
        EXPECT_TRUE(output.isPlaying());
    };

    int number = 0;
    for (const testing::NamedWav& wav : testing::badWavs()) {
        SCOPED_TRACE(wav.name);
        expectDefault(folder.write("bad" + std::to_string(number++) + ".wav", wav.bytes));
    }
    SCOPED_TRACE("missing, or not a file");
    expectDefault(folder.path() / "TovikSound" / "stone.wav");
    expectDefault(folder.path());
    expectDefault("");
}

TEST(SdlAudioOutput, EveryGoodFileIsPlayedItself) {
    // What the checks let through, the mixer must accept, or the player would hear the blip.
    const testing::TempFolder folder("tovik-good-wavs");
    SdlAudioOutput output;
    int number = 0;
    for (const testing::NamedWav& wav : testing::goodWavs()) {
        SCOPED_TRACE(wav.name);
        output.playFile(folder.write("good" + std::to_string(number++) + ".wav", wav.bytes));
        EXPECT_FALSE(output.lastWasDefault());
        EXPECT_TRUE(output.isPlaying());
    }
}

TEST(SdlAudioOutput, ANewSoundCutsOffTheOneStillPlaying) {
    const testing::TempFolder folder("tovik-strikes");
    const std::filesystem::path ydar = folder.write("ydar.wav", testing::toneWav(2.0));
    const std::filesystem::path ydar2 = folder.write("ydar2.wav", testing::toneWav(2.0));
    SdlAudioOutput output;
    output.prepare();
    soundsStopped = 0;
    Mix_ChannelFinished(countStop);

    const Clock::time_point before = Clock::now();
    output.playFile(ydar);
    // Two seconds of sound, yet the click that started it is over at once.
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(500));
    EXPECT_TRUE(output.isPlaying());
    EXPECT_EQ(soundsStopped, 0);

    output.playFile(ydar2);  // the opponent strikes back before the first sound ends
    EXPECT_EQ(soundsStopped, 1);
    EXPECT_TRUE(output.isPlaying());
    EXPECT_EQ(output.lastStarted(), ydar2);

    output.playFile(ydar2);  // the same sound again starts over
    EXPECT_EQ(soundsStopped, 2);
    EXPECT_TRUE(output.isPlaying());

    output.playFile(folder.path() / "missing.wav");
    EXPECT_EQ(soundsStopped, 3);
    EXPECT_TRUE(output.lastWasDefault());
    EXPECT_TRUE(output.isPlaying());

    output.playFile(ydar);
    EXPECT_EQ(soundsStopped, 4);
    EXPECT_FALSE(output.lastWasDefault());
    EXPECT_TRUE(output.isPlaying());
    Mix_ChannelFinished(nullptr);
}

TEST(SdlAudioOutput, ASoundPlaysOnceAndStops) {
    const testing::TempFolder folder("tovik-once");
    SdlAudioOutput output;
    output.playFile(folder.write("health.wav", testing::toneWav(0.05)));
    ASSERT_TRUE(output.isPlaying());
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(800);
    while (output.isPlaying() && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(output.isPlaying());
}

TEST(SdlAudioOutput, WithoutASoundDeviceTheGameGoesOnInSilenceWithOneWarning) {
    std::ostringstream warnings;
    {
        const AudioDriverVariable noCard("no-such-sound-card");
        SdlAudioOutput output(warnings);
        output.prepare();
        output.prepare();
        output.playFile("/no/such/folder/dindin.wav");
        output.playFile("/no/such/folder/ydar.wav");

        EXPECT_STREQ(SDL_GetCurrentAudioDriver(), "dummy");
        EXPECT_TRUE(output.lastWasDefault());
        EXPECT_TRUE(output.isPlaying());
    }
    const std::string said = warnings.str();
    EXPECT_EQ(said.rfind("Звук недоступен: ", 0), 0u) << said;
    EXPECT_NE(said.find("no-such-sound-card"), std::string::npos) << said;  // says what failed
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

    // The dummy driver was forced for that one device only.
    SdlAudioOutput next(warnings);
    next.prepare();
    EXPECT_EQ(warnings.str(), said);
}

}  // namespace
}  // namespace tovik::sound
