#include "engine/spoken_screen.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "engine/exit_question.h"
#include "engine/game.h"
#include "engine/game_vocabulary.h"
#include "form/control_layout.h"
#include "story/interface_texts.h"

namespace tovik {

using enum ControlId;

namespace {

// Blanks at either end of a label (an opponent's blow starts with one) mean nothing to a
// listener.
std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string said(const story::Text& text) {
    return std::string(story::translated(text));
}

// "ЖИЗНЬ: 38." and, in a fight, "ГОБЛИН: 40." after it.
std::string lifeCounts(const SpokenScreen& screen) {
    std::string counts = said(story::kLifePrefixText) + screen.health + ".";
    if (screen.fight) {
        counts += " " + trimmed(screen.opponent) + ": " + screen.healthOpponent + ".";
    }
    return counts;
}

// The items gained and lost between two screens, one sentence each.
std::string itemChanges(const SpokenScreen& before, const SpokenScreen& after) {
    std::string changes;
    const auto append = [&changes](const story::Text& what, const std::string& item) {
        changes += (changes.empty() ? "" : " ") + said(what) + item + ".";
    };
    for (const std::string& item : after.items) {
        if (std::find(before.items.begin(), before.items.end(), item) == before.items.end()) {
            append(story::kItemGainedText, item);
        }
    }
    for (const std::string& item : before.items) {
        if (std::find(after.items.begin(), after.items.end(), item) == after.items.end()) {
            append(story::kItemLostText, item);
        }
    }
    return changes;
}

// What a scene offers: its choices' count, or the fight with both life counts.
std::string offer(const SpokenScreen& screen) {
    if (screen.fight) {
        return said(story::kFightAnnouncement) + trimmed(screen.opponent) +
               said(story::kAttackAnnouncement) + " " + lifeCounts(screen);
    }
    return choiceCount(static_cast<int>(screen.choices.size()));
}

std::string joined(std::initializer_list<std::string> parts) {
    std::string text;
    for (const std::string& part : parts) {
        if (!part.empty()) {
            text += (text.empty() ? "" : " ") + part;
        }
    }
    return text;
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
    for (ControlId item : {Item1, Item2, Item3, Item4}) {
        if (window.isVisible(item)) {
            screen.items.push_back(accessibleName(item, window));
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
        const std::string opponent(shownOpponent(before.opponent));
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
    // Outside a fight the life labels show the hero's life only between scenes: a change is told
    // with its new total, which the passage itself never states. A fight tells its own, and a
    // life gone to nothing is told by the banner that follows at once.
    const bool alive = !after.health.empty() && after.health != "0" && after.health[0] != '-';
    const std::string lifeChange =
        !after.fight && !before.fight && !after.title && alive && after.health != before.health
            ? said(story::kLifePrefixText) + after.health + "."
            : std::string();
    const std::string changes = joined({lifeChange, itemChanges(before, after)});
    if (!after.passage.empty() &&
        (after.passage != before.passage || after.choices != before.choices ||
         after.fight != before.fight)) {
        std::string description = joined({changes, offer(after)});
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
                    std::string(shownOpponent(after.opponent)) + ": " + after.healthOpponent + ".",
                {},
                {}};
    }
    if (!changes.empty() && !after.title) {
        return {Kind::Change, changes, {}, {}};
    }
    return {};
}

std::int64_t speakingMs(std::string_view text) {
    // A screen reader's default voice says about 16 letters, blanks and stops a second (the
    // way out's passage, 881 of them, takes some 55 s); a little more is counted, so that the
    // last words are not cut off.
    constexpr std::int64_t kMsPerLetter = 64;
    std::int64_t letters = 0;
    for (const char byte : text) {
        letters += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;
    }
    return letters * kMsPerLetter;
}

ReaderFeed::ReaderFeed(const WindowModel& window, const Game& game, KeyboardPlay& keys,
                       FocusedRename renamed, Clock clock)
    : window_(window),
      game_(game),
      keys_(keys),
      renamed_(renamed),
      clock_(std::move(clock)),
      heard_(spokenScreenOf(window, game)) {}

std::int64_t ReaderFeed::now() const {
    if (clock_) {
        return clock_();
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void ReaderFeed::spoken(const std::string& text) {
    speechEndsMs_ = now() + speakingMs(text);
}

ReaderUpdate ReaderFeed::afterEvent() {
    ReaderUpdate update;
    update.focusMoved = keys_.followScreen();
    const SpokenScreen now = spokenScreenOf(window_, game_);
    Announcement said = announce(heard_, now);
    heard_ = now;
    if (now.banner != heldBanner_ && !heldBanner_.empty() &&
        said.kind != Announcement::Kind::Banner) {
        heldBanner_.clear();  // gone before its turn came
    }
    if (said.kind == Announcement::Kind::Scene) {
        description_ = said.description;
        // Only a passage the focus has just moved onto is read there, with its description.
        const bool readWhereFocused = keys_.focus() == ControlId::Info && update.focusMoved &&
                                      renamed_ == FocusedRename::Ignored;
        update.narrate = said.text;
        update.say = readWhereFocused ? std::move(said.lead) : std::move(said.text);
        spoken(update.narrate);
    } else if (said.kind == Announcement::Kind::Banner && this->now() < speechEndsMs_) {
        heldBanner_ = std::move(said.text);
    } else if (said.kind != Announcement::Kind::Nothing) {
        update.narrate = said.text;
        update.say = std::move(said.text);
        update.narrate = update.say;
        spoken(update.say);
    }
    if (update.say.empty() && !heldBanner_.empty() && this->now() >= speechEndsMs_) {
        update.say = std::exchange(heldBanner_, std::string());
        update.narrate = update.say;
        spoken(update.say);
    }
    return update;
}

std::string ReaderFeed::sceneDescription(const SpokenScreen& screen) const {
    return offer(screen);
}

std::string ReaderFeed::whyNothing(PlayerKey key, const SpokenScreen& screen) const {
    const int choices = static_cast<int>(screen.choices.size());
    const bool digit = key >= PlayerKey::Digit1 && key <= PlayerKey::Digit5;
    if (digit && choices > 0) {
        return said(story::kNoSuchChoiceTexts.at(static_cast<std::size_t>(key) -
                                                 static_cast<std::size_t>(PlayerKey::Digit1)));
    }
    if (choices > 0) {
        return said(story::kPickChoiceText) +
               (choices > 1 ? "\u2013" + std::to_string(choices) : std::string()) + ".";
    }
    if (const std::optional<ControlId> obvious = obviousControl(window_)) {
        return said(story::kEnterPressesText) + accessibleName(*obvious, window_) +
               said(story::kEnterPressesEndText);
    }
    return choiceCount(0);
}

std::string ReaderFeed::reply(PlayerKey key) {
    if (game_.isExitQuestionOpen() || window_.state() != WindowState::Shown) {
        return {};
    }
    const SpokenScreen screen = spokenScreenOf(window_, game_);
    std::string answer;
    switch (key) {
        case PlayerKey::Life:
            answer = screen.title ? whyNothing(key, screen) : lifeCounts(screen);
            break;
        case PlayerKey::Items:
            if (screen.items.empty()) {
                answer = said(story::kNoItemsText);
            } else {
                answer = said(story::kItemsHeldText);
                for (std::size_t i = 0; i < screen.items.size(); ++i) {
                    answer += (i == 0 ? "" : ", ") + screen.items[i];
                }
                answer += ".";
            }
            break;
        case PlayerKey::Passage:
            if (screen.title || screen.passage.empty()) {
                answer = said(story::kGameTitleText) + ". " + said(story::kKeysHelpText);
            } else {
                answer = screen.passage + "\n" + joined({sceneDescription(screen), screen.banner});
            }
            break;
        case PlayerKey::Choices:
            for (std::size_t i = 0; i < screen.choices.size(); ++i) {
                std::string choice = trimmed(screen.choices[i]);
                if (!choice.empty() && !choice.ends_with("\u2026") &&
                    std::string_view(".!?").find(choice.back()) == std::string_view::npos) {
                    choice += ".";
                }
                answer += (i == 0 ? "" : " ") + std::to_string(i + 1) + ": " + choice;
            }
            if (answer.empty()) {
                answer = screen.fight ? offer(screen) : whyNothing(key, screen);
            }
            break;
        case PlayerKey::Narrator:
        case PlayerKey::Other:
            return {};
        default:
            if (keys_.acts(key)) {
                return {};
            }
            answer = whyNothing(key, screen);
            break;
    }
    // The listener's own question comes first; a banner that was waiting follows it.
    if (!heldBanner_.empty()) {
        answer += "\n" + std::exchange(heldBanner_, std::string());
    }
    spoken(answer);
    return answer;
}

}  // namespace tovik
