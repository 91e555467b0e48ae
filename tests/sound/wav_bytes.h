#pragma once

// WAV files built byte by byte, good and broken on purpose, and folders to put them in.

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <string_view>
#include <system_error>
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

// One chunk, with the size its header declares (the body's own unless a test lies) and the
// pad byte of an odd body.
inline Bytes chunk(std::string_view tag, const Bytes& body, std::int64_t declared = -1) {
    Bytes out(tag.begin(), tag.end());
    put32(out, static_cast<std::uint32_t>(declared >= 0 ? declared
                                                        : static_cast<std::int64_t>(body.size())));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) {
        out.push_back(0);
    }
    return out;
}

inline Bytes riffWave(const std::vector<Bytes>& chunks) {
    Bytes out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks) {
        out.insert(out.end(), c.begin(), c.end());
    }
    const Bytes size = [&] {
        Bytes s;
        put32(s, static_cast<std::uint32_t>(out.size() - 8));
        return s;
    }();
    std::copy(size.begin(), size.end(), out.begin() + 4);
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

inline Bytes wav(const Bytes& fmt, const Bytes& samples) {
    return riffWave({chunk("fmt ", fmt), chunk("data", samples)});
}

// `seconds` of a quiet 440 Hz tone as 16-bit mono samples at 22,050 Hz.
inline Bytes toneSamples(double seconds) {
    Bytes out;
    for (int i = 0; i < static_cast<int>(seconds * 22050); ++i) {
        const double wave = std::sin(2.0 * std::numbers::pi * 440.0 * i / 22050.0);
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(wave * 3000)));
    }
    return out;
}

inline Bytes toneWav(double seconds) {
    return wav(fmtBody(1, 1, 22050, 16), toneSamples(seconds));
}

// `seconds` of 8-bit mono samples at `rate`, all at one level.
inline Bytes steadyWav(std::uint32_t rate, double seconds, std::uint8_t level = 0xC0) {
    return wav(fmtBody(1, 1, rate, 8), Bytes(static_cast<std::size_t>(rate * seconds), level));
}

struct NamedWav {
    std::string name;
    Bytes bytes;
};

// Files the game must play as they are (each encoding's level is checked with the conversion).
inline std::vector<NamedWav> goodWavs() {
    Bytes noPadAtEnd = wav(fmtBody(1, 1, 8000, 8), Bytes(301, 0x80));
    noPadAtEnd.pop_back();
    noPadAtEnd[4] -= 1;  // the RIFF size leaves out the missing pad byte
    Bytes trailing = toneWav(0.05);
    trailing.insert(trailing.end(), {'j', 'u', 'n', 'k'});
    return {
        {"16-bit mono", toneWav(0.05)},
        {"8-bit stereo", wav(fmtBody(1, 2, 11025, 8), Bytes(2000, 0x80))},
        {"extensible 16-bit stereo", wav(extensibleFmtBody(1, 2, 22050, 16), Bytes(4000, 0))},
        {"odd LIST chunk before the data",
         riffWave({chunk("fmt ", fmtBody(1, 1, 22050, 16)), chunk("LIST", Bytes(7, 'x')),
                   chunk("data", toneSamples(0.05))})},
        {"no pad byte after an odd last chunk", noPadAtEnd},
        {"bytes after the RIFF chunk", trailing},
        {"the lowest rate, 4 kHz", steadyWav(4000, 0.1)},
        {"the highest rate, 384 kHz", wav(fmtBody(1, 2, 384000, 16), Bytes(4000, 0))},
        {"eight channels", wav(fmtBody(1, 8, 48000, 16), Bytes(1600, 0))},
        {"the longest sound, 30 seconds", steadyWav(4000, 30.0)},
    };
}

// Damaged files, each of which must give the built-in sound and nothing worse.
inline std::vector<NamedWav> badWavs() {
    const Bytes samples = toneSamples(0.05);
    const Bytes good = toneWav(0.05);
    const Bytes fmt = chunk("fmt ", fmtBody(1, 1, 22050, 16));
    const auto withFmt = [&](const Bytes& body) { return wav(body, samples); };
    const auto changed = [&](std::size_t at, std::string_view bytes) {
        Bytes out = good;
        std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<long>(at));
        return out;
    };
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
        {"RIFX instead of RIFF", changed(3, "X")},
        {"RIFF but not WAVE", changed(8, "AVI ")},
        {"RIFF size zero", changed(4, std::string(4, '\0'))},
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
        {"nine channels", wav(fmtBody(1, 9, 22050, 16), Bytes(1800, 0))},
        {"65535 channels", wav(fmtBody(1, 0xFFFF, 22050, 8), Bytes(0xFFFF, 0))},
        {"longer than 30 seconds", steadyWav(4000, 30.01)},
        // Files that once crashed the game or held up its window for seconds: a few kilobytes
        // at 1 Hz are hours of sound, and so are 16 MiB at 11 kHz.
        {"6 KB of 8-bit samples at 1 Hz", steadyWav(1, 6144)},
        {"16 MiB of 8-bit samples at 11 kHz",
         wav(fmtBody(1, 1, 11025, 8), Bytes(16u * 1024u * 1024u - 44u, 0x80))},
    };
}

// A fresh temporary folder, gone when the test ends; the process id keeps parallel tests apart.
class TempFolder {
  public:
    explicit TempFolder(const std::string& name) {
        static std::atomic<int> counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                (name + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    std::filesystem::path write(const std::filesystem::path& name, const Bytes& bytes) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return file;
    }

  private:
    std::filesystem::path path_;
};

}  // namespace tovik::sound::testing
