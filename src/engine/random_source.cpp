#include "engine/random_source.h"

#include <charconv>
#include <chrono>
#include <system_error>

namespace tovik {

namespace {

std::seed_seq freshSeed() {
    std::random_device entropy;
    const auto now = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    return std::seed_seq{entropy(),
                         entropy(),
                         entropy(),
                         entropy(),
                         static_cast<std::uint32_t>(now),
                         static_cast<std::uint32_t>(now >> 32)};
}

}  // namespace

SeededRandom::SeededRandom() {
    std::seed_seq seed = freshSeed();
    generator_.seed(seed);
}

SeededRandom::SeededRandom(std::uint64_t seed) : generator_(seed) {}

int SeededRandom::draw(int sides) {
    return std::uniform_int_distribution<int>(1, sides)(generator_);
}

std::optional<std::uint64_t> parseSeed(std::string_view text) {
    // from_chars takes neither a plus sign nor leading blanks, and reports a number too big.
    std::uint64_t seed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seed);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return seed;
}

}  // namespace tovik
