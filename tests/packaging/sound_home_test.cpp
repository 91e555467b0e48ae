#include "sound/sound_home.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tovik::sound {
namespace {

namespace fs = std::filesystem;

// A tree laid out as the game installs it, in a fresh temporary folder: prefix/bin for the
// programs, prefix/share/games/tovik/TovikSound for the sounds.
TEST(SoundHome, FindsTheFirstCandidateHoldingSounds) {
    const fs::path root =
        fs::temp_directory_path() / ("tovik-sound-home-" + std::to_string(::getpid()));
    const fs::path bin = root / "prefix/bin";
    const fs::path data = root / "prefix/share/games/tovik";
    const fs::path elsewhere = root / "elsewhere";
    const fs::path second = root / "second";
    const fs::path games = root / std::string("\xC8\xE3\xF0\xFB");  // «Игры» in CP1251, not UTF-8
    fs::remove_all(root);
    for (const fs::path& folder :
         {bin, data / "TovikSound", elsewhere, second / "TovikSound", games / "bin",
          games / "share/TovikSound", root / "file/bin", root / "file/share"}) {
        fs::create_directories(folder);
    }
    { std::ofstream(root / "file/share/TovikSound") << "not a folder"; }

    // By its place relative to the program, for any prefix, and reading without "..".
    EXPECT_EQ(soundHome(bin, {"../share/games/tovik"}), data);
    // A moved program falls back to the full path; candidates are tried in order.
    EXPECT_EQ(soundHome(elsewhere, {"../share/games/tovik", data}), data);
    EXPECT_EQ(soundHome(bin, {"../share/games/tovik", second}), data);
    EXPECT_EQ(soundHome(bin, {"../nowhere", second, data}), second);
    // Without any, the program's folder stays: every sound then plays the default one.
    EXPECT_EQ(soundHome(elsewhere, {"../nowhere", root / "nowhere"}), elsewhere);
    EXPECT_EQ(soundHome(elsewhere, {}), elsewhere);
    EXPECT_EQ(soundHome(root / "file/bin", {"../share"}), root / "file/bin");
    // The game puts its own separator before TovikSound.
    EXPECT_EQ(soundHome(bin, {"../share/games/tovik/"}), data);
    EXPECT_EQ(soundHome(root, {data.string() + "/"}), data);
    EXPECT_EQ(soundHome(games / "bin", {"../share"}), games / "share");
    // A build tree or an unpacked copy next to an installed game plays its own sounds.
    fs::create_directories(bin / "TovikSound");
    EXPECT_EQ(soundHome(bin, {"../share/games/tovik", data}), bin);
    fs::remove_all(root);
}

}  // namespace
}  // namespace tovik::sound
