#include "engine/random_source.h"

#include <charconv>
#include <chrono>
#include <random>
#include <system_error>

namespace tovik {

namespace {

std::uint64_t freshSeed() {
    std::random_device entropy;
    const auto now = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    const std::uint64_t drawn = (static_cast<std::uint64_t>(entropy()) << 32) ^ entropy();
    return drawn ^ now;
}

}  // namespace

SeededRandom::SeededRandom() : state_(freshSeed()) {}

std::uint64_t SeededRandom::next() {
    state_ += 0x9E3779B97F4A7C15u;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

int SeededRandom::draw(int sides) {
    // x = the top 53 bits over 2^53: every such x is exact in a double, and x < 1.
    const double x = static_cast<double>(next() >> 11) * 0x1.0p-53;
    return static_cast<int>(x * sides) + 1;
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
