#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace tovik::sound {

// The fmt chunk's format tags of the encodings the game plays.
inline constexpr std::uint16_t kWavPcm = 0x0001;
inline constexpr std::uint16_t kWavIeeeFloat = 0x0003;
inline constexpr std::uint16_t kWavALaw = 0x0006;
inline constexpr std::uint16_t kWavMuLaw = 0x0007;
inline constexpr std::uint16_t kWavExtensible = 0xFFFE;  // the real tag is in its sub-format

// What is read of a WAV file's header before any sample is decoded.
struct WavFormat {
    std::uint16_t encoding = 0;  // the fmt chunk's format tag (the sub-format for extensible files)
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::size_t dataOffset = 0;  // where the samples start, counted from the first byte of the file
    std::size_t dataSize = 0;    // bytes of samples

    std::size_t frameBytes() const { return std::size_t{channels} * (bitsPerSample / 8u); }
    std::size_t frames() const { return dataSize / frameBytes(); }
};

// The sound files are short effects; anything bigger is not read at all, so a wrong file can
// never hold up a click.
inline constexpr std::uintmax_t kMaxWavFileSize = 16u * 1024u * 1024u;

// What real sound files use: from old 4 kHz speech to studio rates, from mono to 7.1, and no
// effect longer than half a minute. Outside these a file is damaged or hostile, and it is
// refused before a sample is decoded, so that what is decoded stays small whatever the header
// claims.
inline constexpr std::uint32_t kMinWavSampleRate = 4000;
inline constexpr std::uint32_t kMaxWavSampleRate = 384000;
inline constexpr std::uint16_t kMaxWavChannels = 8;
inline constexpr std::uint32_t kMaxWavSeconds = 30;

// Reads the header of a whole WAV file held in memory. Gives nothing unless the bytes are a
// RIFF/WAVE file the game can play: a fmt chunk before the data chunk, an encoding the game
// plays (integer PCM, 32-bit float, A-law, mu-law, plain or extensible), a rate and channel count
// within the bounds above, between one whole frame and kMaxWavSeconds of samples, and no chunk,
// the RIFF one included, that reaches past the end of the bytes.
std::optional<WavFormat> parseWav(std::span<const std::uint8_t> bytes);

// Reads the whole file at `file` and checks it with parseWav. Gives nothing for a missing,
// unreadable, oversized or malformed file. Float samples come back within full scale, with
// silence for any that is not a number.
std::optional<std::vector<std::uint8_t>> readPlayableWav(const std::filesystem::path& file);

}  // namespace tovik::sound
