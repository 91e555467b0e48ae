#include "sound/device_audio_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>

#include "sound/default_sound.h"
#include "sound/sdl/sdl_sound_device.h"
#include "support/fake_sound_devices.h"
#include "wav_bytes.h"

// The game's sound output on a device the test pulls by hand, as the speakers would.

namespace tovik::sound {
namespace {

using Clock = std::chrono::steady_clock;
using tovik::testing::HandPulledDevice;
using tovik::testing::HungDevice;

// A click never waits for the sound: far above the microseconds it takes, below what is seen.
constexpr auto kAtOnce = std::chrono::milliseconds(200);
constexpr std::size_t kFrames = 64;
using Samples = std::vector<std::int16_t>;

// The first frames of `wav` as the device plays them.
Samples startOf(std::span<const std::uint8_t> wav) {
    const std::optional<Pcm> pcm = convertWav(wav, kPlaybackRate, kPlaybackChannels);
    return {pcm->samples.begin(),
            pcm->samples.begin() + static_cast<std::ptrdiff_t>(kFrames * kPlaybackChannels)};
}

// The first frames of a steady 22 kHz sound at `level`. SDL's resampler works through a long
// sound in pieces, so its first frames depend a little on the length too.
Samples steadyStart(std::uint8_t level, double seconds = 1.0) {
    return startOf(testing::steadyWav(22050, seconds, level));
}

const Samples kSilence(kFrames* kPlaybackChannels, 0);

Clock::duration timedPlay(DeviceAudioOutput& output, const std::filesystem::path& file) {
    const Clock::time_point before = Clock::now();
    output.playFile(file);
    return Clock::now() - before;
}

class DeviceAudioOutputTest : public ::testing::Test {
  protected:
    DeviceAudioOutputTest() : output(device.opener(), warnings) {}

    std::filesystem::path steadyFile(const std::string& name, std::uint8_t level,
                                     double seconds = 1.0) {
        return folder.write(name, testing::steadyWav(22050, seconds, level));
    }

    testing::TempFolder folder{"tovik-output"};
    HandPulledDevice device;
    std::ostringstream warnings;
    DeviceAudioOutput output;
};

TEST_F(DeviceAudioOutputTest, OpensTheDeviceOnlyWhenAskedOrWhenASoundIsPlayed) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(device.timesOpened(), 0);
    output.prepare();
    output.playFile(steadyFile("dindin.wav", 0xA0));
    EXPECT_TRUE(device.hears(steadyStart(0xA0)));
    output.prepare();
    EXPECT_EQ(device.timesOpened(), 1);

    HandPulledDevice other;
    {
        DeviceAudioOutput second(other.opener(), warnings);
        second.playFile(folder.path() / "missing.wav");
        EXPECT_TRUE(other.hears(startOf(defaultSoundWav())));
    }
    EXPECT_FALSE(other.isOpen());  // closed with the output
    EXPECT_EQ(warnings.str(), "");
}

TEST_F(DeviceAudioOutputTest, PlaysEachFileOnceFromItsStartTheNewestCuttingOffTheOneBefore) {
    const std::filesystem::path ydar = steadyFile("ydar.wav", 0xA0, 2.0);
    EXPECT_LT(timedPlay(output, ydar), kAtOnce);  // two seconds of sound, yet the click is over
    EXPECT_TRUE(device.hears(steadyStart(0xA0, 2.0)));
    output.playFile(steadyFile("ydar2.wav", 0x60, 2.0));  // the opponent strikes back at once
    EXPECT_TRUE(device.hears(steadyStart(0x60, 2.0)));
    output.playFile(ydar);
    EXPECT_TRUE(device.hears(steadyStart(0xA0, 2.0)));

    // A steady start, then a rise: hearing the steady start again means it started over.
    testing::Bytes ramp(kFrames, 0xA0);
    for (int i = 0; i < 4000; ++i) {
        ramp.push_back(static_cast<std::uint8_t>(0xA1 + i / 100));
    }
    const testing::Bytes rising = testing::wav(testing::fmtBody(1, 1, 48000, 8), ramp);
    const std::filesystem::path voda = folder.write("voda.wav", rising);
    output.playFile(voda);
    ASSERT_TRUE(device.hears(startOf(rising)));
    EXPECT_NE(device.pull(kFrames), startOf(rising));
    output.playFile(voda);
    EXPECT_TRUE(device.hears(startOf(rising)));
    device.pull(kPlaybackRate);  // it ends, and nothing follows
    EXPECT_EQ(device.pull(kFrames), kSilence);
}

TEST_F(DeviceAudioOutputTest, EveryDamagedFileGivesTheBuiltInSoundAndNoClickWaits) {
    const std::filesystem::path marker = steadyFile("marker.wav", 0xA0);
    int number = 0;
    std::vector<std::pair<std::string, std::filesystem::path>> files;
    for (const testing::NamedWav& wav : testing::badWavs()) {
        files.emplace_back(wav.name,
                           folder.write("bad" + std::to_string(number++) + ".wav", wav.bytes));
    }
    files.emplace_back("missing", folder.path() / "TovikSound" / "stone.wav");
    files.emplace_back("a folder", folder.path());
    files.emplace_back("no name", "");
    for (const auto& [name, file] : files) {
        SCOPED_TRACE(name);
        // A good sound between the bad ones, so that each bad one is heard starting.
        output.playFile(marker);
        ASSERT_TRUE(device.hears(steadyStart(0xA0)));
        EXPECT_LT(timedPlay(output, file), kAtOnce);
        EXPECT_TRUE(device.hears(startOf(defaultSoundWav())));
        EXPECT_LT(timedPlay(output, file), kAtOnce);  // once known, it costs nothing again
    }
    EXPECT_EQ(warnings.str(), "");
}

TEST_F(DeviceAudioOutputTest, AFileChangedOnDiskIsReadAgain) {
    const std::filesystem::path voda = steadyFile("voda.wav", 0xA0);
    output.playFile(voda);
    ASSERT_TRUE(device.hears(steadyStart(0xA0)));
    std::filesystem::remove(voda);
    steadyFile("voda.wav", 0x60, 1.5);
    output.playFile(voda);
    EXPECT_TRUE(device.hears(steadyStart(0x60, 1.5)));
}

TEST(DeviceAudioOutput, WithoutADeviceTheGameGoesOnInSilenceWithOneWarning) {
    std::ostringstream warnings;
    {
        DeviceAudioOutput output(
            [](SampleSource&) {
                OpenedDevice none{nullptr, "no-such\nsound-card"};
                none.why.cause = NoSound::Cause::NoModule;
                return none;
            },
            warnings);
        output.setSilenceLine([](const NoSound& why) {
            return "silent: " + std::to_string(static_cast<int>(why.cause));
        });
        output.prepare();
        output.prepare();
        for (int i = 0; i < 5; ++i) {
            EXPECT_LT(timedPlay(output, "/no/such/folder/ydar.wav"), kAtOnce);
        }
        // Time for the sound thread to try; a game that ends sooner never opens the device.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    EXPECT_EQ(warnings.str(), "silent: 1\n");
}

// The game's own run against a silent server shows that nothing waits for it; here, that a
// device answering after the game has left it behind says nothing more.
TEST(DeviceAudioOutput, ADeviceThatAnswersAfterTheGameLeftItSaysNothing) {
    HungDevice server;
    std::ostringstream warnings;
    {
        DeviceAudioOutput output(server.opener(), warnings);
        output.prepare();
        ASSERT_TRUE(server.isOpening());
    }
    server.release();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(warnings.str(), "");
}

TEST(DeviceAudioOutput, ASoundAskedForLongAgoIsNotPlayedLate) {
    HandPulledDevice device;
    const testing::TempFolder folder("tovik-late");
    const testing::Bytes wav = testing::steadyWav(22050, 1.0);
    const std::filesystem::path dindin = folder.write("dindin.wav", wav);
    DeviceAudioOutput output([&](SampleSource& source) {
        std::this_thread::sleep_for(std::chrono::seconds(2));  // a slow sound server
        return device.opener()(source);
    });
    output.playFile(dindin);
    for (int waited = 0; !device.isOpen(); ++waited) {
        ASSERT_LT(waited, 1000) << "the device never opened";
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(device.pull(kFrames), kSilence);
    output.playFile(dindin);
    EXPECT_TRUE(device.hears(startOf(wav)));
}

}  // namespace
}  // namespace tovik::sound
