#include "sound/wav_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "sound/default_sound.h"
#include "sound/sdl/sdl_sound_device.h"
#include "sound/wave_player.h"
#include "support/recording_audio_output.h"
#include "wav_bytes.h"

namespace tovik::sound {
namespace {

using testing::Bytes;

// The header reader decides what plays: what it lets through, SDL must read too.
TEST(WavFile, AcceptsAndConvertsEveryGoodFileAndRejectsEveryDamagedOne) {
    std::vector<testing::NamedWav> good = testing::goodWavs();
    good.push_back({"the built-in sound", defaultSoundWav()});
    for (const testing::NamedWav& wav : good) {
        SCOPED_TRACE(wav.name);
        ASSERT_TRUE(parseWav(wav.bytes));
        const std::optional<Pcm> pcm = convertWav(wav.bytes, kPlaybackRate, kPlaybackChannels);
        ASSERT_TRUE(pcm);
        EXPECT_GT(pcm->samples.size(), 0u);
        EXPECT_LE(pcm->samples.size(),
                  std::size_t{kMaxWavSeconds} * kPlaybackRate * kPlaybackChannels + 1024);
    }
    for (const testing::NamedWav& wav : testing::badWavs()) {
        EXPECT_FALSE(parseWav(wav.bytes)) << wav.name;
    }
}

TEST(WavFile, RejectsAGoodFileCutAtAnyByteAndSurvivesDamagedBytes) {
    const Bytes good = testing::riffWave({testing::chunk("fmt ", testing::fmtBody(1, 1, 8000, 8)),
                                          testing::chunk("LIST", Bytes(3, 'x')),
                                          testing::chunk("data", Bytes(20, 0x80))});
    ASSERT_TRUE(parseWav(good));
    for (std::size_t length = 0; length < good.size(); ++length) {
        // Copied, so that a read past the cut lands outside the buffer where ASan sees it.
        EXPECT_FALSE(parseWav(Bytes(good.begin(), good.begin() + static_cast<long>(length))))
            << length;
    }
    // Flipped bytes may leave a playable file; the samples it reports must lie inside it.
    std::srand(7);
    for (int round = 0; round < 2000; ++round) {
        Bytes damaged = testing::toneWav(0.01);
        for (int flips = 0; flips < 4; ++flips) {
            damaged[static_cast<std::size_t>(std::rand()) % 48] =
                static_cast<std::uint8_t>(std::rand());
        }
        if (const std::optional<WavFormat> format = parseWav(damaged)) {
            EXPECT_LE(format->dataOffset + format->dataSize, damaged.size());
        }
    }
}

TEST(WavFile, ReadsOnlyPlayableFilesFromDisk) {
    const testing::TempFolder folder("tovik-wav");
    const Bytes good = testing::toneWav(0.05);
    EXPECT_EQ(readPlayableWav(folder.write("ydar.wav", good)), good);
    // A valid header followed by far more than any sound effect: not even read.
    const std::filesystem::path huge = folder.write("huge.wav", good);
    std::filesystem::resize_file(huge, kMaxWavFileSize + 1);
    EXPECT_FALSE(readPlayableWav(huge));
}

TEST(DefaultSound, IsAShortSoftPlayableBlip) {
    const std::optional<Pcm> pcm = convertWav(defaultSoundWav(), kPlaybackRate, 1);
    ASSERT_TRUE(pcm);
    const std::vector<std::int16_t>& samples = pcm->samples;
    const double seconds = static_cast<double>(samples.size()) / kPlaybackRate;
    EXPECT_GT(seconds, 0.05);
    EXPECT_LT(seconds, 0.3);
    const auto loudest = std::max_element(samples.begin(), samples.end(),
                                          [](int a, int b) { return std::abs(a) < std::abs(b); });
    // Heard, but soft; and it fades in and out rather than clicking.
    EXPECT_GT(std::abs(*loudest), 32767 / 10);
    EXPECT_LT(std::abs(*loudest), 32767 / 4);
    EXPECT_LT(std::abs(samples.front()), 200);
    EXPECT_LT(std::abs(samples.back()), 200);
}

TEST(WavePlayer, HandsItsFileToTheOutputOnEveryPlayLetterForLetter) {
    // A folder named in Russian must reach the file system as its UTF-8 bytes, and a backslash
    // belongs to the name, not to the path.
    RecordingAudioOutput output;
    WavePlayer player(output);
    for (const char* file :
         {"/opt/tovik/TovikSound/ydar.wav", "/opt/tovik/TovikSound/ydar.wav",
          "/home/игрок/Товик Ларминов/TovikSound/dindin.wav", "/opt/Товик\\2/TovikSound/a.wav"}) {
        player.Filename = file;
        player.Play();
        EXPECT_EQ(output.played.back().native(), file);
    }
    EXPECT_EQ(output.played.size(), 4u);
    EXPECT_EQ(output.played.back().parent_path().parent_path(),
              std::filesystem::path(u8"/opt/Товик\\2"));
}

}  // namespace
}  // namespace tovik::sound
