#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace tovik::sound {

// What the speakers are given: every sound is turned into this one format when it is decoded,
// so the device never converts and one voice can play any file.
inline constexpr std::uint32_t kPlaybackRate = 48000;
inline constexpr std::uint16_t kPlaybackChannels = 2;

// A decoded sound: signed 16-bit samples, left and right interleaved, at kPlaybackRate.
struct Pcm {
    std::vector<std::int16_t> samples;

    std::size_t frames() const { return samples.size() / kPlaybackChannels; }
};

// Decodes a whole WAV file held in memory into the playback format: every encoding parseWav
// accepts, mono heard on both sides, more than two channels mixed down, any rate converted.
// Gives nothing for bytes parseWav refuses. The header is checked before anything is
// allocated, so the result is never longer than kMaxWavSeconds and the work stays in step.
std::optional<Pcm> decodeWav(std::span<const std::uint8_t> wav);

}  // namespace tovik::sound
