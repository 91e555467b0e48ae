#pragma once

#include <deque>
#include <stdexcept>

#include "engine/random_source.h"

namespace tovik::testing {

// Dice that fall as the test says, and complain when the game draws more than expected.
class ScriptedDraws final : public RandomSource {
  public:
    ScriptedDraws() = default;
    ScriptedDraws(std::initializer_list<int> draws) : draws_(draws) {}

    void push(int draw) { draws_.push_back(draw); }
    void push(int draw, int times) {
        for (int i = 0; i < times; ++i) {
            draws_.push_back(draw);
        }
    }
    int draw(int sides) override {
        if (draws_.empty()) {
            throw std::logic_error("the game drew more dice than the test scripted");
        }
        const int value = draws_.front();
        draws_.pop_front();
        if (value < 1 || value > sides) {
            throw std::logic_error("scripted draw out of range");
        }
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
