#include "engine/player_input.h"

namespace tovik {

namespace {

// A listener's keys are letters, which a screen reader in focus mode and the browser leave to
// the game. Each is known by the Latin and by the Cyrillic letter of its key, in either case, so
// it works whichever of the two layouts is on, and the Russian layout's letter is the one the
// Russian keys help names.
struct LetterKey {
    PlayerKey key;
    std::string_view letters[4];
};
constexpr LetterKey kLetterKeys[] = {
    {PlayerKey::Life, {"l", "L", "д", "Д"}},     {PlayerKey::Items, {"b", "B", "и", "И"}},
    {PlayerKey::Passage, {"t", "T", "е", "Е"}},  {PlayerKey::Choices, {"c", "C", "с", "С"}},
    {PlayerKey::Narrator, {"v", "V", "м", "М"}},
};

PlayerKey playerKeyNamed(std::string_view name, bool shift) {
    for (const LetterKey& letter : kLetterKeys) {
        for (std::string_view typed : letter.letters) {
            if (name == typed) {
                return letter.key;
            }
        }
    }
    if (name == "Tab") {
        return shift ? PlayerKey::BackTab : PlayerKey::Tab;
    }
    if (name == "Enter") {
        return PlayerKey::Enter;
    }
    if (name == " ") {
        return PlayerKey::Space;
    }
    if (name == "Escape") {
        return PlayerKey::Escape;
    }
    if (name == "F11") {
        return PlayerKey::FullScreen;
    }
    // The letter as typed, so that the key is found on a Latin and on a Russian keyboard alike,
    // with Shift or Caps Lock too.
    if (name == "v" || name == "V" || name == "м" || name == "М") {
        return PlayerKey::Narrator;
    }
    if (name.size() == 1 && name[0] >= '1' && name[0] <= '5') {
        return static_cast<PlayerKey>(static_cast<int>(PlayerKey::Digit1) + (name[0] - '1'));
    }
    return PlayerKey::Other;
}

}  // namespace

KeyAction keyAction(std::string_view name, KeyModifiers modifiers, bool held) {
    if (modifiers.control || modifiers.alt || modifiers.meta) {
        return {};
    }
    const PlayerKey key = playerKeyNamed(name, modifiers.shift);
    if (key == PlayerKey::Other) {
        return {};
    }
    if (held && key != PlayerKey::Tab && key != PlayerKey::BackTab) {
        return {PlayerKey::Other, true};
    }
    return {key, true};
}

bool clickReachesGame(ControlId control, int clickInSeries) {
    return kindOf(control) == ControlKind::Button || clickInSeries % 2 != 0 || clickInSeries == 0;
}

}  // namespace tovik
