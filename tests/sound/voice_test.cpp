#include "sound/voice.h"

#include <gtest/gtest.h>

namespace tovik::sound {
namespace {

std::shared_ptr<const Pcm> sound(std::vector<std::int16_t> samples) {
    return std::make_shared<const Pcm>(Pcm{std::move(samples)});
}

std::vector<std::int16_t> pull(Voice& voice, std::size_t samples) {
    std::vector<std::int16_t> out(samples, 7);  // not silence, so that every sample is written
    voice.fill(out);
    return out;
}

TEST(Voice, IsSilentUntilASoundStarts) {
    Voice voice;
    EXPECT_EQ(pull(voice, 4), (std::vector<std::int16_t>{0, 0, 0, 0}));
}

TEST(Voice, PlaysASoundOnceAndThenFallsSilent) {
    Voice voice;
    voice.start(sound({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(pull(voice, 4), (std::vector<std::int16_t>{1, 2, 3, 4}));
    EXPECT_EQ(pull(voice, 4), (std::vector<std::int16_t>{5, 6, 0, 0}));
    EXPECT_EQ(pull(voice, 4), (std::vector<std::int16_t>{0, 0, 0, 0}));
}

TEST(Voice, ANewSoundCutsOffTheOneStillPlayingAndStartsFromItsBeginning) {
    Voice voice;
    const auto strike = sound({1, 2, 3, 4, 5, 6});
    voice.start(strike);
    EXPECT_EQ(pull(voice, 2), (std::vector<std::int16_t>{1, 2}));
    voice.start(sound({9, 8, 7, 6}));
    EXPECT_EQ(pull(voice, 2), (std::vector<std::int16_t>{9, 8}));
    // The same sound again starts over.
    voice.start(strike);
    EXPECT_EQ(pull(voice, 2), (std::vector<std::int16_t>{1, 2}));
    voice.start(strike);
    EXPECT_EQ(pull(voice, 8), (std::vector<std::int16_t>{1, 2, 3, 4, 5, 6, 0, 0}));
    // Nothing at all silences it.
    voice.start(nullptr);
    voice.start(strike);
    voice.start(nullptr);
    EXPECT_EQ(pull(voice, 2), (std::vector<std::int16_t>{0, 0}));
}

}  // namespace
}  // namespace tovik::sound
