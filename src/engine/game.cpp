#include "engine/game.h"

#include <filesystem>
#include <utility>

#include "engine/decimal_text.h"
#include "engine/game_vocabulary.h"
#include "form/control_layout.h"
#include "story/choice_table.h"
#include "story/interface_texts.h"
#include "story/scene_catalogue.h"

namespace tovik {

using enum ControlId;

Game::Game(WindowModel& window, sound::AudioOutput& audio, RandomSource& random,
           ExitQuestion& exitQuestion, std::string applicationDirectory)
    : window_(window),
      audio_(audio),
      random_(random),
      exitQuestion_(exitQuestion),
      applicationDirectory_(std::move(applicationDirectory)) {}

Game::~Game() = default;

Game::ClickHandler Game::clickHandlerOf(ControlId control) {
    static constexpr std::pair<ControlId, ClickHandler> kHandlers[] = {
        {Start, [](Game& game) { game.Start_Click(); }},
        {R1, [](Game& game) { game.choiceClick(0); }},
        {R2, [](Game& game) { game.choiceClick(1); }},
        {R3, [](Game& game) { game.choiceClick(2); }},
        {R4, [](Game& game) { game.choiceClick(3); }},
        {R5, [](Game& game) { game.choiceClick(4); }},
        {Attack, [](Game& game) { game.Attack_Click(); }},
        {Item1, [](Game& game) { game.Item1_Click(); }},
        {Item3, [](Game& game) { game.Item3_Click(); }},
        {Item4, [](Game& game) { game.Item4_Click(); }},
        {Quit, [](Game& game) { game.Quit_Click(); }},
        {EndGame, [](Game& game) { game.EndGame_Click(); }},
        {WinGame, [](Game& game) { game.WinGame_Click(); }},
    };
    for (const auto& [handled, handler] : kHandlers) {
        if (handled == control) {
            return handler;
        }
    }
    return nullptr;
}

bool hasClickHandler(ControlId control) {
    return Game::clickHandlerOf(control) != nullptr;
}

void Game::click(ControlId control) {
    if (window_.state() != WindowState::Shown || exitQuestionOpen_ || !window_.isVisible(control)) {
        return;
    }
    if (const ClickHandler handler = clickHandlerOf(control)) {
        handler(*this);
    }
}

void Game::pointerMovedOver(std::optional<ControlId> control) {
    if (window_.state() != WindowState::Shown || exitQuestionOpen_) {
        return;
    }
    if (!control) {
        return Form_MouseMove();
    }
    if (!window_.isVisible(*control)) {
        return;
    }
    switch (*control) {
        case Start:
            return Start_MouseMove();
        case R1:
            return choiceMouseMove(0);
        case R2:
            return choiceMouseMove(1);
        case R3:
            return choiceMouseMove(2);
        case R4:
            return choiceMouseMove(3);
        case R5:
            return choiceMouseMove(4);
        default:
            return;  // a move over a control without a handler reaches nobody
    }
}

bool Game::timerRuns(ControlId timer) const {
    return window_.state() != WindowState::Unloaded && kindOf(timer) == ControlKind::Timer &&
           window_.isTimerEnabled(timer);
}

void Game::tick(ControlId timer) {
    if (!timerRuns(timer)) {
        return;
    }
    switch (timer) {
        case HealthTimer:
            return HealthTimer_Timer();
        case Death:
            return Death_Timer();
        case Win:
            return Win_Timer();
        case ColorChanger:
            return ColorChanger_Timer();
        default:
            return;
    }
}

void Game::Form_Load() {
    sound_ = std::make_unique<sound::WavePlayer>(audio_);
    health_ = kStartingLife;
    ring_ = "0";
    if (story::currentLanguage() != story::Language::Russian) {
        // The window is laid out in Russian; the texts it shows before play are put in the
        // language played here, once.
        showFixedCaptionsInLanguage(window_);
        window_.setCaption(Life, std::string(lifePrefix()) + health_);
        window_.setCaption(EndGame, story::translated(story::kDefeatBannerText));
    }
}

void Game::Form_Unload() {
    sound_.reset();
    exitQuestionOpen_ = false;
    window_.unload();
}

void Game::Start_Click() {
    for (ControlId control : kTitleScreen) {
        window_.setVisible(control, false);
    }
    playSound(kStartSound);
    window_.setCaption(Info, story::openingPassage());
    window_.setVisible(Info, true);
    window_.setCaption(R1, story::captionOf(story::kOpeningChoice));
    window_.setVisible(R1, true);
}

std::string Game::soundPath(std::string_view file) const {
    // The separator is always added, whatever the directory's text ends with.
    const std::string separator(1, static_cast<char>(std::filesystem::path::preferred_separator));
    std::string path = applicationDirectory_;
    path.append(separator).append("TovikSound").append(separator).append(file);
    return path;
}

void Game::playSound(std::string_view file) {
    if (!sound_) {
        return;
    }
    sound_->Filename = soundPath(file);
    sound_->Flags = 1;  // play without waiting
    sound_->Play();
}

void Game::setHealth(double value) {
    health_ = toDecimalText(value);
}

}  // namespace tovik
