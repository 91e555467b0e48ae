// The game for the browser page: the same engine and story as the window, bound to JavaScript
// with embind. The page (tovik-view.js) builds its elements from the layout table below, sends
// every click, pointer move, timer tick and exit answer here, and draws the window model after
// each. It holds no rule of the game, and no rule of its own about keys, clicks, sounds or what a
// screen reader hears: those are the window's too (engine/player_input.h, engine/keyboard.h,
// engine/sound_commands.h, engine/spoken_screen.h).

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "engine/exit_question.h"
#include "engine/game.h"
#include "engine/keyboard.h"
#include "engine/player_input.h"
#include "engine/random_source.h"
#include "engine/snapshot.h"
#include "engine/sound_commands.h"
#include "engine/spoken_screen.h"
#include "form/control_layout.h"
#include "form/controls.h"
#include "form/window_model.h"
#include "look/control_look.h"
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

}  // namespace

// One game in the page: the window model, the game and its seams.
class WebGame {
  public:
    // `seed` is the address's ?seed= text, read as every program reads a seed; anything else
    // (none at all included) seeds from the clock. `nowMs` is the page's clock, for the sound.
    WebGame(const std::string& seed, val nowMs)
        : seeded_(parseSeed(seed)),
          random_(seeded_ ? SeededRandom(*seeded_) : SeededRandom()),
          audio_([nowMs] { return nowMs().as<double>(); }),
          game_(window_, audio_, random_, question_, "."),
          keys_(game_, window_),
          reader_(window_, game_, keys_, FocusedRename::NeverFocused) {
        game_.load();
        reader_.afterEvent();  // the title screen, which a reader meets by itself
    }

    void click(int control) {
        game_.click(static_cast<ControlId>(control));
        afterEvent();
    }
    // -1 is the form's own background.
    void move(int control) {
        game_.pointerMovedOver(control < 0 ? std::nullopt
                                           : std::optional(static_cast<ControlId>(control)));
        afterEvent();
    }
    void tick(int timer) {
        game_.tick(static_cast<ControlId>(timer));
        afterEvent();
    }
    void answer(bool yes) {
        game_.answerExitQuestion(yes);
        afterEvent();
    }

    // One key press, as the browser names it (KeyboardEvent.key). Returns whether the page
    // keeps it from the browser: a key the game has no use for is the browser's. F11 stays the
    // browser's own: its full screen grows the page, and the page fits the stage to it.
    bool key(const std::string& name, bool shift, bool control, bool alt, bool meta, bool held) {
        const KeyAction action = keyAction(name, {shift, control, alt, meta}, held);
        if (action.key == PlayerKey::FullScreen) {
            return false;
        }
        if (action.key != PlayerKey::Other) {
            keys_.press(action.key, false);
            afterEvent();
        }
        return action.consume;
    }
    // The control that has the keyboard's focus, the passage included, or -1 for none.
    int focus() const {
        const std::optional<ControlId> focused = keys_.focus();
        return focused ? static_cast<int>(indexOf(*focused)) : -1;
    }
    // The pointer or a screen reader put the focus on a control.
    void focusOn(int control) { keys_.focusOn(static_cast<ControlId>(control)); }

    // What the live region says after the last event, once: blows, banners, the title screen,
    // and every new passage with its count, since the page keeps a reader off the passage.
    // Empty for nothing new.
    std::string takeAnnouncement() { return std::exchange(toSay_, std::string()); }
    // The passage's description: how many choices it offers, read after it when it is focused.
    std::string accessibleName(int control) const {
        return tovik::accessibleName(static_cast<ControlId>(control), window_);
    }

    std::string caption(int control) const {
        return window_.caption(static_cast<ControlId>(control));
    }
    int colour(int control) const {
        return static_cast<int>(window_.textColour(static_cast<ControlId>(control)));
    }
    bool visible(int control) const { return window_.isVisible(static_cast<ControlId>(control)); }
    bool timerRuns(int control) const { return game_.timerRuns(static_cast<ControlId>(control)); }
    std::string windowState() const { return std::string(windowStateName(window_.state())); }
    // Whether the game's dice come from the seed it was given, and not from the clock.
    bool seeded() const { return seeded_.has_value(); }
    bool exitQuestionOpen() const { return game_.isExitQuestionOpen(); }

    // The open question's title and text, as the game asked it.
    std::string exitQuestionTitle() const { return question_.title(); }
    std::string exitQuestionText() const { return question_.text(); }

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

    // The whole game as one short line of text, for the page to keep across a reload.
    std::string saveSnapshot() const { return tovik::saveSnapshot(game_, window_, random_); }
    // Takes the game back to a saved line. A line the game refuses (damaged, of another version
    // or another edition of the story) gives false and leaves the game as it was.
    bool restoreSnapshot(const std::string& text) {
        if (tovik::restoreSnapshot(text, game_, window_, random_)) {
            return false;
        }
        if (game_.isExitQuestionOpen()) {
            question_.ask(kExitTitle, kExitText);  // for the page's box, which asks again
        }
        // The restored screen is new to the keyboard and the listener, as after any event: the
        // focus goes to a new passage, which is read there with its choice count.
        silenced_ = false;
        afterEvent();
        return true;
    }

  private:
    static std::string soundKindName(SoundCommands::Command::Kind kind) {
        // In the order of the kinds.
        constexpr const char* kNames[] = {"load", "play", "blip", "stop"};
        return kNames[static_cast<std::size_t>(kind)];
    }

    void afterEvent() {
        const ReaderUpdate update = reader_.afterEvent();
        if (!update.say.empty()) {
            toSay_ = update.say;
        }
        if (window_.state() == WindowState::Unloaded && !silenced_) {
            silenced_ = true;  // a game that has been left makes no more sound
            audio_.stop();
        }
    }

    WindowModel window_;
    std::optional<std::uint64_t> seeded_;
    SeededRandom random_;
    SoundCommands audio_;
    PageExitQuestion question_;
    Game game_;
    KeyboardPlay keys_;
    ReaderFeed reader_;
    std::string toSay_;
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
        .function("accessibleName", &WebGame::accessibleName)
        .function("exitQuestionTitle", &WebGame::exitQuestionTitle)
        .function("exitQuestionText", &WebGame::exitQuestionText)
        .function("takeSoundCommands", &WebGame::takeSoundCommands)
        .function("soundLoaded", &WebGame::soundLoaded)
        .function("saveSnapshot", &WebGame::saveSnapshot)
        .function("restoreSnapshot", &WebGame::restoreSnapshot);
    emscripten::function("layoutTable", &layoutTable);
    emscripten::function("window", &window);
    emscripten::function("readingOrder", &readingOrderOfControls);
    emscripten::function("defaultSound", &defaultSound);
    emscripten::function("chooseLanguage", &chooseLanguage);
    emscripten::function("pageWords", &pageWords);
    emscripten::function("clickReachesGame", &clickReachesGameAt);
    emscripten::function("keyTaken", &keyTaken);
    emscripten::function(
        "keysHelp", +[] { return std::string(story::translated(story::kKeysHelpText)); });
}

}  // namespace tovik::web
