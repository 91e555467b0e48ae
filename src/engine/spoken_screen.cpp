#include "engine/spoken_screen.h"

#include <utility>

#include "engine/exit_question.h"
#include "engine/game.h"
#include "form/control_layout.h"
#include "story/interface_texts.h"

namespace tovik {

using enum ControlId;

namespace {

// Blanks at either end carry game rules (the skeletons' names differ only in them) but nothing
// a listener needs.
std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace

AccessibleRole accessibleRole(ControlId control) {
    if (hasClickHandler(control)) {
        return AccessibleRole::Button;
    }
    switch (kindOf(control)) {
        case ControlKind::Picture:
            return AccessibleRole::Picture;  // the fur ball too: it has no click of its own
        case ControlKind::Timer:
            return AccessibleRole::None;
        default:
            return AccessibleRole::Text;
    }
}

const std::vector<ControlId>& readingOrder() {
    static const std::vector<ControlId> order = {
        NameGame1, NameGame2, Creator, TovikImage, Start,   Info, R1,           R2,
        R3,        R4,        R5,      Attack,     Status,  Life, LifeOpponent, Item1,
        Item2,     Item3,     Item4,   EndGame,    WinGame, Quit};
    return order;
}

std::string accessibleName(ControlId control, const WindowModel& window) {
    using story::translated;
    switch (control) {
        case NameGame1:
            return std::string(translated(story::kTitlePictureName));  // the title's lettering
        case TovikImage:
            return std::string(translated(story::kHeroPictureName));
        case Quit:
            return std::string(translated(story::kQuitName));
        case Item1:
            return std::string(translated(story::kScrollName));
        case Item2:
            return std::string(translated(story::kFurBallName));
        case Item3:
            return std::string(translated(story::kTridentName));
        case Item4:
            return std::string(translated(story::kNecklaceName));
        default:
            break;
    }
    if (accessibleRole(control) == AccessibleRole::None) {
        return {};
    }
    return trimmed(window.caption(control));
}

std::string choiceCount(int choices) {
    if (choices >= 0 && choices < static_cast<int>(story::kChoiceCountTexts.size())) {
        return std::string(
            story::translated(story::kChoiceCountTexts.at(static_cast<std::size_t>(choices))));
    }
    return std::to_string(choices) + ".";  // a label never holds more than five
}

SpokenScreen spokenScreenOf(const WindowModel& window, const Game& game) {
    SpokenScreen screen;
    screen.title = window.isVisible(Start);
    if (window.isVisible(Info)) {
        screen.passage = window.caption(Info);
    }
    for (ControlId label : kChoiceLabels) {
        if (window.isVisible(label)) {
            screen.choices.push_back(window.caption(label));
        }
    }
    screen.fight = window.isVisible(Attack);
    if (window.isVisible(Status)) {
        screen.status = window.caption(Status);
    }
    screen.health = game.Health();
    screen.healthOpponent = game.HealthOpponent();
    screen.opponent = game.NameOpponent();
    for (ControlId banner : {EndGame, WinGame}) {
        if (window.isVisible(banner)) {
            screen.banner = window.caption(banner);
        }
    }
    return screen;
}

Announcement announce(const SpokenScreen& before, const SpokenScreen& after) {
    using Kind = Announcement::Kind;
    if (after.title && !before.title) {
        return {Kind::Title, std::string(story::translated(story::kGameTitleText)) + ".", {}, {}};
    }
    // The blow that ends a fight comes first: by now the fight, its status and the opponent's
    // name are gone from the screen, and only the lives tell who struck.
    std::string lastBlow;
    if (before.fight && !after.fight &&
        (after.health != before.health || after.healthOpponent != before.healthOpponent)) {
        const std::string opponent = trimmed(before.opponent);
        const bool heroStruck = after.healthOpponent != before.healthOpponent;
        lastBlow =
            (heroStruck ? std::string(story::translated(story::kHeroBlowText))
                        : opponent + std::string(story::translated(story::kOpponentBlowText))) +
            " " + std::string(story::translated(story::kLifePrefixText)) + after.health + ". " +
            opponent + ": " + after.healthOpponent + ".\n";
    }
    if (!after.banner.empty() && after.banner != before.banner) {
        return {Kind::Banner, lastBlow + after.banner, {}, {}};
    }
    if (!after.passage.empty() &&
        (after.passage != before.passage || after.choices != before.choices ||
         after.fight != before.fight)) {
        std::string description =
            after.fight ? std::string(story::translated(story::kFightAnnouncement)) +
                              trimmed(after.opponent) +
                              std::string(story::translated(story::kAttackAnnouncement))
                        : choiceCount(static_cast<int>(after.choices.size()));
        std::string text = lastBlow + after.passage + "\n" + description;
        if (!lastBlow.empty()) {
            lastBlow.pop_back();  // the line break that joined it to the passage
        }
        return {Kind::Scene, std::move(text), std::move(description), std::move(lastBlow)};
    }
    if (before.fight && after.fight &&
        (after.health != before.health || after.healthOpponent != before.healthOpponent)) {
        // The life labels catch up at the life watch's next tick; say now what they will show.
        return {Kind::Blow,
                trimmed(after.status) + " " +
                    std::string(story::translated(story::kLifePrefixText)) + after.health + ". " +
                    trimmed(after.opponent) + ": " + after.healthOpponent + ".",
                {},
                {}};
    }
    return {};
}

ReaderFeed::ReaderFeed(const WindowModel& window, const Game& game, KeyboardPlay& keys,
                       FocusedRename renamed)
    : window_(window),
      game_(game),
      keys_(keys),
      renamed_(renamed),
      heard_(spokenScreenOf(window, game)) {}

ReaderUpdate ReaderFeed::afterEvent() {
    ReaderUpdate update;
    update.focusMoved = keys_.followScreen();
    const SpokenScreen now = spokenScreenOf(window_, game_);
    Announcement said = announce(heard_, now);
    heard_ = now;
    if (said.kind == Announcement::Kind::Scene) {
        description_ = said.description;
        // Only a passage the focus has just moved onto is read there, with its description.
        const bool readWhereFocused = keys_.focus() == ControlId::Info && update.focusMoved &&
                                      renamed_ == FocusedRename::Ignored;
        update.narrate = said.text;
        update.say = readWhereFocused ? std::move(said.lead) : std::move(said.text);
    } else if (said.kind != Announcement::Kind::Nothing) {
        update.narrate = said.text;
        update.say = std::move(said.text);
    }
    return update;
}

}  // namespace tovik
