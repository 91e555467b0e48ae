#include "sound/sdl/sdl_sound_device.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include "environment_variable.h"
#include "sound/sound_module.h"
#include "sound/wav_decoder.h"
#include "temp_folder.h"

// SDL's real audio device. These tests run with SDL_AUDIODRIVER=dummy unless they say
// otherwise: SDL plays into nothing, but in real time, as a card would.

namespace tovik::sound {
namespace {

using namespace std::chrono_literals;

// Counts the samples the device asks for.
class CountingSource final : public SampleSource {
  public:
    void fill(std::span<std::int16_t> samples) override {
        std::fill(samples.begin(), samples.end(), 0);
        asked += samples.size();
        onItsOwnThread = std::this_thread::get_id() != test;
    }

    std::atomic<std::size_t> asked = 0;
    std::atomic<bool> onItsOwnThread = false;
    const std::thread::id test = std::this_thread::get_id();
};

TEST(SdlSoundDevice, AsksForSamplesInRealTimeFromItsOwnThreadUntilClosed) {
    CountingSource source;
    {
        OpenedDevice opened = openSdlSoundDevice(source);
        ASSERT_TRUE(opened.device) << opened.failure;
        std::this_thread::sleep_for(500ms);
        // Half a second of stereo samples, give or take the buffers SDL keeps ahead.
        EXPECT_GT(source.asked, kPlaybackRate * kPlaybackChannels / 4);
        EXPECT_LT(source.asked, kPlaybackRate * kPlaybackChannels * 2);
        EXPECT_TRUE(source.onItsOwnThread);
    }
    const std::size_t asked = source.asked;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(source.asked, asked);
}

TEST(SdlSoundDevice, LeavesTheStopSignalsToTheProgram) {
    // A game that ignored SIGTERM could not be stopped by its desktop or by kill.
    CountingSource source;
    const OpenedDevice opened = openSdlSoundDevice(source);
    ASSERT_TRUE(opened.device) << opened.failure;
    for (int signal : {SIGTERM, SIGINT}) {
        struct sigaction current {};
        ASSERT_EQ(sigaction(signal, nullptr, &current), 0);
        EXPECT_EQ(current.sa_handler, SIG_DFL) << "signal " << signal;
    }
}

TEST(SdlSoundDevice, WithoutACardSaysWhyAndLetsNoLibraryPrint) {
    // ALSA with a configuration that knows no card: the library's own complaints would fill
    // stderr, as they do on a machine without sound.
    const testing::TempFolder folder("tovik-no-card");
    const std::filesystem::path config = folder.write("asound.conf", {});
    const testing::EnvironmentVariable alsa("SDL_AUDIODRIVER", "alsa");
    const testing::EnvironmentVariable noCard("ALSA_CONFIG_PATH", config.string());
    CountingSource source;
    ::testing::internal::CaptureStderr();
    const OpenedDevice opened = openSdlSoundDevice(source);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(opened.device);
    EXPECT_NE(opened.failure, "");
    EXPECT_EQ(printed, "");
}

TEST(SoundModule, IsLookedForBesideTheProgramAndThenInTheInstalledLibraryFolder) {
    const std::vector<std::filesystem::path> places = soundModulePlaces("/opt/tovik/games");
    ASSERT_EQ(places.size(), 2u);
    EXPECT_EQ(places[0], std::filesystem::path("/opt/tovik/games/tovik-sdl-sound.so"));
    EXPECT_EQ(places[1].filename(), "tovik-sdl-sound.so");
    EXPECT_EQ(places[1].parent_path().filename(), "tovik");
    EXPECT_EQ(places[1].lexically_normal().string().rfind("/opt/tovik/lib", 0), 0u);
}

TEST(SoundModule, OpensTheDeviceFromTheModuleBuiltBesideThisProgram) {
    CountingSource source;
    const OpenedDevice opened = sdlSoundModule()(source);
    ASSERT_TRUE(opened.device) << opened.failure;
    std::this_thread::sleep_for(200ms);
    EXPECT_GT(source.asked, 0u);
}

}  // namespace
}  // namespace tovik::sound
