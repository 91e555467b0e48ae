#include "sound/wav_decoder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "sound/wav_file.h"

namespace tovik::sound {

namespace {

std::uint32_t littleEndian(const std::uint8_t* at, unsigned bytes) {
    std::uint32_t value = 0;
    for (unsigned i = 0; i < bytes; ++i) {
        value |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    }
    return value;
}

// The G.711 expansions, giving the 16-bit value each 8-bit code stands for.
double aLaw(std::uint8_t code) {
    code ^= 0x55;
    const int exponent = (code >> 4) & 0x07;
    const int mantissa = code & 0x0F;
    int magnitude =
        exponent == 0 ? (mantissa << 4) + 8 : ((mantissa << 4) + 0x108) << (exponent - 1);
    return (code & 0x80) != 0 ? magnitude : -magnitude;
}

double muLaw(std::uint8_t code) {
    code = static_cast<std::uint8_t>(~code);
    const int exponent = (code >> 4) & 0x07;
    const int mantissa = code & 0x0F;
    const int magnitude = (((mantissa << 3) + 0x84) << exponent) - 0x84;
    return (code & 0x80) != 0 ? -magnitude : magnitude;
}

// One sample as a value in [-1, 1].
double sampleAt(const WavFormat& format, const std::uint8_t* at) {
    const unsigned bytes = format.bitsPerSample / 8u;
    switch (format.encoding) {
        case kWavPcm: {
            if (bytes == 1) {
                return (static_cast<double>(*at) - 128.0) / 128.0;  // 8-bit samples are unsigned
            }
            // Shifted to the top of 32 bits, so the sign is the sample's own.
            const auto value =
                static_cast<std::int32_t>(littleEndian(at, bytes) << (32 - 8 * bytes));
            return static_cast<double>(value) / 2147483648.0;
        }
        case kWavIeeeFloat: {
            double value = 0;
            if (bytes == 4) {
                value = std::bit_cast<float>(littleEndian(at, 4));
            } else {
                const std::uint64_t bits =
                    littleEndian(at, 4) | std::uint64_t{littleEndian(at + 4, 4)} << 32;
                value = std::bit_cast<double>(bits);
            }
            // A damaged float file may hold anything; none of it may reach the speakers.
            return std::isfinite(value) ? std::clamp(value, -1.0, 1.0) : 0.0;
        }
        case kWavALaw:
            return aLaw(*at) / 32768.0;
        case kWavMuLaw:
            return muLaw(*at) / 32768.0;
        default:
            return 0.0;
    }
}

std::int16_t toSample(double value) {
    return static_cast<std::int16_t>(
        std::lround(std::clamp(value, -1.0, 32767.0 / 32768.0) * 32768.0));
}

}  // namespace

std::optional<Pcm> decodeWav(std::span<const std::uint8_t> wav) {
    const std::optional<WavFormat> format = parseWav(wav);
    if (!format) {
        return std::nullopt;
    }
    const std::uint8_t* samples = wav.data() + format->dataOffset;
    const std::size_t frameBytes = format->frameBytes();
    const std::size_t inFrames = format->frames();
    const unsigned sampleBytes = format->bitsPerSample / 8u;

    // One frame of the file as left and right: stereo as it is, mono on both sides, anything
    // wider mixed down evenly, so no channel of a surround file is lost.
    const auto frameAt = [&](std::size_t frame) {
        const std::uint8_t* at = samples + frame * frameBytes;
        if (format->channels == 1) {
            const double mono = sampleAt(*format, at);
            return std::pair{mono, mono};
        }
        if (format->channels == 2) {
            return std::pair{sampleAt(*format, at), sampleAt(*format, at + sampleBytes)};
        }
        double sum = 0;
        for (unsigned channel = 0; channel < format->channels; ++channel) {
            sum += sampleAt(*format, at + channel * sampleBytes);
        }
        const double mixed = sum / format->channels;
        return std::pair{mixed, mixed};
    };

    // Linear interpolation between neighbouring frames: plenty for short effects, and it turns
    // a steady level into the same steady level.
    const std::uint64_t outFrames =
        (std::uint64_t{inFrames} * kPlaybackRate + format->sampleRate - 1) / format->sampleRate;
    Pcm pcm;
    pcm.samples.resize(static_cast<std::size_t>(outFrames) * kPlaybackChannels);
    const double step = static_cast<double>(format->sampleRate) / kPlaybackRate;
    for (std::size_t out = 0; out < outFrames; ++out) {
        const double position = static_cast<double>(out) * step;
        const auto before = std::min(static_cast<std::size_t>(position), inFrames - 1);
        const std::size_t after = std::min(before + 1, inFrames - 1);
        const double weight = position - static_cast<double>(before);
        const auto [leftBefore, rightBefore] = frameAt(before);
        const auto [leftAfter, rightAfter] = frameAt(after);
        pcm.samples[2 * out] = toSample(leftBefore + (leftAfter - leftBefore) * weight);
        pcm.samples[2 * out + 1] = toSample(rightBefore + (rightAfter - rightBefore) * weight);
    }
    return pcm;
}

}  // namespace tovik::sound
