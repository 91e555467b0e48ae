#include "sound/wav_decoder.h"

#include <gtest/gtest.h>

#include <chrono>

#include "sound/default_sound.h"
#include "sound/wav_file.h"
#include "wav_bytes.h"

namespace tovik::sound {
namespace {

using testing::Bytes;
using testing::chunk;
using testing::fmtBody;
using testing::riffWave;

// The first left and right samples decoded from a file of one steady frame repeated.
std::pair<int, int> steadyLevel(std::uint16_t encoding, std::uint16_t channels, std::uint16_t bits,
                                const Bytes& frame, bool extensible = false) {
    Bytes samples;
    for (int i = 0; i < 100; ++i) {
        samples.insert(samples.end(), frame.begin(), frame.end());
    }
    const Bytes fmt = extensible ? testing::extensibleFmtBody(encoding, channels, 48000, bits)
                                 : fmtBody(encoding, channels, 48000, bits);
    const std::optional<Pcm> pcm =
        decodeWav(riffWave({chunk("fmt ", fmt), chunk("data", samples)}));
    if (!pcm || pcm->frames() != 100) {
        ADD_FAILURE() << "not decoded to 100 frames";
        return {0, 0};
    }
    return {pcm->samples[100], pcm->samples[101]};  // frame 50
}

TEST(WavDecoder, DecodesEveryEncodingToTheSameLevel) {
    // Half of full scale, written in each encoding the game accepts.
    EXPECT_EQ(steadyLevel(1, 1, 8, {0xC0}), std::pair(16384, 16384));
    EXPECT_EQ(steadyLevel(1, 1, 16, {0x00, 0x40}), std::pair(16384, 16384));
    EXPECT_EQ(steadyLevel(1, 1, 24, {0x00, 0x00, 0x40}), std::pair(16384, 16384));
    EXPECT_EQ(steadyLevel(1, 1, 32, {0x00, 0x00, 0x00, 0x40}), std::pair(16384, 16384));
    EXPECT_EQ(steadyLevel(3, 1, 32, {0x00, 0x00, 0x00, 0x3F}), std::pair(16384, 16384));  // 0.5f
    EXPECT_EQ(steadyLevel(3, 1, 64, {0, 0, 0, 0, 0, 0, 0xE0, 0x3F}), std::pair(16384, 16384));
    EXPECT_EQ(steadyLevel(1, 1, 16, {0x00, 0x40}, true), std::pair(16384, 16384));
    // Negative values keep their sign, and 8-bit samples are unsigned around 128.
    EXPECT_EQ(steadyLevel(1, 1, 8, {0x40}), std::pair(-16384, -16384));
    EXPECT_EQ(steadyLevel(1, 1, 16, {0x00, 0xC0}), std::pair(-16384, -16384));
    EXPECT_EQ(steadyLevel(1, 1, 24, {0x00, 0x00, 0xC0}), std::pair(-16384, -16384));
    // G.711: 0xD5 and 0xFF are silence in A-law and mu-law; 0xAA and 0x80 are near full scale.
    EXPECT_EQ(steadyLevel(6, 1, 8, {0xD5}), std::pair(8, 8));
    EXPECT_EQ(steadyLevel(7, 1, 8, {0xFF}), std::pair(0, 0));
    EXPECT_EQ(steadyLevel(6, 1, 8, {0xAA}), std::pair(32256, 32256));
    EXPECT_EQ(steadyLevel(7, 1, 8, {0x80}), std::pair(32124, 32124));
    EXPECT_EQ(steadyLevel(7, 1, 8, {0x00}), std::pair(-32124, -32124));
}

TEST(WavDecoder, KeepsStereoAndMixesWiderFilesDown) {
    EXPECT_EQ(steadyLevel(1, 2, 16, {0x00, 0x40, 0x00, 0xE0}), std::pair(16384, -8192));
    // Four channels at 1/2, 1/4, 0 and -1/4 of full scale: each side hears their mean.
    EXPECT_EQ(steadyLevel(1, 4, 16, {0x00, 0x40, 0x00, 0x20, 0x00, 0x00, 0x00, 0xE0}),
              std::pair(4096, 4096));
}

TEST(WavDecoder, ClampsFloatsOutsideFullScaleAndSilencesNonsense) {
    EXPECT_EQ(steadyLevel(3, 1, 32, {0x00, 0x00, 0x00, 0x40}), std::pair(32767, 32767));  // 2.0
    EXPECT_EQ(steadyLevel(3, 1, 32, {0x00, 0x00, 0x00, 0xC0}), std::pair(-32768, -32768));
    EXPECT_EQ(steadyLevel(3, 1, 32, {0x00, 0x00, 0xC0, 0x7F}), std::pair(0, 0));  // NaN
    EXPECT_EQ(steadyLevel(3, 1, 32, {0x00, 0x00, 0x80, 0x7F}), std::pair(0, 0));  // infinity
}

TEST(WavDecoder, ConvertsEveryRateToThePlaybackRateKeepingTheLength) {
    for (const std::uint32_t rate :
         {4000u, 8000u, 11025u, 22050u, 44100u, 48000u, 96000u, 384000u}) {
        SCOPED_TRACE(rate);
        const std::optional<Pcm> pcm = decodeWav(testing::steadyWav(rate, 0.5));
        ASSERT_TRUE(pcm);
        EXPECT_NEAR(static_cast<double>(pcm->frames()), 0.5 * kPlaybackRate,
                    1.0 + static_cast<double>(kPlaybackRate) / rate);
        // A steady level stays steady through the conversion, to its last frame.
        for (const std::int16_t sample : pcm->samples) {
            ASSERT_EQ(sample, 16384);
        }
    }
}

TEST(WavDecoder, InterpolatesBetweenFramesWhenRaisingTheRate) {
    // 24 kHz to 48 kHz: every other frame falls halfway between two of the file's.
    Bytes samples;
    testing::put16(samples, 0);
    testing::put16(samples, 1000);
    testing::put16(samples, 3000);
    const std::optional<Pcm> pcm =
        decodeWav(riffWave({chunk("fmt ", fmtBody(1, 1, 24000, 16)), chunk("data", samples)}));
    ASSERT_TRUE(pcm);
    ASSERT_EQ(pcm->frames(), 6u);
    const std::vector<std::int16_t> left = {pcm->samples[0], pcm->samples[2], pcm->samples[4],
                                            pcm->samples[6], pcm->samples[8], pcm->samples[10]};
    EXPECT_EQ(left, (std::vector<std::int16_t>{0, 500, 1000, 2000, 3000, 3000}));
}

TEST(WavDecoder, DecodesTheBuiltInSound) {
    const std::optional<Pcm> pcm = decodeWav(defaultSoundWav());
    ASSERT_TRUE(pcm);
    EXPECT_GT(pcm->frames(), kPlaybackRate / 20);
    EXPECT_LT(pcm->frames(), kPlaybackRate / 3);
}

TEST(WavDecoder, RefusesEveryDamagedFileAtOnce) {
    // The header is judged before anything is decoded: the hours-long files cost nothing.
    for (const testing::NamedWav& wav : testing::badWavs()) {
        SCOPED_TRACE(wav.name);
        const auto before = std::chrono::steady_clock::now();
        EXPECT_FALSE(decodeWav(wav.bytes));
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(200));
    }
}

TEST(WavDecoder, DecodesEveryGoodFile) {
    for (const testing::NamedWav& wav : testing::goodWavs()) {
        SCOPED_TRACE(wav.name);
        const std::optional<Pcm> pcm = decodeWav(wav.bytes);
        ASSERT_TRUE(pcm);
        EXPECT_GT(pcm->frames(), 0u);
        EXPECT_LE(pcm->frames(), std::size_t{kMaxWavSeconds} * kPlaybackRate);
    }
}

}  // namespace
}  // namespace tovik::sound
