// The game for the browser page: the same engine and story as the window, bound to JavaScript
// with embind. The page (tovik-view.js) builds its elements from the layout table below, sends
// every click, pointer move, key, focus, timer tick and exit answer here, and draws the window
// model after each. Each of these is added to the game's record, which the page keeps. It holds no
// rule of the game, and no rule of its own about keys, clicks, sounds or what a screen reader
// hears: those are the window's too (engine/player_input.h, engine/keyboard.h,
// engine/sound_commands.h, engine/spoken_screen.h).

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "engine/exit_question.h"
#include "engine/game.h"
#include "engine/game_record.h"
#include "engine/keyboard.h"
#include "engine/player_input.h"
#include "engine/random_source.h"
#include "engine/sound_commands.h"
#include "engine/spoken_screen.h"
#include "form/control_layout.h"
#include "form/controls.h"
#include "form/window_model.h"
#include "look/control_look.h"
#include "sound/audio_output.h"
#include "sound/default_sound.h"
#include "story/interface_texts.h"
#include "story/language.h"

namespace tovik::web {

namespace {

using emscripten::val;

// The page asks in its own modal box and answers later, through WebGame::answer.
class PageExitQuestion final : public ExitQuestion {
  public:
    std::optional<bool> ask(std::string_view title, std::string_view text) override {
        title_ = title;
        text_ = text;
        return std::nullopt;
    }
    const std::string& title() const { return title_; }
    const std::string& text() const { return text_; }

  private:
    std::string title_;
    std::string text_;
};

// The game's sound, which a restore silences while it plays the record again: a restored game
// plays no old sound.
class MutableSound final : public sound::AudioOutput {
  public:
    explicit MutableSound(SoundCommands& sound) : sound_(sound) {}
    void playFile(const std::filesystem::path& file) override {
        if (!muted_) {
            sound_.playFile(file);
        }
    }
    void mute(bool muted) { muted_ = muted; }

  private:
    SoundCommands& sound_;
    bool muted_ = false;
};

}  // namespace

// One game in the page: the window model, the game and its seams.
class WebGame {
  public:
    // `seed` is the address's ?seed= text, read as every program reads a seed; anything else
    // (none at all included) seeds from the clock. `nowMs` is the page's clock, for the sound.
    WebGame(const std::string& seed, val nowMs)
        : seeded_(parseSeed(seed)), audio_([nowMs] { return nowMs().as<double>(); }) {
        const SeededRandom dice = seeded_ ? SeededRandom(*seeded_) : SeededRandom();
        table_ = std::make_unique<Table>(dice.state(), audio_);
        table_->reader.afterEvent();  // the title screen, which a reader meets by itself
    }

    void click(int control) {
        play({.verb = Verb::Click, .control = static_cast<ControlId>(control)});
    }
    // -1 is the form's own background.
    void move(int control) {
        play({.verb = Verb::Move,
              .control =
                  control < 0 ? std::nullopt : std::optional(static_cast<ControlId>(control))});
    }
    void tick(int timer) { play({.verb = Verb::Tick, .control = static_cast<ControlId>(timer)}); }
    void answer(bool yes) { play({.verb = Verb::Answer, .yes = yes}); }

    // One key press, as the browser names it (KeyboardEvent.key). Returns whether the page
    // keeps it from the browser: a key the game has no use for is the browser's. F11 stays the
    // browser's own: its full screen grows the page, and the page fits the stage to it.
    bool key(const std::string& name, bool shift, bool control, bool alt, bool meta, bool held) {
        const KeyAction action = keyAction(name, {shift, control, alt, meta}, held);
        if (action.key == PlayerKey::FullScreen) {
            return false;
        }
        // A key of the listener's own, or one that does nothing here, is answered in words only.
        if (std::string answer = table_->reader.reply(action.key); !answer.empty()) {
            toSay_ = std::move(answer);
        } else if (action.key < PlayerKey::FullScreen) {
            play({.verb = Verb::Key, .key = action.key});
        }
        return action.consume;
    }
    // The control that has the keyboard's focus, the passage included, or -1 for none.
    int focus() const {
        const std::optional<ControlId> focused = table_->keys.focus();
        return focused ? static_cast<int>(indexOf(*focused)) : -1;
    }
    // The pointer or a screen reader put the focus on a control.
    void focusOn(int control) {
        const PlayerCommand command{.verb = Verb::Focus,
                                    .control = static_cast<ControlId>(control)};
        playCommand(command, table_->game, table_->keys);
        table_->record.add(command);
    }

    // What the live region says after the last event, once: blows, banners, the title screen,
    // and every new passage with its count, since the page keeps a reader off the passage.
    // Empty for nothing new.
    std::string takeAnnouncement() { return std::exchange(toSay_, std::string()); }
    // What the narrator reads aloud after the last event, once: the same lines, all of them.
    std::string takeNarration() { return std::exchange(toNarrate_, std::string()); }
    // The passage's description: how many choices it offers, read after it when it is focused.
    std::string accessibleName(int control) const {
        return tovik::accessibleName(static_cast<ControlId>(control), table_->window);
    }

    std::string caption(int control) const {
        return table_->window.caption(static_cast<ControlId>(control));
    }
    int colour(int control) const {
        return static_cast<int>(table_->window.textColour(static_cast<ControlId>(control)));
    }
    bool visible(int control) const {
        return table_->window.isVisible(static_cast<ControlId>(control));
    }
    bool timerRuns(int control) const {
        return table_->game.timerRuns(static_cast<ControlId>(control));
    }
    std::string windowState() const { return std::string(windowStateName(table_->window.state())); }
    // Whether the game's dice come from the seed it was given, and not from the clock.
    bool seeded() const { return seeded_.has_value(); }
    bool exitQuestionOpen() const { return table_->game.isExitQuestionOpen(); }

    // The open question's title and text, as the game asked it.
    std::string exitQuestionTitle() const { return table_->question.title(); }
    std::string exitQuestionText() const { return table_->question.text(); }

    // What the page's audio does next, oldest first: one object a command, with `kind` "load",
    // "play", "blip" or "stop", and `file` and `ticket` where they apply.
    val takeSoundCommands() {
        val commands = val::array();
        for (const SoundCommands::Command& command : audio_.take()) {
            val entry = val::object();
            entry.set("kind", soundKindName(command.kind));
            entry.set("file", command.file);
            entry.set("ticket", command.ticket);
            commands.call<void>("push", entry);
        }
        return commands;
    }
    // The page has fetched and decoded the sound of `ticket`, or found it cannot be played.
    void soundLoaded(int ticket, bool playable) { audio_.loaded(ticket, playable); }

    // The game's record, whole: what the page keeps across a reload.
    std::string record() const { return table_->record.text(); }
    // What to make of the page's copy of the record since the last call: its first `keep`
    // characters stay and `tail` follows them. `keep` is -1 once the game is past what a record
    // keeps: the page keeps no copy, and a reload starts afresh.
    val takeRecordChange() {
        val change = val::object();
        if (table_->record.full()) {
            change.set("keep", -1);
            change.set("tail", std::string());
            return change;
        }
        GameRecord::Change taken = table_->record.takeChange();
        change.set("keep", static_cast<double>(taken.keep));
        change.set("tail", std::move(taken.tail));
        return change;
    }
    // The game played again from a record the page kept, in the language played now. A record
    // the game refuses (damaged, truncated, of another version or story, too long) leaves the
    // game as it was; the reason is returned, else "".
    std::string restoreRecord(const std::string& text) {
        const auto read = readRecord(text);
        if (const auto* why = std::get_if<std::string>(&read)) {
            return *why;
        }
        const RecordedGame& recorded = std::get<RecordedGame>(read);
        auto table = std::make_unique<Table>(recorded.seed, audio_);
        table->reader.afterEvent();  // the title screen, heard as the page's first
        table->sound.mute(true);
        for (const PlayerCommand& command : recorded.commands) {
            playCommand(command, table->game, table->keys);
        }
        table->sound.mute(false);
        table->record = recordOf(recorded, text);
        table->record.copied();  // the page holds this very text
        table_ = std::move(table);
        // The restored screen is new to the keyboard and the listener, as after any event: the
        // focus goes to a new passage, which is read there with its choice count.
        silenced_ = false;
        afterEvent();
        return {};
    }

  private:
    static std::string soundKindName(SoundCommands::Command::Kind kind) {
        // In the order of the kinds.
        constexpr const char* kNames[] = {"load", "play", "blip", "stop"};
        return kNames[static_cast<std::size_t>(kind)];
    }

    void play(const PlayerCommand& command) {
        playCommand(command, table_->game, table_->keys);
        table_->record.add(command);
        afterEvent();
    }

    void afterEvent() {
        const ReaderUpdate update = table_->reader.afterEvent();
        if (!update.say.empty()) {
            toSay_ = update.say;
        }
        if (!update.narrate.empty()) {
            toNarrate_ = update.narrate;
        }
        if (table_->window.state() == WindowState::Unloaded && !silenced_) {
            silenced_ = true;  // a game that has been left makes no more sound
            audio_.stop();
        }
    }

    // One game: made afresh for a restored one.
    struct Table {
        Table(std::uint64_t seed, SoundCommands& audio)
            : sound(audio),
              random(seed),
              game(window, sound, random, question, "."),
              keys(game, window),
              reader(window, game, keys, FocusedRename::NeverFocused),
              record(seed) {
            game.load();
        }
        MutableSound sound;
        WindowModel window;
        SeededRandom random;
        PageExitQuestion question;
        Game game;
        KeyboardPlay keys;
        ReaderFeed reader;
        GameRecord record;
    };

    std::optional<std::uint64_t> seeded_;
    SoundCommands audio_;
    std::unique_ptr<Table> table_;
    std::string toSay_;
    std::string toNarrate_;
    bool silenced_ = false;
};

namespace {

std::string kindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return "label";
        case ControlKind::Button:
            return "button";
        case ControlKind::Picture:
            return "picture";
        case ControlKind::Timer:
            return "timer";
    }
    return "label";
}

// The order a reader meets the controls in; the page builds its elements in it.
val readingOrderOfControls() {
    val order = val::array();
    for (ControlId id : readingOrder()) {
        order.call<void>("push", static_cast<int>(indexOf(id)));
    }
    return order;
}

// The window's design, one object a control, in the order of the control ids.
val layoutTable() {
    val table = val::array();
    for (ControlId id : allControls()) {
        const ControlLayout& layout = layoutOf(id);
        const ControlLook& look = lookOf(id);
        const PixelRect box = pixelRectOf(layout);
        val control = val::object();
        control.set("id", static_cast<int>(indexOf(id)));
        control.set("name", std::string(nameOf(id)));
        control.set("kind", kindName(kindOf(id)));
        control.set("left", box.left);
        control.set("top", box.top);
        control.set("width", box.width);
        control.set("height", box.height);
        control.set("backColour", static_cast<int>(look.backColour));
        control.set("fontPixels",
                    kindOf(id) == ControlKind::Button ? kButtonFontPixels : look.fontPixels);
        control.set("autoSize", look.autoSize);
        control.set("picture", std::string(story::localisedPicture(look.picture)));
        control.set("intervalMs", layout.intervalMs);
        control.set("visibleAtStart", layout.visible);
        // Everything that takes a click is a button to a screen reader, as in the window.
        control.set("takesClick", accessibleRole(id) == AccessibleRole::Button);
        table.call<void>("push", control);
    }
    return table;
}

val window() {
    val window = val::object();
    window.set("width", kClientWidthPixels);
    window.set("height", kClientHeightPixels);
    window.set("background", static_cast<int>(kFormBackColour));
    return window;
}

// Plays every game from now on in the language of `code`, "ru" or "en"; false for another code.
bool chooseLanguage(const std::string& code) {
    const std::optional<story::Language> language = story::languageNamed(code);
    if (language) {
        story::setLanguage(*language);
    }
    return language.has_value();
}

// The translation into `code`, as the site's data file holds it (`code`.catalogue): the engine
// carries none, so a page in Russian downloads no English. False for damaged data or a code
// that has none.
bool loadCatalogue(const std::string& code, const std::string& data) {
    const std::optional<story::Language> language = story::languageNamed(code);
    return language && !data.empty() && story::loadCatalogue(*language, data);
}

// The page's own words around the stage, in the language played, by the ids of their elements.
val pageWords() {
    val words = val::object();
    const std::pair<const char*, story::Text> texts[] = {
        {"title", story::kGameTitleText},
        {"closed-text", story::kPageClosedText},
        {"start-again", story::kPageStartAgainText},
        {"exit-yes", story::kYesText},
        {"exit-no", story::kNoText},
        {"language", story::kPageLanguageText},
        {"layout", story::kPageLayoutText},
        {"window-layout", story::kPageWindowLayoutText},
        {"reading-layout", story::kPageReadingLayoutText},
        {"game-role", story::kGameRoleText},
        {"read-aloud", story::kReadAloudCaption},
        {"read-aloud-note", story::kReadAloudNote},
        {"read-aloud-on", story::kReadAloudOnText},
        {"no-speech", story::kNoSpeechText},
        {"no-voice", story::kNoVoiceText},
    };
    for (const auto& [id, text] : texts) {
        words.set(id, std::string(story::translated(text)));
    }
    return words;
}

// Whether a click, the `detail`th of a quick series (the browser's MouseEvent.detail), reaches
// the game.
bool clickReachesGameAt(int control, int detail) {
    return clickReachesGame(static_cast<ControlId>(control), detail);
}

// Whether the page keeps a key's release from the browser too: a button clicks itself when
// Space comes up, and the game has had that key already.
bool keyTaken(const std::string& name, bool shift, bool control, bool alt, bool meta) {
    return keyAction(name, {shift, control, alt, meta}, false).consume;
}

// Whether a key switches the narrator on or off, which the page does itself.
bool narratorKey(const std::string& name, bool shift, bool control, bool alt, bool meta) {
    return keyAction(name, {shift, control, alt, meta}, false).key == PlayerKey::Narrator;
}

// The built-in blip as WAV bytes, for a sound file that is missing or cannot be decoded.
val defaultSound() {
    const std::vector<std::uint8_t>& bytes = sound::defaultSoundWav();
    return val(emscripten::typed_memory_view(bytes.size(), bytes.data()));
}

}  // namespace

EMSCRIPTEN_BINDINGS(tovik) {
    emscripten::class_<WebGame>("WebGame")
        .constructor<const std::string&, val>()
        .function("click", &WebGame::click)
        .function("move", &WebGame::move)
        .function("tick", &WebGame::tick)
        .function("answer", &WebGame::answer)
        .function("caption", &WebGame::caption)
        .function("colour", &WebGame::colour)
        .function("visible", &WebGame::visible)
        .function("timerRuns", &WebGame::timerRuns)
        .function("windowState", &WebGame::windowState)
        .function("seeded", &WebGame::seeded)
        .function("exitQuestionOpen", &WebGame::exitQuestionOpen)
        .function("key", &WebGame::key)
        .function("focus", &WebGame::focus)
        .function("focusOn", &WebGame::focusOn)
        .function("takeAnnouncement", &WebGame::takeAnnouncement)
        .function("takeNarration", &WebGame::takeNarration)
        .function("accessibleName", &WebGame::accessibleName)
        .function("exitQuestionTitle", &WebGame::exitQuestionTitle)
        .function("exitQuestionText", &WebGame::exitQuestionText)
        .function("takeSoundCommands", &WebGame::takeSoundCommands)
        .function("soundLoaded", &WebGame::soundLoaded)
        .function("record", &WebGame::record)
        .function("takeRecordChange", &WebGame::takeRecordChange)
        .function("restoreRecord", &WebGame::restoreRecord);
    emscripten::function("layoutTable", &layoutTable);
    emscripten::function("window", &window);
    emscripten::function("readingOrder", &readingOrderOfControls);
    emscripten::function("defaultSound", &defaultSound);
    emscripten::function("chooseLanguage", &chooseLanguage);
    emscripten::function("loadCatalogue", &loadCatalogue);
    emscripten::function("pageWords", &pageWords);
    emscripten::function("clickReachesGame", &clickReachesGameAt);
    emscripten::function("keyTaken", &keyTaken);
    emscripten::function("narratorKey", &narratorKey);
    emscripten::function(
        "keysHelp", +[] { return std::string(story::translated(story::kKeysHelpText)); });
}

}  // namespace tovik::web
