#include "sound/default_sound.h"

#include <cmath>
#include <numbers>
#include <string_view>

namespace tovik::sound {

namespace {

constexpr std::uint32_t kSampleRate = 22050;
// Quiet enough not to startle: about a fifth of full scale.
constexpr double kLoudness = 0.2 * 32767.0;

struct Note {
    double frequency;  // Hz
    double seconds;
};

// A rising fourth, E5 then A5: short and soft, clearly not one of the game's own sounds.
constexpr Note kNotes[] = {{659.26, 0.07}, {880.0, 0.09}};

// Each note swells in over 5 ms and dies away over its last 30 ms, so neither end clicks.
double envelope(double t, double length) {
    constexpr double attack = 0.005;
    constexpr double release = 0.03;
    if (t < attack) {
        return t / attack;
    }
    if (t > length - release) {
        const double left = (length - t) / release;
        return left * left;
    }
    return 1.0;
}

void append16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void append32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    append16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    append16(out, static_cast<std::uint16_t>(value >> 16));
}

void appendTag(std::vector<std::uint8_t>& out, std::string_view tag) {
    out.insert(out.end(), tag.begin(), tag.end());
}

std::vector<std::uint8_t> synthesise() {
    std::vector<std::int16_t> samples;
    for (const Note& note : kNotes) {
        const auto count = static_cast<std::size_t>(note.seconds * kSampleRate);
        for (std::size_t i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kSampleRate;
            const double wave = std::sin(2.0 * std::numbers::pi * note.frequency * t);
            samples.push_back(static_cast<std::int16_t>(
                std::lround(kLoudness * envelope(t, note.seconds) * wave)));
        }
    }

    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> wav;
    wav.reserve(44 + dataSize);
    appendTag(wav, "RIFF");
    append32(wav, 36 + dataSize);
    appendTag(wav, "WAVE");
    appendTag(wav, "fmt ");
    append32(wav, 16);
    append16(wav, 1);  // integer PCM
    append16(wav, 1);  // mono
    append32(wav, kSampleRate);
    append32(wav, kSampleRate * 2);  // bytes a second
    append16(wav, 2);                // bytes a frame
    append16(wav, 16);               // bits a sample
    appendTag(wav, "data");
    append32(wav, dataSize);
    for (const std::int16_t sample : samples) {
        append16(wav, static_cast<std::uint16_t>(sample));
    }
    return wav;
}

}  // namespace

const std::vector<std::uint8_t>& defaultSoundWav() {
    static const std::vector<std::uint8_t> wav = synthesise();
    return wav;
}

}  // namespace tovik::sound
