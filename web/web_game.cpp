// The game for the browser page: the same engine and story as the window, bound to JavaScript
// with embind. The page (tovik-view.js) builds its elements from the layout table below, sends
// every click, pointer move, timer tick and exit answer here, and draws the window model after
// each. It holds no rule of the game.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <optional>
#include <string>

#include "engine/exit_question.h"
#include "engine/game.h"
#include "engine/random_source.h"
#include "form/control_layout.h"
#include "form/controls.h"
#include "form/window_model.h"
#include "look/control_look.h"
#include "sound/audio_output.h"
#include "sound/default_sound.h"

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
          game_(window_, audio_, random_, question_, ".") {
        game_.load();
    }

    void click(int control) { game_.click(static_cast<ControlId>(control)); }
    // -1 is the form's own background.
    void move(int control) {
        game_.pointerMovedOver(control < 0 ? std::nullopt
                                           : std::optional(static_cast<ControlId>(control)));
    }
    void tick(int timer) { game_.tick(static_cast<ControlId>(timer)); }
    void answer(bool yes) { game_.answerExitQuestion(yes); }

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
    // The control a key clicks, as the window's keyboard play has it, or -1 for none: the
    // digits 1 to 5 click R1 to R5 when that choice is shown, Enter with nothing focused
    // clicks the one obvious control (СТАРТ, Атака!, a banner), Escape clicks the red cross.
    int keyTarget(const std::string& key) const {
        using enum ControlId;
        std::optional<ControlId> target;
        if (key.size() == 1 && key[0] >= '1' && key[0] <= '5') {
            target = kChoiceLabels[static_cast<std::size_t>(key[0] - '1')];
        } else if (key == "Enter") {
            for (ControlId obvious : {Start, Attack, EndGame, WinGame}) {
                if (window_.isVisible(obvious)) {
                    target = obvious;
                    break;
                }
            }
        } else if (key == "Escape") {
            target = Quit;
        }
        return target && window_.isVisible(*target) ? static_cast<int>(indexOf(*target)) : -1;
    }

    // The open question's title and text, as the game asked it.
    std::string exitQuestionTitle() const { return question_.title(); }
    std::string exitQuestionText() const { return question_.text(); }

  private:
    WindowModel window_;
    SeededRandom random_;
    PageAudioOutput audio_;
    PageExitQuestion question_;
    Game game_;
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

// The controls a click reaches: those with a click handler. The game itself checks again.
bool takesClick(ControlId id) {
    using enum ControlId;
    switch (id) {
        case Start:
        case R1:
        case R2:
        case R3:
        case R4:
        case R5:
        case Attack:
        case Item1:
        case Item3:
        case Item4:
        case Quit:
        case EndGame:
        case WinGame:
            return true;
        default:
            return false;
    }
}

// What each picture shows, for a reader that cannot see it.
std::string pictureName(ControlId id) {
    using enum ControlId;
    switch (id) {
        case NameGame1:
            return "Товик Ларминов";
        case TovikImage:
            return "Товик Ларминов, юный некромант";
        case Quit:
            return "Выход";
        case Item1:
            return "Свиток";
        case Item2:
            return "Меховой шарик";
        case Item3:
            return "Трезубец";
        case Item4:
            return "Ожерелье из костей";
        default:
            return "";
    }
}

// The order a reader meets the controls in, which is also the keyboard's: the title, the
// passage, the choices, the fight, the items, a banner and the red cross.
constexpr ControlId kReadingOrder[] = {
    ControlId::NameGame1, ControlId::NameGame2,    ControlId::Creator, ControlId::TovikImage,
    ControlId::Start,     ControlId::Info,         ControlId::R1,      ControlId::R2,
    ControlId::R3,        ControlId::R4,           ControlId::R5,      ControlId::Status,
    ControlId::Life,      ControlId::LifeOpponent, ControlId::Attack,  ControlId::Item1,
    ControlId::Item2,     ControlId::Item3,        ControlId::Item4,   ControlId::EndGame,
    ControlId::WinGame,   ControlId::Quit};

val readingOrder() {
    val order = val::array();
    for (ControlId id : kReadingOrder) {
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
        control.set("picture", std::string(look.picture));
        control.set("intervalMs", layout.intervalMs);
        control.set("visibleAtStart", layout.visible);
        control.set("takesClick", takesClick(id));
        control.set("accessibleName", pictureName(id));
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
        .function("keyTarget", &WebGame::keyTarget)
        .function("exitQuestionTitle", &WebGame::exitQuestionTitle)
        .function("exitQuestionText", &WebGame::exitQuestionText);
    emscripten::function("layoutTable", &layoutTable);
    emscripten::function("window", &window);
    emscripten::function("readingOrder", &readingOrder);
    emscripten::function("defaultSound", &defaultSound);
}

}  // namespace tovik::web
