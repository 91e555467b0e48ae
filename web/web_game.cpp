// The game for the browser page: the same engine and story as the window, bound to JavaScript
// with embind. The page (tovik-view.js) builds its elements from the layout table below, sends
// every click, pointer move, timer tick and exit answer here, and draws the window model after
// each. It holds no rule of the game, and no rule of its own about keys or what a screen reader
// hears: those are the window's too (engine/keyboard.h, engine/spoken_screen.h).

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "engine/exit_question.h"
#include "engine/game.h"
#include "engine/keyboard.h"
#include "engine/random_source.h"
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

// Sounds go to the page, which plays them with the browser's audio.
class PageAudioOutput final : public sound::AudioOutput {
  public:
    explicit PageAudioOutput(val play) : play_(std::move(play)) {}
    void playFile(const std::filesystem::path& file) override { play_(file.string()); }

  private:
    val play_;
};

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
    // `seed` below 0 seeds from the clock; `playSound` is called with each sound's path,
    // relative to the page ("./TovikSound/ydar.wav").
    WebGame(double seed, val playSound)
        : random_(seed < 0 ? SeededRandom() : SeededRandom(static_cast<std::uint64_t>(seed))),
          audio_(std::move(playSound)),
          game_(window_, audio_, random_, question_, "."),
          keys_(game_, window_) {
        game_.load();
        keys_.followScreen();
        heard_ = spokenScreenOf(window_, game_);
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

    // One key, by the browser's KeyboardEvent.key ("Tab", "Enter", " ", "Escape", "1" to "5").
    // Returns whether the game took it; a key it has no use for is the browser's. F11 stays
    // the browser's own full screen.
    bool key(const std::string& name, bool shift) {
        const PlayerKey pressed = playerKeyOf(name, shift);
        if (pressed == PlayerKey::Other) {
            return false;
        }
        keys_.press(pressed, false);
        afterEvent();
        return true;
    }
    // The control that has the keyboard's focus, the passage included, or -1 for none.
    int focus() const {
        const std::optional<ControlId> focused = keys_.focus();
        return focused ? static_cast<int>(indexOf(*focused)) : -1;
    }
    // The pointer or a screen reader put the focus on a control.
    void focusOn(int control) { keys_.focusOn(static_cast<ControlId>(control)); }

    // What the live region says after the last event, once: blows, banners, the title screen,
    // and a new passage only where the focus does not read it. Empty for nothing new.
    std::string takeAnnouncement() { return std::exchange(toSay_, std::string()); }
    // The passage's description: how many choices it offers, read after it when it is focused.
    std::string passageDescription() const { return passageDescription_; }
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
    bool timerEnabled(int control) const {
        return window_.isTimerEnabled(static_cast<ControlId>(control));
    }
    // "shown", "hidden" (the exit question is open) or "unloaded" (the game has been left).
    std::string windowState() const {
        switch (window_.state()) {
            case WindowState::Shown:
                return "shown";
            case WindowState::Hidden:
                return "hidden";
            case WindowState::Unloaded:
                return "unloaded";
        }
        return "shown";
    }
    bool exitQuestionOpen() const { return game_.isExitQuestionOpen(); }

    // The open question's title and text, as the game asked it.
    std::string exitQuestionTitle() const { return question_.title(); }
    std::string exitQuestionText() const { return question_.text(); }

  private:
    static PlayerKey playerKeyOf(const std::string& name, bool shift) {
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
        if (name.size() == 1 && name[0] >= '1' && name[0] <= '5') {
            return static_cast<PlayerKey>(static_cast<int>(PlayerKey::Digit1) + (name[0] - '1'));
        }
        return PlayerKey::Other;
    }

    // After every event, as the window does it: a new scene takes the focus to its passage, and
    // the live region says only what the focus does not. A passage newly focused is read with
    // its description, the choice count; one focused already reads its new text, and only the
    // count is left to say; one the focus is elsewhere from is said in full.
    void afterEvent() {
        const bool moved = keys_.followScreen();
        const SpokenScreen now = spokenScreenOf(window_, game_);
        const Announcement said = announce(heard_, now);
        heard_ = now;
        if (said.kind == Announcement::Kind::Scene) {
            const auto split = said.text.rfind('\n');
            passageDescription_ = said.text.substr(split + 1);
            if (keys_.focus() != ControlId::Info) {
                toSay_ = said.text;
            } else if (!moved) {
                toSay_ = passageDescription_;
            }
        } else if (said.kind != Announcement::Kind::Nothing) {
            toSay_ = said.text;
        }
    }

    WindowModel window_;
    SeededRandom random_;
    PageAudioOutput audio_;
    PageExitQuestion question_;
    Game game_;
    KeyboardPlay keys_;
    SpokenScreen heard_;
    std::string toSay_;
    std::string passageDescription_;
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
        {"failed", story::kPageFailedText},
        {"language", story::kPageLanguageText},
    };
    for (const auto& [id, text] : texts) {
        words.set(id, std::string(story::translated(text)));
    }
    return words;
}

// The built-in blip as WAV bytes, for a sound file that is missing or cannot be decoded.
val defaultSound() {
    const std::vector<std::uint8_t>& bytes = sound::defaultSoundWav();
    return val(emscripten::typed_memory_view(bytes.size(), bytes.data()));
}

}  // namespace

EMSCRIPTEN_BINDINGS(tovik) {
    emscripten::class_<WebGame>("WebGame")
        .constructor<double, val>()
        .function("click", &WebGame::click)
        .function("move", &WebGame::move)
        .function("tick", &WebGame::tick)
        .function("answer", &WebGame::answer)
        .function("caption", &WebGame::caption)
        .function("colour", &WebGame::colour)
        .function("visible", &WebGame::visible)
        .function("timerEnabled", &WebGame::timerEnabled)
        .function("windowState", &WebGame::windowState)
        .function("exitQuestionOpen", &WebGame::exitQuestionOpen)
        .function("key", &WebGame::key)
        .function("focus", &WebGame::focus)
        .function("focusOn", &WebGame::focusOn)
        .function("takeAnnouncement", &WebGame::takeAnnouncement)
        .function("passageDescription", &WebGame::passageDescription)
        .function("accessibleName", &WebGame::accessibleName)
        .function("exitQuestionTitle", &WebGame::exitQuestionTitle)
        .function("exitQuestionText", &WebGame::exitQuestionText);
    emscripten::function("layoutTable", &layoutTable);
    emscripten::function("window", &window);
    emscripten::function("readingOrder", &readingOrderOfControls);
    emscripten::function("defaultSound", &defaultSound);
    emscripten::function("chooseLanguage", &chooseLanguage);
    emscripten::function("pageWords", &pageWords);
}

}  // namespace tovik::web
