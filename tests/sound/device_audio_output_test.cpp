#include "sound/device_audio_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>

#include "sound/default_sound.h"
#include "sound/sdl/sdl_sound_device.h"
#include "support/fake_sound_devices.h"
#include "temp_folder.h"
#include "wav_bytes.h"

// The game's sound output on a device the test pulls by hand: what the test pulls is exactly
// what the speakers would play.

namespace tovik::sound {
namespace {

using Clock = std::chrono::steady_clock;
using tovik::testing::HandPulledDevice;
using tovik::testing::HungDevice;

// A click must never wait for the sound: far above the microseconds it takes, far below a
// second a player would notice.
constexpr auto kAtOnce = std::chrono::milliseconds(200);

constexpr std::size_t kFrames = 64;

// The first frames of `wav` as the device plays them.
std::vector<std::int16_t> startOf(std::span<const std::uint8_t> wav) {
    const std::optional<Pcm> pcm = convertWav(wav, kPlaybackRate, kPlaybackChannels);
    return {pcm->samples.begin(),
            pcm->samples.begin() + static_cast<std::ptrdiff_t>(kFrames * kPlaybackChannels)};
}

// The first frames of a steady 22 kHz sound at `level`. SDL's resampler works through a long
// sound in pieces, so its first frames depend a little on the length too.
std::vector<std::int16_t> steadyStart(std::uint8_t level, double seconds = 1.0) {
    return startOf(testing::steadyWav(22050, seconds, level));
}

std::vector<std::int16_t> defaultStart() {
    return startOf(defaultSoundWav());
}

// Plays `file` and says how long the call took.
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
        EXPECT_TRUE(other.hears(defaultStart()));
    }
    EXPECT_FALSE(other.isOpen());  // closed with the output
    EXPECT_EQ(warnings.str(), "");
}

TEST_F(DeviceAudioOutputTest, PlaysEachFileAndTheNewestCutsOffTheOneBefore) {
    const std::filesystem::path ydar = steadyFile("ydar.wav", 0xA0, 2.0);
    const std::filesystem::path ydar2 = steadyFile("ydar2.wav", 0x60, 2.0);

    EXPECT_LT(timedPlay(output, ydar), kAtOnce);  // two seconds of sound, yet the click is over
    EXPECT_TRUE(device.hears(steadyStart(0xA0, 2.0)));
    output.playFile(ydar2);  // the opponent strikes back before the first sound ends
    EXPECT_TRUE(device.hears(steadyStart(0x60, 2.0)));
    output.playFile(folder.path() / "missing.wav");
    EXPECT_TRUE(device.hears(defaultStart()));
    output.playFile(ydar);
    EXPECT_TRUE(device.hears(steadyStart(0xA0, 2.0)));
}

TEST_F(DeviceAudioOutputTest, TheSameSoundTwiceStartsAgainFromItsBeginning) {
    // A steady start, then a rise: hearing the steady start again means it started over.
    testing::Bytes ramp(kFrames, 0xA0);
    for (int i = 0; i < 4000; ++i) {
        ramp.push_back(static_cast<std::uint8_t>(0xA1 + i / 100));
    }
    const testing::Bytes wav = testing::riffWave(
        {testing::chunk("fmt ", testing::fmtBody(1, 1, 48000, 8)), testing::chunk("data", ramp)});
    const std::filesystem::path ydar = folder.write("ydar.wav", wav);
    output.playFile(ydar);
    ASSERT_TRUE(device.hears(startOf(wav)));
    EXPECT_NE(device.pull(kFrames), startOf(wav));
    output.playFile(ydar);
    EXPECT_TRUE(device.hears(startOf(wav)));
}

TEST_F(DeviceAudioOutputTest, ASoundPlaysOnceAndStops) {
    const testing::Bytes health = testing::steadyWav(22050, 0.01, 0xA0);
    output.playFile(folder.write("health.wav", health));
    ASSERT_TRUE(device.hears(startOf(health)));
    device.pull(kPlaybackRate);
    EXPECT_EQ(device.pull(kFrames), std::vector<std::int16_t>(kFrames * kPlaybackChannels, 0));
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
        EXPECT_TRUE(device.hears(defaultStart()));
        // Once known, a damaged file costs nothing again.
        EXPECT_LT(timedPlay(output, file), kAtOnce);
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
    const std::string said = warnings.str();
    EXPECT_EQ(said, "silent: 1\n");
}

TEST(DeviceAudioOutput, ASoundServerThatNeverAnswersHoldsUpNeitherAClickNorTheEnd) {
    HungDevice server;
    std::ostringstream warnings;
    {
        const testing::TempFolder folder("tovik-hung");
        const std::filesystem::path dindin = folder.write("dindin.wav", testing::toneWav(0.5));
        DeviceAudioOutput output(server.opener(), warnings);
        output.prepare();
        ASSERT_TRUE(server.isOpening());
        for (int i = 0; i < 5; ++i) {
            EXPECT_LT(timedPlay(output, dindin), kAtOnce);
        }
        const Clock::time_point leaving = Clock::now();
        {
            DeviceAudioOutput second(server.opener(), warnings);
            second.playFile(dindin);
        }
        // The end of the game waits a moment for the device, then leaves it behind.
        EXPECT_LT(Clock::now() - leaving, std::chrono::seconds(2));
    }
    // The server answers at last, after the game has closed: nothing more is said.
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
        // A sound server that takes two seconds to answer.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        return device.opener()(source);
    });
    output.playFile(dindin);
    for (int waited = 0; !device.isOpen(); ++waited) {
        ASSERT_LT(waited, 1000) << "the device never opened";
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(device.pull(kFrames), std::vector<std::int16_t>(kFrames * kPlaybackChannels, 0));
    output.playFile(dindin);
    EXPECT_TRUE(device.hears(startOf(wav)));
}

}  // namespace
}  // namespace tovik::sound
