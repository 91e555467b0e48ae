#pragma once

// How the engine fuzzer reads its bytes as the window's events, shared with the program that
// writes its seeds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "form/controls.h"

namespace tovik::fuzz {

struct Event {
    enum class Kind { Click, Move, Tick, Answer };
    Kind kind = Kind::Click;
    std::optional<ControlId> control;  // nothing: a move over the window's background
    bool yes = false;
};

// Every event the window can deliver, ticks and clicks on controls that have no handler
// included, then again the ones that move a game on, so that most bytes play.
inline Event eventFor(std::uint8_t byte) {
    using Kind = Event::Kind;
    const auto control = [](std::size_t index) { return static_cast<ControlId>(index); };
    constexpr std::size_t kCount = tovik::kControlCount;
    std::size_t at = byte;
    if (at < kCount) {
        return {Kind::Click, control(at)};
    }
    at -= kCount;
    if (at < kCount) {
        return {Kind::Move, control(at)};
    }
    at -= kCount;
    if (at == 0) {
        return {Kind::Move, std::nullopt};
    }
    at -= 1;
    if (at < kCount) {
        return {Kind::Tick, control(at)};
    }
    at -= kCount;
    if (at < 2) {
        return {Kind::Answer, std::nullopt, at == 1};
    }
    at -= 2;
    static constexpr std::array<ControlId, 7> kPlay = {
        ControlId::R1, ControlId::R2,     ControlId::R3,         ControlId::R4,
        ControlId::R5, ControlId::Attack, ControlId::HealthTimer};
    const ControlId played = kPlay[at % kPlay.size()];
    return {played == ControlId::HealthTimer ? Kind::Tick : Kind::Click, played};
}

inline bool operator==(const Event& a, const Event& b) {
    return a.kind == b.kind && a.control == b.control && a.yes == b.yes;
}

// The first byte that reads as `event`.
inline std::uint8_t byteFor(const Event& event) {
    for (int byte = 0; byte < 256; ++byte) {
        if (eventFor(static_cast<std::uint8_t>(byte)) == event) {
            return static_cast<std::uint8_t>(byte);
        }
    }
    return 0;
}

}  // namespace tovik::fuzz
