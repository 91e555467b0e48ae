#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tovik {

// Where the game's dice come from: the chance choices draw 1..2, a blow draws 1..4.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // A whole number from 1 to `sides`, each equally likely.
    virtual int draw(int sides) = 0;
};

// One generator seeded once, so that two draws in quick succession are independent. The game
// seeds it from the system's entropy and the clock; a fixed seed repeats every game exactly, on
// every platform and in the browser: the generator and the mapping to 1..n are the game's own,
// not the standard library's, whose distributions differ from one library to the next.
//
// The generator is SplitMix64 (Steele, Lea and Flood, "Fast splittable pseudorandom number
// generators", 2014). A draw takes the top 53 bits of the next output as x in [0, 1) and
// forms Int(x * n) + 1, as the game has always turned its random number into a die.
class SeededRandom final : public RandomSource {
  public:
    SeededRandom();
    explicit SeededRandom(std::uint64_t seed) : state_(seed) {}

    int draw(int sides) override;

    // The next raw 64-bit output.
    std::uint64_t next();

    // Where the generator stands: SeededRandom(state()) draws exactly what this one draws next.
    std::uint64_t state() const { return state_; }

  private:
    std::uint64_t state_;
};

// The seed a player gives as `--seed N`, to the window and to the headless player alike: only
// the decimal digits of a number from 0 to 2^64-1, with no sign and no blanks around them.
std::optional<std::uint64_t> parseSeed(std::string_view text);

}  // namespace tovik
