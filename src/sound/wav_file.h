#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace tovik::sound {

// What is checked of a WAV file before the mixer is given it.
struct WavFormat {
    std::uint16_t encoding = 0;  // the fmt chunk's format tag (the sub-format for extensible files)
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::size_t dataOffset = 0;  // where the samples start, counted from the first byte of the file
    std::size_t dataSize = 0;    // bytes of samples
};

// The sound files are short effects; anything bigger is not read at all, so a wrong file can
// never hold up a click.
inline constexpr std::uintmax_t kMaxWavFileSize = 16u * 1024u * 1024u;

// Reads the header of a whole WAV file held in memory. Gives nothing unless the bytes are a
// RIFF/WAVE file the mixer can play: a fmt chunk before the data chunk, an encoding the mixer
// decodes (integer PCM, float, A-law, mu-law, plain or extensible), at least one whole frame of
// samples, and no chunk, the RIFF one included, that reaches past the end of the bytes.
std::optional<WavFormat> parseWav(std::span<const std::uint8_t> bytes);

// Reads the whole file at `file` and checks it with parseWav. Gives nothing for a missing,
// unreadable, oversized or malformed file.
std::optional<std::vector<std::uint8_t>> readPlayableWav(const std::filesystem::path& file);

}  // namespace tovik::sound
