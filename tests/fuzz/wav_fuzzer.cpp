// Reads the fuzzer's bytes as a WAV file. Whatever they hold, the reader must neither crash
// nor read outside them, and a header it accepts must describe samples that lie inside the
// bytes and come in whole frames.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "require.h"
#include "sound/wav_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const std::optional<tovik::sound::WavFormat> format = tovik::sound::parseWav(bytes);
    if (!format) {
        return 0;
    }
    const std::size_t frame = std::size_t{format->channels} * (format->bitsPerSample / 8u);
    require(format->channels > 0 && format->sampleRate > 0, "a sound has channels and a rate");
    require(format->bitsPerSample % 8 == 0 && frame > 0, "samples are whole bytes");
    require(format->dataOffset >= 12 && format->dataOffset <= size, "the samples start inside");
    require(format->dataSize <= size - format->dataOffset, "the samples end inside");
    require(format->dataSize >= frame, "at least one whole frame");
    return 0;
}
