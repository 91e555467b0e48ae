#pragma once

// How the engine fuzzer reads a byte as one of the window's events; the seeds are written back.

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
    bool operator==(const Event&) const = default;
};

// Every event the window can deliver, also ticks and clicks on controls without a handler, then
// again the ones that move a game on, so that most bytes play.
inline Event eventFor(std::uint8_t byte) {
    using Kind = Event::Kind;
    constexpr std::size_t kCount = tovik::kControlCount;
    std::size_t at = byte;
    for (const Kind kind : {Kind::Click, Kind::Move, Kind::Tick}) {
        if (at < kCount) {
            return {kind, static_cast<ControlId>(at)};
        }
        at -= kCount;
        if (kind == Kind::Move && at-- == 0) {
            return {Kind::Move, std::nullopt};
        }
    }
    if (at < 2) {
        return {Kind::Answer, std::nullopt, at == 1};
    }
    static constexpr std::array<ControlId, 7> kPlay = {
        ControlId::R1, ControlId::R2,     ControlId::R3,         ControlId::R4,
        ControlId::R5, ControlId::Attack, ControlId::HealthTimer};
    const ControlId played = kPlay[(at - 2) % kPlay.size()];
    return {played == ControlId::HealthTimer ? Kind::Tick : Kind::Click, played};
}

// The first byte that reads as `event`.
inline std::uint8_t byteFor(const Event& event) {
    int byte = 0;
    while (byte < 255 && !(eventFor(static_cast<std::uint8_t>(byte)) == event)) {
        ++byte;
    }
    return static_cast<std::uint8_t>(byte);
}

}  // namespace tovik::fuzz
