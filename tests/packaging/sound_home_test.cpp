#include "sound/sound_home.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tovik::sound {
namespace {

namespace fs = std::filesystem;

// An installed tree laid out as the game installs it, in a fresh temporary folder:
// prefix/bin for the programs, prefix/share/games/tovik/TovikSound for the sounds.
class InstalledTree : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("tovik-sound-home-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(bin());
        fs::create_directories(data() / "TovikSound");
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path bin() const { return root_ / "prefix" / "bin"; }
    fs::path data() const { return root_ / "prefix" / "share" / "games" / "tovik"; }

    fs::path root_;
};

TEST_F(InstalledTree, InstalledProgramFindsTheDataFolderByItsRelativePlace) {
    // The same relative place works for any prefix, and the path reads without "..".
    EXPECT_EQ(soundHome(bin(), {"../share/games/tovik"}), data());
}

TEST_F(InstalledTree, SoundsBesideTheExecutableWin) {
    // A build tree or an unpacked copy next to an installed game plays its own sounds.
    fs::create_directories(bin() / "TovikSound");
    EXPECT_EQ(soundHome(bin(), {"../share/games/tovik", data()}), bin());
}

TEST_F(InstalledTree, MovedExecutableFallsBackToTheFullPath) {
    const fs::path elsewhere = root_ / "elsewhere";
    fs::create_directories(elsewhere);
    EXPECT_EQ(soundHome(elsewhere, {"../share/games/tovik", data()}), data());
}

TEST_F(InstalledTree, CandidatesAreTriedInOrder) {
    const fs::path second = root_ / "second";
    fs::create_directories(second / "TovikSound");
    EXPECT_EQ(soundHome(bin(), {"../share/games/tovik", second}), data());
    EXPECT_EQ(soundHome(bin(), {"../nowhere", second, data()}), second);
}

TEST_F(InstalledTree, WithoutAnySoundFolderTheExecutableFolderStays) {
    // Every sound is then missing, and each plays the default sound, as without an install.
    const fs::path elsewhere = root_ / "elsewhere";
    fs::create_directories(elsewhere);
    EXPECT_EQ(soundHome(elsewhere, {"../nowhere", root_ / "nowhere"}), elsewhere);
    EXPECT_EQ(soundHome(elsewhere, {}), elsewhere);
}

TEST_F(InstalledTree, AFileNamedTovikSoundIsNotTheFolder) {
    fs::remove_all(data() / "TovikSound");
    { std::ofstream(data() / "TovikSound") << "not a folder"; }
    EXPECT_EQ(soundHome(bin(), {"../share/games/tovik"}), bin());
}

TEST_F(InstalledTree, TrailingSeparatorIsDropped) {
    // The game puts its own separator before TovikSound.
    EXPECT_EQ(soundHome(bin(), {"../share/games/tovik/"}), data());
    EXPECT_EQ(soundHome(root_, {data().string() + "/"}), data());
}

TEST_F(InstalledTree, FolderNamesKeepEveryByte) {
    // A folder named in another code page than UTF-8 (here CP1251 «Игры») still holds sounds.
    const fs::path games = root_ / std::string("\xC8\xE3\xF0\xFB");
    fs::create_directories(games / "bin");
    fs::create_directories(games / "share" / "TovikSound");
    EXPECT_EQ(soundHome(games / "bin", {"../share"}), games / "share");
}

}  // namespace
}  // namespace tovik::sound
