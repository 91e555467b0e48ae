#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "look/control_look.h"
#include "story/language.h"
#include "support/game_fixture.h"

// The assets the build ships (cmake/TovikAssets.cmake) against what the game uses: a sound or
// a picture the code names but the lists leave out is silently missing from every copy.

namespace tovik::testing {
namespace {

using enum ControlId;

// The names in a list, and that each is a file in `folder`.
std::set<std::string> listed(const std::string& names, const std::filesystem::path& folder) {
    std::istringstream words(names);
    std::set<std::string> set{std::istream_iterator<std::string>(words), {}};
    for (const std::string& name : set) {
        EXPECT_TRUE(std::filesystem::is_regular_file(folder / name)) << folder / name;
    }
    return set;
}

class Assets : public GameFixture {};

TEST_F(Assets, TheSoundsShippedAreExactlyTheOnesTheGamePlays) {
    game.click(Start);
    at(77);  // a fight: both blows
    draws.push(1);
    game.click(Attack);
    draws.push(4);
    game.click(Attack);
    for (int scene = 1; scene <= 106; ++scene) {
        at(scene);
    }
    std::set<std::string> played;
    for (const std::filesystem::path& file : audio.played) {
        played.insert(file.filename().string());
    }
    EXPECT_EQ(played, listed(TOVIK_SOUNDS, TOVIK_ASSETS "/TovikSound"));
}

TEST(AssetList, HoldsEveryPictureAControlShows) {
    std::set<std::string> shown = {"icon.bmp"};  // the window's icon
    for (const ControlId id : allControls()) {
        if (!lookOf(id).picture.empty()) {
            for (const story::Language language : story::kAllLanguages) {
                story::setLanguage(language);
                shown.insert(std::string(story::localisedPicture(lookOf(id).picture)));
            }
        }
    }
    story::setLanguage(story::Language::Russian);
    EXPECT_EQ(shown, listed(TOVIK_PICTURES, TOVIK_ASSETS "/pictures"));
}

}  // namespace
}  // namespace tovik::testing
