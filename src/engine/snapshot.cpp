#include "engine/snapshot.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <stdexcept>
#include <variant>
#include <vector>

#include "engine/game_vocabulary.h"
#include "form/control_layout.h"
#include "story/choice_table.h"
#include "story/passages.h"
#include "story/scene_catalogue.h"

namespace tovik {

namespace {

using enum ControlId;

constexpr std::string_view kMagic = "tovik";
constexpr std::string_view kVersion = "1";
// Far more than a snapshot needs, so that a long text is refused before it is decoded.
constexpr std::size_t kLongestText = 512;
// The life counts stay far inside this; a larger one is no game's.
constexpr std::int64_t kLargestNumber = 2147483647;

// Everything a control's caption, the game's memory or the sound player can hold, in a fixed
// order: a snapshot keeps places in these lists. The first entry of a caption list is the
// window's design.
struct Vocabulary {
    std::vector<std::string> info;
    std::array<std::vector<std::string>, kChoiceLabelCount> choices;
    std::vector<std::string> opponents;  // "" first: the game before its first fight
    std::vector<std::string> status;     // "", the hero's blow, then each opponent's blow
    std::vector<std::string> endGame;
    std::vector<std::string> sounds;  // "" first: nothing played yet
    std::uint32_t fingerprint = 0;
};

void addOnce(std::vector<std::string>& list, std::string_view text) {
    if (std::find(list.begin(), list.end(), text) == list.end()) {
        list.emplace_back(text);
    }
}

// FNV-1a: every change of a single byte changes the result, whatever the bytes around it.
constexpr std::uint32_t kFnvStart = 2166136261u;
std::uint32_t fnv1a(std::uint32_t hash, std::span<const std::uint8_t> bytes) {
    for (std::uint8_t byte : bytes) {
        hash = (hash ^ byte) * 16777619u;
    }
    return hash;
}
std::uint32_t fnv1a(std::uint32_t hash, std::string_view text) {
    return fnv1a(hash, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

Vocabulary makeVocabulary() {
    Vocabulary words;
    words.info.emplace_back(layoutOf(Info).caption);
    words.info.emplace_back(story::openingPassage());
    for (std::size_t i = 0; i < kChoiceLabelCount; ++i) {
        words.choices[i].emplace_back(layoutOf(kChoiceLabels[i]).caption);
        words.choices[i].emplace_back("");
    }
    addOnce(words.choices[0], story::captionOf(story::kOpeningChoice));
    words.opponents.emplace_back("");
    words.endGame.emplace_back(story::translated(story::kDefeatBannerText));
    words.sounds = {"", std::string(kStartSound), std::string(kHeroBlowSound),
                    std::string(kOpponentBlowSound)};
    for (int number = 1; number <= story::kSceneCount; ++number) {
        const story::Scene& scene = story::sceneNumber(number);
        words.info.emplace_back(story::passageOf(number));
        for (std::size_t i = 0; i < scene.choices.size(); ++i) {
            addOnce(words.choices[i], story::captionOf(scene.choices[i]));
        }
        if (scene.fight) {
            addOnce(words.opponents,
                    story::translated(story::kOpponentContext, scene.fight->opponent));
        }
        if (!scene.effects.defeatBanner.empty()) {
            addOnce(words.endGame,
                    story::translated(story::kBannerContext, scene.effects.defeatBanner));
        }
        if (!scene.effects.sound.empty()) {
            addOnce(words.sounds, scene.effects.sound);
        }
    }
    words.status = {std::string(layoutOf(Status).caption), heroBlowStatus()};
    for (const std::string& opponent : words.opponents) {
        addOnce(words.status, opponentBlowStatus(opponent));
    }

    // Any change to a list, its order or one of its texts makes another fingerprint.
    std::uint32_t hash = kFnvStart;
    const auto addList = [&](const std::vector<std::string>& list) {
        for (const std::string& text : list) {
            hash = fnv1a(fnv1a(hash, text), std::string_view("\0", 1));
        }
        hash = fnv1a(hash, std::string_view("\1", 1));
    };
    addList(words.info);
    for (const auto& list : words.choices) {
        addList(list);
    }
    for (const auto& list : {words.opponents, words.status, words.endGame, words.sounds}) {
        addList(list);
    }
    hash = fnv1a(hash, layoutOf(LifeOpponent).caption);
    words.fingerprint = hash;
    return words;
}

// One vocabulary a language: a snapshot holds places in the lists of the language it was saved
// in, and its fingerprint refuses it in another.
const Vocabulary& vocabulary() {
    static std::array<std::optional<Vocabulary>, std::size(story::kAllLanguages)> words;
    std::optional<Vocabulary>& ofLanguage =
        words[static_cast<std::size_t>(story::currentLanguage())];
    if (!ofLanguage) {
        ofLanguage = makeVocabulary();
    }
    return *ofLanguage;
}

// ---- bytes

constexpr std::string_view kBase64 =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string toBase64(std::span<const std::uint8_t> bytes) {
    std::string text;
    std::uint32_t bits = 0;
    int count = 0;
    for (std::uint8_t byte : bytes) {
        bits = bits << 8 | byte;
        count += 8;
        while (count >= 6) {
            count -= 6;
            text += kBase64[(bits >> count) & 63u];
        }
    }
    if (count > 0) {
        text += kBase64[(bits << (6 - count)) & 63u];
    }
    return text;
}

// Only the one text toBase64 writes for the bytes: a last character with bits set beyond the
// bytes would read as the same bytes, and a changed character must never go unnoticed.
std::optional<std::vector<std::uint8_t>> fromBase64(std::string_view text) {
    if (text.size() % 4 == 1) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    std::uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        const std::size_t value = kBase64.find(c);
        if (value == std::string_view::npos) {
            return std::nullopt;
        }
        bits = bits << 6 | static_cast<std::uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes.push_back(static_cast<std::uint8_t>(bits >> count));
        }
    }
    if ((bits & ((1u << count) - 1)) != 0) {
        return std::nullopt;
    }
    return bytes;
}

void putFixed(std::vector<std::uint8_t>& bytes, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void putVarint(std::vector<std::uint8_t>& bytes, std::uint64_t value) {
    while (value >= 0x80) {
        bytes.push_back(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    bytes.push_back(static_cast<std::uint8_t>(value));
}

// The reasons a snapshot is refused.
std::string damaged(std::string_view why) {
    return "the snapshot is damaged: " + std::string(why);
}

// Reads the fields front to back; the first thing wrong is kept and ends the reading.
class FieldReader {
  public:
    explicit FieldReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint64_t fixed(int size) {
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i) {
            value |= static_cast<std::uint64_t>(byte()) << (8 * i);
        }
        return value;
    }

    // Written in its shortest form only, and never larger than any field needs.
    std::uint64_t varint() {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            const std::uint8_t next = byte();
            value |= static_cast<std::uint64_t>(next & 0x7F) << shift;
            if ((next & 0x80) == 0) {
                if (next == 0 && shift > 0) {
                    fail("a number is not in its shortest form");
                }
                return value;
            }
        }
        fail("a number is too large");
        return 0;
    }

    // A place in a list of `size`.
    std::size_t place(std::size_t size, std::string_view what) {
        const std::uint64_t value = varint();
        if (value >= size) {
            fail(std::string(what) + " is none the game shows");
            return 0;
        }
        return static_cast<std::size_t>(value);
    }

    void fail(std::string why) {
        if (!error_) {
            error_ = damaged(why);
        }
    }
    void finish() {
        if (at_ < bytes_.size()) {
            fail("it has bytes left over");
        }
    }
    const std::optional<std::string>& error() const { return error_; }

  private:
    std::uint8_t byte() {
        if (at_ == bytes_.size()) {
            fail("it ends early");
            return 0;
        }
        return bytes_[at_++];
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    std::optional<std::string> error_;
};

// ---- the fields

// The game's numbers are decimal text, or empty before they are first set: 0 for empty, and
// otherwise the number zigzagged (0, -1, 1, -2, ...) and one up.
void putNumber(std::vector<std::uint8_t>& bytes, std::string_view text) {
    if (text.empty()) {
        return putVarint(bytes, 0);
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > kLargestNumber ||
        value < -kLargestNumber) {
        throw std::logic_error("the game holds a number no snapshot keeps: " + std::string(text));
    }
    const auto zigzag = value < 0 ? (static_cast<std::uint64_t>(-value) << 1) - 1
                                  : static_cast<std::uint64_t>(value) << 1;
    putVarint(bytes, zigzag + 1);
}

std::string readNumber(FieldReader& in) {
    const std::uint64_t code = in.varint();
    if (code == 0) {
        return "";
    }
    const std::uint64_t zigzag = code - 1;
    const auto magnitude = static_cast<std::int64_t>((zigzag + 1) >> 1);
    if (magnitude > kLargestNumber) {
        in.fail("a life count is out of range");
        return "0";
    }
    return std::to_string((zigzag & 1) != 0 ? -magnitude : magnitude);
}

std::size_t placeOf(const std::vector<std::string>& list, std::string_view text,
                    std::string_view what) {
    const auto found = std::find(list.begin(), list.end(), text);
    if (found == list.end()) {
        throw std::logic_error("the game holds " + std::string(what) +
                               " that no snapshot keeps: " + std::string(text));
    }
    return static_cast<std::size_t>(found - list.begin());
}

std::string captionName(ControlId id) {
    return std::string(nameOf(id)) + "'s caption";
}

// The timers in the order of their bits, after the 26 visibility bits.
constexpr std::array<ControlId, 4> kTimers = {HealthTimer, Death, Win, ColorChanger};

struct State {
    WindowModel window;
    Game::Memory memory;
    std::uint64_t dice = 0;
};

std::vector<std::uint8_t> fieldsOf(const Game& game, const WindowModel& window,
                                   const SeededRandom& dice) {
    const Vocabulary& words = vocabulary();
    const Game::Memory memory = game.memory();
    std::vector<std::uint8_t> bytes;
    putFixed(bytes, dice.state(), 8);
    bytes.push_back(static_cast<std::uint8_t>(window.state()));
    bytes.push_back(static_cast<std::uint8_t>((memory.exitQuestionOpen ? 1 : 0) |
                                              (memory.soundPlayer ? 2 : 0) |
                                              (memory.soundFlags != 0 ? 4 : 0)));
    std::uint32_t shown = 0;
    for (ControlId id : allControls()) {
        if (kindOf(id) != ControlKind::Timer && window.isVisible(id)) {
            shown |= 1u << indexOf(id);
        }
    }
    for (std::size_t i = 0; i < kTimers.size(); ++i) {
        if (window.isTimerEnabled(kTimers[i])) {
            shown |= 1u << (indexOf(kTimers[0]) + i);
        }
    }
    putFixed(bytes, shown, 4);

    std::uint8_t lit = window.textColour(Start) == kStartLit ? 0x20 : 0;
    for (std::size_t i = 0; i < kChoiceLabelCount; ++i) {
        if (window.textColour(kChoiceLabels[i]) == kChoiceLit) {
            lit |= static_cast<std::uint8_t>(1u << i);
        }
    }
    bytes.push_back(lit);
    const auto banner =
        std::find(kBannerCycle.begin(), kBannerCycle.end(), window.textColour(WinGame));
    if (banner == kBannerCycle.end()) {
        throw std::logic_error("the victory banner has a colour no snapshot keeps");
    }
    bytes.push_back(static_cast<std::uint8_t>(banner - kBannerCycle.begin()));

    putVarint(bytes, placeOf(words.info, window.caption(Info), "a passage"));
    for (std::size_t i = 0; i < kChoiceLabelCount; ++i) {
        putVarint(bytes, placeOf(words.choices[i], window.caption(kChoiceLabels[i]), "a choice"));
    }
    putVarint(bytes, placeOf(words.status, window.caption(Status), "a blow"));
    const std::string_view life = window.caption(Life);
    if (!life.starts_with(lifePrefix())) {
        throw std::logic_error("the life label is none a snapshot keeps");
    }
    putNumber(bytes, life.substr(lifePrefix().size()));
    const std::string& opponentLife = window.caption(LifeOpponent);
    if (opponentLife == layoutOf(LifeOpponent).caption) {
        putVarint(bytes, 0);
    } else {
        bool found = false;
        for (std::size_t k = 0; k < words.opponents.size() && !found; ++k) {
            const std::string prefix = opponentLifeCaption(words.opponents[k], "");
            if (opponentLife.starts_with(prefix)) {
                putVarint(bytes, k + 1);
                putNumber(bytes, std::string_view(opponentLife).substr(prefix.size()));
                found = true;
            }
        }
        if (!found) {
            throw std::logic_error("the opponent's label is none a snapshot keeps");
        }
    }
    putVarint(bytes, placeOf(words.endGame, window.caption(EndGame), "a banner"));

    putNumber(bytes, memory.health);
    putNumber(bytes, memory.healthOpponent);
    putVarint(bytes, placeOf(words.opponents, memory.nameOpponent, "an opponent"));
    putVarint(bytes, placeOf({"", "1", "2", "3", "4"}, memory.roll, "a roll"));
    putVarint(bytes, placeOf({"0", "1", ""}, memory.ring, "a ring"));
    std::size_t sound = 0;
    if (!memory.soundFilename.empty()) {
        sound = words.sounds.size();
        for (std::size_t k = 1; k < words.sounds.size(); ++k) {
            if (memory.soundFilename == game.soundPath(words.sounds[k])) {
                sound = k;
            }
        }
        if (sound == words.sounds.size()) {
            throw std::logic_error("the sound player holds a file no snapshot keeps");
        }
    }
    putVarint(bytes, sound);
    return bytes;
}

bool isDispatchedBy(std::size_t label, std::string_view caption) {
    for (const story::ChoiceTest& test : story::choiceTable()[label]) {
        for (story::Key key : test.captions) {
            if (story::captionOf(key) == caption) {
                return true;
            }
        }
    }
    return false;
}

// The rules every screen of the game keeps, whatever the player did: a snapshot that breaks one
// was not written by the game.
std::optional<std::string> brokenRule(const State& state) {
    const WindowModel& window = state.window;
    const Game::Memory& memory = state.memory;
    bool runEnded = false;
    for (std::size_t i = 0; i < kChoiceLabelCount; ++i) {
        const ControlId label = kChoiceLabels[i];
        if (!window.isVisible(label)) {
            runEnded = true;
        } else if (runEnded) {
            return "the choices shown do not start at R1";
        } else if (!isDispatchedBy(i, window.caption(label))) {
            return std::string(nameOf(label)) + " shows a choice it cannot take";
        }
    }
    const bool fight = window.isVisible(Attack);
    if (window.isVisible(LifeOpponent) != fight || (fight && !window.isVisible(Status))) {
        return "a fight is shown only in part";
    }
    if (fight && memory.nameOpponent.empty()) {
        return "a fight has no opponent";
    }
    if (!fight && window.isVisible(Status) && !window.caption(Status).empty()) {
        return "a blow is reported outside a fight";
    }
    const bool banner = window.isVisible(EndGame) || window.isVisible(WinGame);
    if (window.isVisible(EndGame) && window.isVisible(WinGame)) {
        return "both banners are shown";
    }
    // An ending leaves nothing to play on, from its countdown to its banner.
    const bool countdown = window.isTimerEnabled(Death) || window.isTimerEnabled(Win);
    if ((banner || countdown) && (fight || window.isVisible(R1))) {
        return "an ending is shown over play";
    }
    const bool anItem = std::any_of(kItems.begin(), kItems.end(),
                                    [&](ControlId item) { return window.isVisible(item); });
    // A death clears the screen for its banner.
    if (window.isVisible(EndGame) &&
        (window.isVisible(Info) || window.isVisible(Status) || anItem)) {
        return "the defeat banner is shown over play";
    }
    // СТАРТ stands only on the title screen, under which no game goes on.
    if (window.isVisible(Start) && (window.isVisible(Info) || window.isVisible(R1) || fight ||
                                    banner || countdown || anItem)) {
        return "the title screen is shown over play";
    }
    if ((window.isTimerEnabled(Death) && window.isTimerEnabled(Win)) || (countdown && banner)) {
        return "the game counts down to a second ending";
    }
    if (window.isTimerEnabled(ColorChanger) != window.isVisible(WinGame)) {
        return "the victory banner's colours and the banner disagree";
    }
    if (memory.exitQuestionOpen != (window.state() == WindowState::Hidden)) {
        return "the exit question and the window disagree";
    }
    if (memory.soundPlayer != (window.state() != WindowState::Unloaded)) {
        return "the sound player and the window disagree";
    }
    if ((memory.soundFlags != 0) != !memory.soundFilename.empty()) {
        return "the sound player is half set";
    }
    return std::nullopt;
}

std::variant<State, std::string> readFields(std::span<const std::uint8_t> bytes, const Game& game) {
    const Vocabulary& words = vocabulary();
    FieldReader in(bytes);
    State state;
    WindowModel& window = state.window;
    showFixedCaptionsInLanguage(window);
    Game::Memory& memory = state.memory;

    state.dice = in.fixed(8);
    const std::uint64_t windowState = in.fixed(1);
    if (windowState > static_cast<std::uint64_t>(WindowState::Unloaded)) {
        in.fail("the window's state is unknown");
    }
    if (windowState == static_cast<std::uint64_t>(WindowState::Hidden)) {
        window.hide();
    } else if (windowState == static_cast<std::uint64_t>(WindowState::Unloaded)) {
        window.unload();
    }
    const std::uint64_t flags = in.fixed(1);
    if (flags > 7) {
        in.fail("unknown flags are set");
    }
    memory.exitQuestionOpen = (flags & 1) != 0;
    memory.soundPlayer = (flags & 2) != 0;
    memory.soundFlags = (flags & 4) != 0 ? 1 : 0;

    const std::uint64_t shown = in.fixed(4);
    if (shown >> (indexOf(kTimers[0]) + kTimers.size()) != 0) {
        in.fail("unknown controls are shown");
    }
    for (ControlId id : allControls()) {
        const bool bit = (shown >> indexOf(id) & 1) != 0;
        if (kindOf(id) == ControlKind::Timer) {
            window.setTimerEnabled(id, bit);
        } else {
            window.setVisible(id, bit);
        }
    }

    const std::uint64_t lit = in.fixed(1);
    if (lit > 0x3F) {
        in.fail("unknown controls are lit");
    }
    for (std::size_t i = 0; i < kChoiceLabelCount; ++i) {
        window.setTextColour(kChoiceLabels[i], (lit >> i & 1) != 0 ? kChoiceLit : kChoiceColour);
    }
    window.setTextColour(Start, (lit & 0x20) != 0 ? kStartLit : kStartNormal);
    window.setTextColour(
        WinGame, kBannerCycle[in.place(kBannerCycle.size(), "the victory banner's colour")]);

    window.setCaption(Info, words.info[in.place(words.info.size(), captionName(Info))]);
    for (std::size_t i = 0; i < kChoiceLabelCount; ++i) {
        const ControlId label = kChoiceLabels[i];
        window.setCaption(label,
                          words.choices[i][in.place(words.choices[i].size(), captionName(label))]);
    }
    window.setCaption(Status, words.status[in.place(words.status.size(), captionName(Status))]);
    const std::string life = readNumber(in);
    if (life.empty()) {
        in.fail("Life's caption has no number");
    }
    window.setCaption(Life, std::string(lifePrefix()) + life);
    if (const std::size_t opponent =
            in.place(words.opponents.size() + 1, captionName(LifeOpponent));
        opponent > 0) {
        window.setCaption(LifeOpponent,
                          opponentLifeCaption(words.opponents[opponent - 1], readNumber(in)));
    }
    window.setCaption(EndGame, words.endGame[in.place(words.endGame.size(), captionName(EndGame))]);

    memory.health = readNumber(in);
    memory.healthOpponent = readNumber(in);
    memory.nameOpponent = words.opponents[in.place(words.opponents.size(), "the opponent")];
    static const std::array<std::string_view, 5> kRolls = {"", "1", "2", "3", "4"};
    memory.roll = kRolls[in.place(kRolls.size(), "the roll")];
    static const std::array<std::string_view, 3> kRings = {"0", "1", ""};
    memory.ring = kRings[in.place(kRings.size(), "the ring")];
    if (const std::size_t sound = in.place(words.sounds.size(), "the sound"); sound > 0) {
        memory.soundFilename = game.soundPath(words.sounds[sound]);
    }
    if (memory.health.empty()) {
        in.fail("the hero has no life");
    }
    in.finish();
    if (in.error()) {
        return *in.error();
    }
    if (const std::optional<std::string> rule = brokenRule(state)) {
        return damaged(*rule);
    }
    return state;
}

std::string seal(std::span<const std::uint8_t> fields) {
    std::vector<std::uint8_t> bytes;
    putFixed(bytes, vocabulary().fingerprint, 4);
    bytes.insert(bytes.end(), fields.begin(), fields.end());
    putFixed(bytes, fnv1a(kFnvStart, bytes), 4);
    return std::string(kMagic) + std::string(kVersion) + "." + toBase64(bytes);
}

}  // namespace

std::string sealSnapshot(std::span<const std::uint8_t> fields) {
    return seal(fields);
}

std::string saveSnapshot(const Game& game, const WindowModel& window, const SeededRandom& dice) {
    return seal(fieldsOf(game, window, dice));
}

std::optional<std::string> restoreSnapshot(std::string_view text, Game& game, WindowModel& window,
                                           SeededRandom& dice) {
    if (text.empty()) {
        return "the snapshot is empty";
    }
    if (text.size() > kLongestText) {
        return "the text is too long to be a snapshot";
    }
    const std::string_view afterMagic = text.substr(std::min(text.size(), kMagic.size()));
    const std::size_t dot = afterMagic.find('.');
    const std::string_view version = afterMagic.substr(0, dot);
    if (!text.starts_with(kMagic) || dot == std::string_view::npos || version.empty() ||
        !std::all_of(version.begin(), version.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return "the text is not a snapshot of this game";
    }
    if (version != kVersion) {
        return "the snapshot is of version " + std::string(version.substr(0, 12)) +
               "; this game restores version " + std::string(kVersion);
    }
    const std::optional<std::vector<std::uint8_t>> bytes = fromBase64(afterMagic.substr(dot + 1));
    if (!bytes) {
        return damaged("it is not base64url text");
    }
    if (bytes->size() < 8) {
        return damaged("it is too short");
    }
    const std::span<const std::uint8_t> all(*bytes);
    const std::span<const std::uint8_t> sealed = all.first(all.size() - 4);
    FieldReader checksum(all.last(4));
    if (checksum.fixed(4) != fnv1a(kFnvStart, sealed)) {
        return damaged("its checksum does not match");
    }
    FieldReader fingerprint(sealed.first(4));
    if (fingerprint.fixed(4) != vocabulary().fingerprint) {
        return "the snapshot was made with another edition of the story";
    }
    auto read = readFields(sealed.subspan(4), game);
    if (auto* why = std::get_if<std::string>(&read)) {
        return std::move(*why);
    }
    // Nothing below can fail: the game is changed whole or not at all.
    const State& state = std::get<State>(read);
    window = state.window;
    game.recall(state.memory);
    dice = SeededRandom(state.dice);
    return std::nullopt;
}

}  // namespace tovik
