#include "sound/sdl/sdl_sound_device.h"

#include <gtest/gtest.h>

#include <link.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <span>
#include <thread>

#include "sound/program_folder.h"
#include "sound/sound_module.h"
#include "sound/wav_file.h"
#include "wav_bytes.h"

// SDL's real audio device, on SDL_AUDIODRIVER=dummy: it plays into nothing, in real time.

namespace tovik::sound {
namespace {

using namespace std::chrono_literals;

// Counts the samples the device asks for.
class CountingSource final : public SampleSource {
  public:
    void fill(std::span<std::int16_t> samples) override {
        std::fill(samples.begin(), samples.end(), 0);
        asked += samples.size();
        onItsOwnThread = std::this_thread::get_id() != test;
    }

    std::atomic<std::size_t> asked = 0;
    std::atomic<bool> onItsOwnThread = false;
    const std::thread::id test = std::this_thread::get_id();
};

TEST(SdlSoundDevice, AsksForSamplesInRealTimeFromItsOwnThreadUntilClosedLeavingTheSignals) {
    CountingSource source;
    {
        OpenedDevice opened = openSdlSoundDevice(source);
        ASSERT_TRUE(opened.device) << opened.failure;
        // A game that ignored SIGTERM could not be stopped by its desktop or by kill.
        for (int signal : {SIGTERM, SIGINT}) {
            struct sigaction current {};
            ASSERT_EQ(sigaction(signal, nullptr, &current), 0);
            EXPECT_EQ(current.sa_handler, SIG_DFL) << "signal " << signal;
        }
        std::this_thread::sleep_for(500ms);
        // Half a second of stereo samples, give or take the buffers SDL keeps ahead.
        EXPECT_GT(source.asked, kPlaybackRate * kPlaybackChannels / 4);
        EXPECT_LT(source.asked, kPlaybackRate * kPlaybackChannels * 2);
        EXPECT_TRUE(source.onItsOwnThread);
    }
    const std::size_t asked = source.asked;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(source.asked, asked);
}

TEST(WavConversion, ReadsEveryEncodingToTheSameLevelAndTamesFloats) {
    using testing::fmtBody;
    // Half of full scale in each encoding the game accepts; the sign is kept, 8-bit samples are
    // unsigned around 128, and G.711's codes expand as the standard says. Floats beyond full
    // scale are clamped, and a NaN is silence.
    const struct {
        const char* name;
        testing::Bytes fmt;
        testing::Bytes frame;
        std::pair<int, int> level;
    } cases[] = {
        {"8-bit", fmtBody(1, 1, 48000, 8), {0xC0}, {16384, 16384}},
        {"16-bit", fmtBody(1, 1, 48000, 16), {0x00, 0x40}, {16384, 16384}},
        {"24-bit", fmtBody(1, 1, 48000, 24), {0x00, 0x00, 0x40}, {16384, 16384}},
        {"24-bit below", fmtBody(1, 1, 48000, 24), {0x00, 0x00, 0xC0}, {-16384, -16384}},
        {"32-bit", fmtBody(1, 1, 48000, 32), {0x00, 0x00, 0x00, 0x40}, {16384, 16384}},
        {"float", fmtBody(3, 1, 48000, 32), {0x00, 0x00, 0x00, 0x3F}, {16384, 16384}},
        {"float 2.0", fmtBody(3, 1, 48000, 32), {0x00, 0x00, 0x00, 0x40}, {32767, 32767}},
        {"float -2.0", fmtBody(3, 1, 48000, 32), {0x00, 0x00, 0x00, 0xC0}, {-32768, -32768}},
        {"float NaN", fmtBody(3, 1, 48000, 32), {0x00, 0x00, 0xC0, 0x7F}, {0, 0}},
        {"float infinity", fmtBody(3, 1, 48000, 32), {0x00, 0x00, 0x80, 0x7F}, {32767, 32767}},
        {"extensible", testing::extensibleFmtBody(1, 1, 48000, 16), {0x00, 0x40}, {16384, 16384}},
        {"A-law silence", fmtBody(6, 1, 48000, 8), {0xD5}, {8, 8}},
        {"A-law loud", fmtBody(6, 1, 48000, 8), {0xAA}, {32256, 32256}},
        {"mu-law silence", fmtBody(7, 1, 48000, 8), {0xFF}, {0, 0}},
        {"mu-law loud", fmtBody(7, 1, 48000, 8), {0x80}, {32124, 32124}},
        {"mu-law below", fmtBody(7, 1, 48000, 8), {0x00}, {-32124, -32124}},
        {"stereo", fmtBody(1, 2, 48000, 16), {0x00, 0x40, 0x00, 0xE0}, {16384, -8192}},
    };
    const testing::TempFolder folder("tovik-levels");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::Bytes samples;
        for (int i = 0; i < 100; ++i) {
            samples.insert(samples.end(), c.frame.begin(), c.frame.end());
        }
        const std::optional<std::vector<std::uint8_t>> read =
            readPlayableWav(folder.write("level.wav", testing::wav(c.fmt, samples)));
        ASSERT_TRUE(read);
        const std::optional<Pcm> pcm = convertWav(*read, kPlaybackRate, kPlaybackChannels);
        ASSERT_TRUE(pcm);
        ASSERT_EQ(pcm->samples.size(), 100u * kPlaybackChannels);
        // SDL converts through floats: a step either way is its rounding.
        EXPECT_NEAR(pcm->samples[100], c.level.first, 2);
        EXPECT_NEAR(pcm->samples[101], c.level.second, 2);
    }
}

TEST(WavConversion, ConvertsTheRateAndChannelsToTheDevicesKeepingLengthAndLevel) {
    for (const std::uint32_t rate : {4000u, 22050u, 44100u, 48000u, 96000u, 384000u}) {
        for (const int channels : {1, 2, 6}) {
            SCOPED_TRACE(std::to_string(rate) + " Hz to " + std::to_string(channels));
            const std::optional<Pcm> pcm =
                convertWav(testing::steadyWav(rate, 0.5), 44100, channels);
            ASSERT_TRUE(pcm);
            const std::size_t frames = pcm->samples.size() / static_cast<std::size_t>(channels);
            EXPECT_EQ(pcm->samples.size() % static_cast<std::size_t>(channels), 0u);
            EXPECT_NEAR(static_cast<double>(frames), 0.5 * 44100, 0.01 * 44100);
            // A steady level stays steady, away from the edges the filter sees past.
            EXPECT_NEAR(pcm->samples[frames / 2 * static_cast<std::size_t>(channels)], 16384, 300);
        }
    }
}

TEST(SoundModule, IsLookedForBesideTheProgramUnderItsPrefixAndInTheConfiguredFolders) {
    const std::vector<ModulePlace> places =
        soundModulePlaces(std::filesystem::path("/tmp/unpacked/games"));
    ASSERT_GE(places.size(), 3u);
    EXPECT_EQ(places[0],
              (ModulePlace{"/tmp/unpacked/games/tovik-sdl-sound.so", "/tmp/unpacked/games"}));
    // An install into another prefix finds its own module, and trusts the folders from that
    // prefix down.
    EXPECT_EQ(places[1].trustedFrom, std::filesystem::path("/tmp/unpacked"));
    for (const ModulePlace& place : places) {
        EXPECT_TRUE(place.module.is_absolute()) << place.module;
        EXPECT_EQ(place.module, place.module.lexically_normal());
        EXPECT_EQ(place.module.filename(), "tovik-sdl-sound.so");
        EXPECT_EQ(place.module.string().rfind(place.trustedFrom.string() + "/", 0), 0u)
            << place.module << " lies outside " << place.trustedFrom;
    }
    // Without /proc nothing says where the game is, so no place is trusted.
    EXPECT_TRUE(soundModulePlaces(std::nullopt).empty());
    CountingSource source;
    const OpenedDevice none = soundModuleAt({})(source);
    EXPECT_EQ(none.why.cause, NoSound::Cause::NoModule);
    EXPECT_TRUE(none.why.places.empty());
    // The module built beside this program opens the device.
    const OpenedDevice opened = sdlSoundModule()(source);
    ASSERT_TRUE(opened.device) << opened.failure;
    std::this_thread::sleep_for(200ms);
    EXPECT_GT(source.asked, 0u);
}

TEST(SoundModule, ADamagedStaleOrUntrustedModuleIsRefusedWithTheTrueReasonAndNothingWaits) {
    const testing::TempFolder folder("tovik-damaged-module");
    std::ifstream in(*programFolder() / kSoundModuleFile, std::ios::binary);
    const testing::Bytes real{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(real.size(), 4096u);
    testing::Bytes otherProcessor = real;
    otherProcessor[offsetof(ElfW(Ehdr), e_machine)] ^= 0x40;
    using std::filesystem::perms;
    // The module in `name`/lib/tovik, its folders and the file as an install makes them.
    const auto plant = [&](const std::string& name, const testing::Bytes& bytes) {
        const std::filesystem::path lib = folder.path() / name / "lib";
        std::filesystem::create_directories(lib / "tovik");
        for (const std::filesystem::path& made : {lib.parent_path(), lib, lib / "tovik"}) {
            std::filesystem::permissions(made, static_cast<perms>(0755));
        }
        const std::filesystem::path file =
            folder.write(std::filesystem::path(name) / "lib" / "tovik" / kSoundModuleFile, bytes);
        std::filesystem::permissions(file, static_cast<perms>(0644));
        return file;
    };
    const auto chmod = [](const std::filesystem::path& file, perms added) {
        std::filesystem::permissions(file, added, std::filesystem::perm_options::add);
        return file;
    };
    const std::filesystem::path shared = plant("shared-folder", real);
    chmod(folder.path() / "shared-folder" / "lib", perms::group_write);
    std::filesystem::create_directories(folder.path() / "folder" / kSoundModuleFile);
    ::mkfifo((folder.path() / "fifo").c_str(), 0600);
    using enum ModuleRefusal;
    const struct {
        const char* name;
        std::filesystem::path module;
        ModuleRefusal refusal;
        std::filesystem::path at = {};
    } cases[] = {
        {"cut in half", plant("half", {real.begin(), real.begin() + real.size() / 2}), CutShort},
        {"cut in its header", plant("header", {real.begin(), real.begin() + 20}), NotALibrary},
        {"another processor", plant("arch", otherProcessor), OtherProcessor},
        {"not a library", plant("text", testing::Bytes(4096, '#')), NotALibrary},
        {"writable by others", chmod(plant("writable", real), perms::others_write),
         OthersMayChange},
        {"in a group-writable folder", shared, OthersMayChange,
         folder.path() / "shared-folder" / "lib"},
        {"a folder", folder.path() / "folder" / kSoundModuleFile, NotRegularFile},
        {"a FIFO", folder.path() / "fifo", NotRegularFile},
        {"of another build", TOVIK_STALE_MODULE, OtherBuild},
        {"missing", folder.path() / "missing.so", Unreadable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CountingSource source;
        const OpenedDevice opened = soundModuleAt({ModulePlace{c.module, folder.path()}})(source);
        EXPECT_FALSE(opened.device);
        if (c.refusal == Unreadable) {
            EXPECT_EQ(opened.why.cause, NoSound::Cause::NoModule);
            EXPECT_EQ(opened.why.places, std::vector{c.module.parent_path()});
        } else {
            EXPECT_EQ(opened.why.cause, NoSound::Cause::ModuleRefused);
            EXPECT_EQ(opened.why.refusal, c.refusal);
            EXPECT_EQ(opened.why.module, c.module);
        }
        if (!c.at.empty()) {
            EXPECT_EQ(opened.why.at, c.at);
        }
        EXPECT_EQ(source.asked, 0u);
    }
    // The same module, its folders changed by no one else, is loaded.
    std::filesystem::permissions(folder.path() / "shared-folder" / "lib", perms::group_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(refuseSoundModule({shared, folder.path()}), std::nullopt);
}

}  // namespace
}  // namespace tovik::sound
