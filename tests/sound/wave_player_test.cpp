#include "sound/wave_player.h"

#include <gtest/gtest.h>

#include "support/recording_audio_output.h"

namespace tovik::sound {
namespace {

TEST(WavePlayer, KeepsFilenameAndFlagsExactlyAsWritten) {
    RecordingAudioOutput output;
    WavePlayer player(output);
    EXPECT_EQ(player.Filename, "");
    EXPECT_EQ(player.Flags, 0);

    player.Filename = "/opt/tovik\\TovikSound\\ydar.wav";
    player.Flags = 1;
    player.Play();
    // Playing changes neither property, not even the separators in the text.
    EXPECT_EQ(player.Filename, "/opt/tovik\\TovikSound\\ydar.wav");
    EXPECT_EQ(player.Flags, 1);
}

TEST(WavePlayer, HandsThePathToTheOutputOnEveryPlay) {
    RecordingAudioOutput output;
    WavePlayer player(output);
    player.Filename = "/opt/tovik/TovikSound/ydar.wav";
    player.Flags = 1;
    // Two strikes in a row: the same sound twice, each from its start.
    player.Play();
    player.Play();
    player.Filename = "/opt/tovik/TovikSound/ydar2.wav";
    player.Play();

    ASSERT_EQ(output.played.size(), 3u);
    EXPECT_EQ(output.played[0], std::filesystem::path("/opt/tovik/TovikSound/ydar.wav"));
    EXPECT_EQ(output.played[1], output.played[0]);
    EXPECT_EQ(output.played[2], std::filesystem::path("/opt/tovik/TovikSound/ydar2.wav"));
}

TEST(WavePlayer, KeepsAFolderNamedInCyrillic) {
    // An install folder named in Russian must reach the file system letter for letter; an 8-bit
    // code page would turn it into question marks.
    RecordingAudioOutput output;
    WavePlayer player(output);
    player.Filename = "/home/игрок/Игры/Товик Ларминов/TovikSound/dindin.wav";
    player.Flags = 1;
    player.Play();

    ASSERT_EQ(output.played.size(), 1u);
    const std::filesystem::path expected(u8"/home/игрок/Игры/Товик Ларминов/TovikSound/dindin.wav");
    EXPECT_EQ(output.played[0], expected);
    EXPECT_EQ(output.played[0].parent_path().parent_path().filename(),
              std::filesystem::path(u8"Товик Ларминов"));
#ifndef _WIN32
    // Linux names files by their UTF-8 bytes, and the game's text is UTF-8 already.
    EXPECT_EQ(output.played[0].native(), player.Filename);
#endif
}

TEST(WavePlayer, KeepsEveryCharacterOfTheFolderName) {
    // The game joins the folders with the platform's own separator, so anything else in a name,
    // a backslash included, belongs to the name.
    const std::filesystem::path path = pathFromUtf8("/opt/Товик\\2/TovikSound/shock.wav");
    EXPECT_EQ(path.parent_path().parent_path(), std::filesystem::path(u8"/opt/Товик\\2"));
}

}  // namespace
}  // namespace tovik::sound
