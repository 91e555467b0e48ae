#pragma once

#include <cstdint>
#include <optional>
#include <random>
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
// seeds it from the system's entropy and the clock; a fixed seed repeats every game exactly.
class SeededRandom final : public RandomSource {
  public:
    SeededRandom();
    explicit SeededRandom(std::uint64_t seed);

    int draw(int sides) override;

  private:
    std::mt19937_64 generator_;
};

// The seed a player gives as `--seed N`, to the window and to the headless player alike: only
// the decimal digits of a number from 0 to 2^64-1, with no sign and no blanks around them.
std::optional<std::uint64_t> parseSeed(std::string_view text);

}  // namespace tovik
