#pragma once

#include <deque>
#include <stdexcept>

#include "engine/random_source.h"

namespace tovik::testing {

// Dice that fall as the test says, and complain when the game draws more than expected.
class ScriptedDraws final : public RandomSource {
  public:
    void push(int draw, int times = 1) { draws_.insert(draws_.end(), times, draw); }
    int draw(int sides) override {
        if (draws_.empty() || draws_.front() < 1 || draws_.front() > sides) {
            throw std::logic_error("the game drew more dice than scripted, or other dice");
        }
        const int value = draws_.front();
        draws_.pop_front();
        ++drawn;
        lastSides = sides;
        return value;
    }
    bool empty() const { return draws_.empty(); }

    int drawn = 0;
    int lastSides = 0;

  private:
    std::deque<int> draws_;
};

}  // namespace tovik::testing
