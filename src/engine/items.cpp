#include "engine/game.h"
#include "story/choice_table.h"
#include "story/item_uses.h"

namespace tovik {

namespace {

bool isUsefulHere(const WindowModel& window, const story::ItemUse& use) {
    const std::string_view caption = story::captionOf(use.caption);
    return window.caption(ControlId::R1) == caption ||
           (use.onR4Too && window.caption(ControlId::R4) == caption);
}

}  // namespace

// An item works only where its scene offers the fallback choice for a hero without it; using
// it does not use it up.
void Game::Item1_Click() {
    if (isUsefulHere(window_, story::kScrollUse)) {
        showScene(story::kScrollUse.scene);
    }
}

void Game::Item3_Click() {
    if (isUsefulHere(window_, story::kTridentUse)) {
        showScene(story::kTridentUse.scene);
    }
}

void Game::Item4_Click() {
    if (isUsefulHere(window_, story::kNecklaceUse)) {
        showScene(story::kNecklaceUse.scene);
    }
}

}  // namespace tovik
