#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/game.h"
#include "form/window_model.h"
#include "story/choice_table.h"
#include "story/scene_catalogue.h"
#include "support/recording_audio_output.h"
#include "support/scripted_answer.h"
#include "support/scripted_draws.h"

namespace tovik::testing {

// A loaded game window with recorded sound, scripted dice and a scripted exit answer.
struct LoadedGame {
    LoadedGame() : game(window, audio, draws, answer, "/opt/tovik") { game.load(); }

    // Shows scene n the way the story would, from wherever the game stands.
    void at(int scene) { game.showScene(scene); }

    // Whether scene n's passage is on Info.
    bool showing(int scene) const {
        return window.caption(ControlId::Info) == story::passageOf(scene);
    }

    std::string played(std::size_t i) const { return audio.played.at(i).filename().string(); }

    // The controls shown, bar the timers.
    std::vector<ControlId> shown() const {
        std::vector<ControlId> visible;
        for (ControlId id : allControls()) {
            if (kindOf(id) != ControlKind::Timer && window.isVisible(id)) {
                visible.push_back(id);
            }
        }
        return visible;
    }

    WindowModel window;
    sound::RecordingAudioOutput audio;
    ScriptedDraws draws;
    ScriptedAnswer answer;
    Game game;
};

// The same, afresh for each test.
class GameFixture : public ::testing::Test, public LoadedGame {};

}  // namespace tovik::testing
