#include "form/controls.h"

namespace tovik {

namespace {

constexpr std::array<std::string_view, kControlCount> kNames = {
    "NameGame2", "Start",       "Creator",    "Info", "R1",           "R2",      "R3",
    "R4",        "R5",          "Status",     "Life", "LifeOpponent", "EndGame", "WinGame",
    "Attack",    "NameGame1",   "TovikImage", "Quit", "Item1",        "Item2",   "Item3",
    "Item4",     "HealthTimer", "Death",      "Win",  "ColorChanger",
};

constexpr std::array<ControlId, kControlCount> makeAll() {
    std::array<ControlId, kControlCount> all{};
    for (std::size_t i = 0; i < kControlCount; ++i) {
        all[i] = static_cast<ControlId>(i);
    }
    return all;
}

constexpr std::array<ControlId, kControlCount> kAll = makeAll();

}  // namespace

ControlKind kindOf(ControlId id) {
    if (id <= ControlId::WinGame) {
        return ControlKind::Label;
    }
    if (id == ControlId::Attack) {
        return ControlKind::Button;
    }
    if (id <= ControlId::Item4) {
        return ControlKind::Picture;
    }
    return ControlKind::Timer;
}

std::string_view nameOf(ControlId id) {
    return kNames[indexOf(id)];
}

std::optional<ControlId> controlNamed(std::string_view name) {
    for (ControlId id : kAll) {
        if (nameOf(id) == name) {
            return id;
        }
    }
    return std::nullopt;
}

const std::array<ControlId, kControlCount>& allControls() {
    return kAll;
}

}  // namespace tovik
