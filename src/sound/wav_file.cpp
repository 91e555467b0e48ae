#include "sound/wav_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string_view>
#include <system_error>

namespace tovik::sound {

namespace {

// An extensible file names its real encoding by a GUID whose first two bytes are the old
// format tag and whose other fourteen are always these.
constexpr std::array<std::uint8_t, 14> kSubFormatTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                         0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t u16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t u32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

bool hasTag(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view tag) {
    return std::equal(tag.begin(), tag.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char t, std::uint8_t b) { return static_cast<std::uint8_t>(t) == b; });
}

bool bitsFitEncoding(std::uint16_t encoding, std::uint16_t bits) {
    switch (encoding) {
        case kWavPcm:
            return bits == 8 || bits == 16 || bits == 24 || bits == 32;
        case kWavIeeeFloat:
            return bits == 32;  // what the sound library reads; doubles are unheard of in effects
        case kWavALaw:
        case kWavMuLaw:
            return bits == 8;
        default:
            return false;
    }
}

std::optional<WavFormat> readFormat(std::span<const std::uint8_t> fmt) {
    if (fmt.size() < 16) {
        return std::nullopt;
    }
    WavFormat format;
    format.encoding = u16(fmt, 0);
    format.channels = u16(fmt, 2);
    format.sampleRate = u32(fmt, 4);
    const std::uint16_t blockAlign = u16(fmt, 12);
    format.bitsPerSample = u16(fmt, 14);

    if (format.encoding == kWavExtensible) {
        if (fmt.size() < 40 || u16(fmt, 16) < 22 ||
            !std::equal(kSubFormatTail.begin(), kSubFormatTail.end(), fmt.begin() + 26)) {
            return std::nullopt;
        }
        format.encoding = u16(fmt, 24);
    }
    if (!bitsFitEncoding(format.encoding, format.bitsPerSample) || format.channels == 0 ||
        format.channels > kMaxWavChannels || format.sampleRate < kMinWavSampleRate ||
        format.sampleRate > kMaxWavSampleRate ||
        blockAlign != format.channels * (format.bitsPerSample / 8)) {
        return std::nullopt;
    }
    return format;
}

// Sets every float sample that is not a number or lies beyond full scale to silence or to
// full scale: a damaged float file may hold anything, and the sound library turns a NaN into a
// full-scale click.
void tameFloats(std::span<std::uint8_t> samples) {
    // Through memcpy: the page's standard library has no std::bit_cast yet.
    static_assert(sizeof(float) == sizeof(std::uint32_t));
    for (std::size_t at = 0; at + 4 <= samples.size(); at += 4) {
        const std::uint32_t bits = u32(samples, at);
        float value = 0;
        std::memcpy(&value, &bits, 4);
        if (!std::isfinite(value) || std::abs(value) > 1.0f) {
            value = std::isnan(value) ? 0.0f : std::copysign(1.0f, value);
            std::uint32_t tamed = 0;
            std::memcpy(&tamed, &value, 4);
            for (std::size_t i = 0; i < 4; ++i) {
                samples[at + i] = static_cast<std::uint8_t>(tamed >> (8 * i));
            }
        }
    }
}

}  // namespace

std::optional<WavFormat> parseWav(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12 || !hasTag(bytes, 0, "RIFF") || !hasTag(bytes, 8, "WAVE")) {
        return std::nullopt;
    }
    // A RIFF chunk longer than the file means the file was cut short.
    const std::uint64_t riffEnd = std::uint64_t{8} + u32(bytes, 4);
    if (riffEnd < 12 || riffEnd > bytes.size()) {
        return std::nullopt;
    }
    const auto end = static_cast<std::size_t>(riffEnd);

    std::optional<WavFormat> format;
    std::size_t at = 12;
    while (end - at >= 8) {
        const std::size_t body = at + 8;
        const std::uint32_t size = u32(bytes, at + 4);
        if (size > end - body) {
            return std::nullopt;
        }
        if (hasTag(bytes, at, "fmt ") && !format) {
            format = readFormat(bytes.subspan(body, size));
            if (!format) {
                return std::nullopt;
            }
        } else if (hasTag(bytes, at, "data")) {
            // The format comes before the samples, as the RIFF rules ask.
            if (!format) {
                return std::nullopt;
            }
            // Judged by its length, not its bytes: a few kilobytes at a rate of 1 Hz would be
            // hours of sound once converted for the speakers.
            const std::uint64_t frames = size / format->frameBytes();
            if (frames == 0 || frames > std::uint64_t{format->sampleRate} * kMaxWavSeconds) {
                return std::nullopt;
            }
            format->dataOffset = body;
            format->dataSize = size;
            return format;
        }
        // Chunks start on even offsets; the pad byte after the last chunk may be missing.
        at = body + std::min<std::size_t>(size + (size & 1u), end - body);
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> readPlayableWav(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kMaxWavFileSize) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    // A file that shrank between the size check and the read is as bad as a malformed one.
    if (in.gcount() != static_cast<std::streamsize>(bytes.size())) {
        return std::nullopt;
    }
    const std::optional<WavFormat> format = parseWav(bytes);
    if (!format) {
        return std::nullopt;
    }
    if (format->encoding == kWavIeeeFloat) {
        tameFloats(std::span(bytes).subspan(format->dataOffset, format->dataSize));
    }
    return bytes;
}

}  // namespace tovik::sound
