#pragma once

// Builds WAV files byte by byte, so the tests can make good files and break them on purpose.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

namespace tovik::sound::testing {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

inline void put32(Bytes& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

inline void putTag(Bytes& out, std::string_view tag) {
    out.insert(out.end(), tag.begin(), tag.end());
}

// One chunk: its tag, its body and the size written in its header (the body's own size unless
// a test lies about it). Odd bodies get their pad byte.
inline Bytes chunk(std::string_view tag, const Bytes& body, std::int64_t declared = -1) {
    Bytes out;
    putTag(out, tag);
    put32(out, static_cast<std::uint32_t>(declared >= 0 ? declared
                                                        : static_cast<std::int64_t>(body.size())));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) {
        out.push_back(0);
    }
    return out;
}

inline Bytes riffWave(const std::vector<Bytes>& chunks) {
    Bytes body;
    for (const Bytes& c : chunks) {
        body.insert(body.end(), c.begin(), c.end());
    }
    Bytes out;
    putTag(out, "RIFF");
    put32(out, static_cast<std::uint32_t>(body.size() + 4));
    putTag(out, "WAVE");
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

inline Bytes fmtBody(std::uint16_t encoding, std::uint16_t channels, std::uint32_t rate,
                     std::uint16_t bits) {
    Bytes out;
    put16(out, encoding);
    put16(out, channels);
    put32(out, rate);
    put32(out, rate * channels * (bits / 8u));
    put16(out, channels * (bits / 8u));
    put16(out, bits);
    return out;
}

// The extensible form of the same format: the real encoding sits in the sub-format GUID.
inline Bytes extensibleFmtBody(std::uint16_t encoding, std::uint16_t channels, std::uint32_t rate,
                               std::uint16_t bits) {
    Bytes out = fmtBody(0xFFFE, channels, rate, bits);
    put16(out, 22);    // extra bytes
    put16(out, bits);  // valid bits
    put32(out, channels == 1 ? 0x4 : 0x3);
    put16(out, encoding);
    for (const std::uint8_t b :
         {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}) {
        out.push_back(b);
    }
    return out;
}

// `seconds` of a quiet 440 Hz tone as 16-bit mono samples at 22,050 Hz.
inline Bytes toneSamples(double seconds) {
    Bytes out;
    const auto count = static_cast<int>(seconds * 22050);
    for (int i = 0; i < count; ++i) {
        const double wave = std::sin(2.0 * std::numbers::pi * 440.0 * i / 22050.0);
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(wave * 3000)));
    }
    return out;
}

inline Bytes toneWav(double seconds) {
    return riffWave({chunk("fmt ", fmtBody(1, 1, 22050, 16)), chunk("data", toneSamples(seconds))});
}

}  // namespace tovik::sound::testing

namespace tovik::sound::testing {

struct NamedWav {
    std::string name;
    Bytes bytes;
};

// `seconds` of 8-bit mono samples at `rate`, all at one level.
inline Bytes steadyWav(std::uint32_t rate, double seconds, std::uint8_t level = 0xC0) {
    return riffWave({chunk("fmt ", fmtBody(1, 1, rate, 8)),
                     chunk("data", Bytes(static_cast<std::size_t>(rate * seconds), level))});
}

// Files the game must play as they are.
inline std::vector<NamedWav> goodWavs() {
    const Bytes samples = toneSamples(0.05);
    Bytes oddSamples(301, 0x80);
    Bytes noPadAtEnd = riffWave({chunk("fmt ", fmtBody(1, 1, 8000, 8)), chunk("data", oddSamples)});
    noPadAtEnd.pop_back();
    noPadAtEnd[4] -= 1;  // the RIFF size leaves out the missing pad byte
    Bytes trailing = toneWav(0.05);
    trailing.insert(trailing.end(), {'j', 'u', 'n', 'k'});
    return {
        {"16-bit mono", toneWav(0.05)},
        {"8-bit stereo",
         riffWave({chunk("fmt ", fmtBody(1, 2, 11025, 8)), chunk("data", Bytes(2000, 0x80))})},
        {"24-bit mono",
         riffWave({chunk("fmt ", fmtBody(1, 1, 44100, 24)), chunk("data", Bytes(3000, 0))})},
        {"32-bit float",
         riffWave({chunk("fmt ", fmtBody(3, 1, 22050, 32)), chunk("data", Bytes(4000, 0))})},
        {"A-law",
         riffWave({chunk("fmt ", fmtBody(6, 1, 8000, 8)), chunk("data", Bytes(800, 0xD5))})},
        {"mu-law",
         riffWave({chunk("fmt ", fmtBody(7, 1, 8000, 8)), chunk("data", Bytes(800, 0xFF))})},
        {"extensible 16-bit stereo", riffWave({chunk("fmt ", extensibleFmtBody(1, 2, 22050, 16)),
                                               chunk("data", Bytes(4000, 0))})},
        {"odd LIST chunk before the data",
         riffWave({chunk("fmt ", fmtBody(1, 1, 22050, 16)), chunk("LIST", Bytes(7, 'x')),
                   chunk("data", samples)})},
        {"no pad byte after an odd last chunk", noPadAtEnd},
        {"bytes after the RIFF chunk", trailing},
        {"the lowest rate, 4 kHz", steadyWav(4000, 0.1)},
        {"the highest rate, 384 kHz",
         riffWave({chunk("fmt ", fmtBody(1, 2, 384000, 16)), chunk("data", Bytes(4000, 0))})},
        {"eight channels",
         riffWave({chunk("fmt ", fmtBody(1, 8, 48000, 16)), chunk("data", Bytes(1600, 0))})},
        {"32-bit integer stereo",
         riffWave({chunk("fmt ", fmtBody(1, 2, 44100, 32)), chunk("data", Bytes(800, 0))})},
        {"the longest sound, 30 seconds", steadyWav(4000, 30.0)},
    };
}

// Damaged files, each of which must give the built-in sound and nothing worse.
inline std::vector<NamedWav> badWavs() {
    const Bytes samples = toneSamples(0.05);
    const Bytes good = toneWav(0.05);
    const Bytes fmt = chunk("fmt ", fmtBody(1, 1, 22050, 16));
    const auto withFmt = [&](const Bytes& body) {
        return riffWave({chunk("fmt ", body), chunk("data", samples)});
    };

    Bytes notRiff = good;
    notRiff[3] = 'X';
    Bytes notWave = good;
    notWave[8] = 'A', notWave[9] = 'V', notWave[10] = 'I', notWave[11] = ' ';
    Bytes riffSizeZero = good;
    riffSizeZero[4] = riffSizeZero[5] = riffSizeZero[6] = riffSizeZero[7] = 0;
    Bytes shortFmt = fmtBody(1, 1, 22050, 16);
    shortFmt.resize(14);
    Bytes badBlockAlign = fmtBody(1, 2, 22050, 16);
    badBlockAlign[12] = 2;
    Bytes foreignSubFormat = extensibleFmtBody(1, 1, 22050, 16);
    foreignSubFormat.back() ^= 0xFF;
    const std::string text = "Это не звук, а просто текст.";

    return {
        {"empty", {}},
        {"one byte", {'R'}},
        {"header cut off", Bytes(good.begin(), good.begin() + 20)},
        {"samples cut off", Bytes(good.begin(), good.begin() + static_cast<long>(good.size() / 2))},
        {"data chunk larger than the file",
         riffWave({fmt, chunk("data", samples, static_cast<std::int64_t>(samples.size()) + 1000)})},
        {"data chunk of four gigabytes", riffWave({fmt, chunk("data", samples, 0xFFFFFFF0)})},
        {"chunk before fmt running past the end",
         riffWave({chunk("LIST", Bytes(6, 0), 0xFFFFFFFF), fmt, chunk("data", samples)})},
        {"RIFX instead of RIFF", notRiff},
        {"RIFF but not WAVE", notWave},
        {"RIFF size zero", riffSizeZero},
        {"text", Bytes(text.begin(), text.end())},
        {"fmt chunk missing", riffWave({chunk("data", samples)})},
        {"data before fmt", riffWave({chunk("data", samples), fmt})},
        {"data chunk missing", riffWave({fmt, chunk("LIST", Bytes(10, 0))})},
        {"empty data chunk", riffWave({fmt, chunk("data", {})})},
        {"fmt chunk too short", withFmt(shortFmt)},
        {"MP3 encoding tag", withFmt(fmtBody(0x55, 1, 22050, 16))},
        {"encoding tag zero", withFmt(fmtBody(0, 1, 22050, 16))},
        {"no channels", withFmt(fmtBody(1, 0, 22050, 16))},
        {"sample rate zero", withFmt(fmtBody(1, 1, 0, 16))},
        {"12-bit samples", withFmt(fmtBody(1, 1, 22050, 12))},
        {"float with 16 bits", withFmt(fmtBody(3, 1, 22050, 16))},
        {"64-bit float, which the sound library does not read", withFmt(fmtBody(3, 1, 22050, 64))},
        {"frame size not matching the channels", withFmt(badBlockAlign)},
        {"extensible with a foreign sub-format", withFmt(foreignSubFormat)},
        {"rate below 4 kHz", withFmt(fmtBody(1, 1, 3999, 16))},
        {"rate above 384 kHz", withFmt(fmtBody(1, 1, 384001, 16))},
        {"nine channels",
         riffWave({chunk("fmt ", fmtBody(1, 9, 22050, 16)), chunk("data", Bytes(1800, 0))})},
        {"65535 channels",
         riffWave({chunk("fmt ", fmtBody(1, 0xFFFF, 22050, 8)), chunk("data", Bytes(0xFFFF, 0))})},
        {"longer than 30 seconds", steadyWav(4000, 30.01)},
        // Files that once crashed the game or held up its window for seconds: a few kilobytes
        // at 1 Hz are hours of sound, and so are 11.7 MB at 2 kHz and 16 MiB at 11 kHz.
        {"6 KB of 8-bit samples at 1 Hz", steadyWav(1, 6144)},
        {"3 KB of 8-bit samples at 1 Hz", steadyWav(1, 3072)},
        {"11.7 MB of 8-bit samples at 2 kHz", steadyWav(2000, 5850)},
        {"16 MiB of 8-bit samples at 11 kHz",
         riffWave({chunk("fmt ", fmtBody(1, 1, 11025, 8)),
                   chunk("data", Bytes(16u * 1024u * 1024u - 44u, 0x80))})},
    };
}

}  // namespace tovik::sound::testing
