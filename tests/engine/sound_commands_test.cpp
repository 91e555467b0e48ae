#include "engine/sound_commands.h"

#include <gtest/gtest.h>

namespace tovik::testing {
namespace {

using Command = SoundCommands::Command;
using Kind = Command::Kind;

class PageSound : public ::testing::Test {
  protected:
    double now = 1000;
    SoundCommands sound{[this] { return now; }};
};

TEST_F(PageSound, ALoadedSoundPlaysOrBlipsUnlessNewerOrStale) {
    sound.playFile("a.wav");
    EXPECT_EQ(sound.take(), (std::vector<Command>{{Kind::Load, "a.wav", 1}}));
    now += SoundCommands::kStaleAfterMs;
    sound.loaded(1, true);
    EXPECT_EQ(sound.take(), (std::vector<Command>{{Kind::Play, "a.wav", 1}}));

    sound.playFile("bad.wav");
    sound.loaded(2, false);
    EXPECT_EQ(sound.take().back(), (Command{Kind::Blip, "", 2}));

    // The newest replaces the one still loading.
    sound.playFile("b.wav");
    sound.playFile("c.wav");
    sound.loaded(3, true);
    sound.loaded(4, true);
    EXPECT_EQ(sound.take().back(), (Command{Kind::Play, "c.wav", 4}));

    // Too late: dropped, the blip included.
    sound.playFile("d.wav");
    sound.playFile("e.wav");
    now += SoundCommands::kStaleAfterMs + 1;
    sound.loaded(6, true);
    sound.loaded(6, false);
    EXPECT_EQ(sound.take().size(), 2u);  // the two loads only

    // Silence also drops what is still loading.
    sound.playFile("f.wav");
    sound.stop();
    sound.loaded(7, true);
    EXPECT_EQ(sound.take().back().kind, Kind::Stop);
}

}  // namespace
}  // namespace tovik::testing
