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

#include "environment_variable.h"
#include "sound/default_sound.h"
#include "sound/program_folder.h"
#include "sound/sound_module.h"
#include "sound/wav_file.h"
#include "temp_folder.h"
#include "wav_bytes.h"

// SDL's real audio device. These tests run with SDL_AUDIODRIVER=dummy unless they say
// otherwise: SDL plays into nothing, but in real time, as a card would.

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

TEST(SdlSoundDevice, AsksForSamplesInRealTimeFromItsOwnThreadUntilClosed) {
    CountingSource source;
    {
        OpenedDevice opened = openSdlSoundDevice(source);
        ASSERT_TRUE(opened.device) << opened.failure;
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

TEST(SdlSoundDevice, LeavesTheStopSignalsToTheProgram) {
    // A game that ignored SIGTERM could not be stopped by its desktop or by kill.
    CountingSource source;
    const OpenedDevice opened = openSdlSoundDevice(source);
    ASSERT_TRUE(opened.device) << opened.failure;
    for (int signal : {SIGTERM, SIGINT}) {
        struct sigaction current {};
        ASSERT_EQ(sigaction(signal, nullptr, &current), 0);
        EXPECT_EQ(current.sa_handler, SIG_DFL) << "signal " << signal;
    }
}

TEST(SdlSoundDevice, WithoutACardSaysWhyAndLetsNoLibraryPrint) {
    // ALSA with a configuration that knows no card: the library's own complaints would fill
    // stderr, as they do on a machine without sound.
    const testing::TempFolder folder("tovik-no-card");
    const std::filesystem::path config = folder.write("asound.conf", {});
    const testing::EnvironmentVariable alsa("SDL_AUDIODRIVER", "alsa");
    const testing::EnvironmentVariable noCard("ALSA_CONFIG_PATH", config.string());
    CountingSource source;
    ::testing::internal::CaptureStderr();
    const OpenedDevice opened = openSdlSoundDevice(source);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(opened.device);
    EXPECT_NE(opened.failure, "");
    EXPECT_EQ(printed, "");
}

// Frame 50 of a 48 kHz file of one frame repeated, converted to 48 kHz stereo.
std::pair<int, int> steadyLevel(const testing::Bytes& fmt, const testing::Bytes& frame) {
    testing::Bytes samples;
    for (int i = 0; i < 100; ++i) {
        samples.insert(samples.end(), frame.begin(), frame.end());
    }
    const std::optional<Pcm> pcm = convertWav(
        testing::riffWave({testing::chunk("fmt ", fmt), testing::chunk("data", samples)}),
        kPlaybackRate, kPlaybackChannels);
    if (!pcm || pcm->samples.size() != 100u * kPlaybackChannels) {
        ADD_FAILURE() << "not converted to 100 frames";
        return {0, 0};
    }
    return {pcm->samples[100], pcm->samples[101]};
}

TEST(WavConversion, ReadsEveryEncodingToTheSameLevel) {
    using testing::fmtBody;
    // Half of full scale in each encoding the game accepts; the sign is kept, 8-bit samples are
    // unsigned around 128, and G.711's codes expand as the standard says.
    const struct {
        const char* name;
        testing::Bytes fmt;
        testing::Bytes frame;
        std::pair<int, int> level;
    } cases[] = {
        {"8-bit", fmtBody(1, 1, 48000, 8), {0xC0}, {16384, 16384}},
        {"8-bit below", fmtBody(1, 1, 48000, 8), {0x40}, {-16384, -16384}},
        {"16-bit", fmtBody(1, 1, 48000, 16), {0x00, 0x40}, {16384, 16384}},
        {"16-bit below", fmtBody(1, 1, 48000, 16), {0x00, 0xC0}, {-16384, -16384}},
        {"24-bit", fmtBody(1, 1, 48000, 24), {0x00, 0x00, 0x40}, {16384, 16384}},
        {"24-bit below", fmtBody(1, 1, 48000, 24), {0x00, 0x00, 0xC0}, {-16384, -16384}},
        {"32-bit", fmtBody(1, 1, 48000, 32), {0x00, 0x00, 0x00, 0x40}, {16384, 16384}},
        {"float", fmtBody(3, 1, 48000, 32), {0x00, 0x00, 0x00, 0x3F}, {16384, 16384}},
        {"extensible", testing::extensibleFmtBody(1, 1, 48000, 16), {0x00, 0x40}, {16384, 16384}},
        {"A-law silence", fmtBody(6, 1, 48000, 8), {0xD5}, {8, 8}},
        {"A-law loud", fmtBody(6, 1, 48000, 8), {0xAA}, {32256, 32256}},
        {"mu-law silence", fmtBody(7, 1, 48000, 8), {0xFF}, {0, 0}},
        {"mu-law loud", fmtBody(7, 1, 48000, 8), {0x80}, {32124, 32124}},
        {"mu-law below", fmtBody(7, 1, 48000, 8), {0x00}, {-32124, -32124}},
        {"stereo", fmtBody(1, 2, 48000, 16), {0x00, 0x40, 0x00, 0xE0}, {16384, -8192}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto [left, right] = steadyLevel(c.fmt, c.frame);
        // SDL converts through floats: a step either way is its rounding.
        EXPECT_NEAR(left, c.level.first, 2);
        EXPECT_NEAR(right, c.level.second, 2);
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

TEST(WavConversion, ReadsEveryFileTheHeaderReaderAcceptsAndTheBuiltInSound) {
    // The header reader decides what plays: what it lets through, SDL must read too.
    std::vector<testing::NamedWav> files = testing::goodWavs();
    files.push_back({"the built-in sound", defaultSoundWav()});
    for (const testing::NamedWav& wav : files) {
        SCOPED_TRACE(wav.name);
        ASSERT_TRUE(parseWav(wav.bytes));
        const std::optional<Pcm> pcm = convertWav(wav.bytes, kPlaybackRate, kPlaybackChannels);
        ASSERT_TRUE(pcm);
        EXPECT_GT(pcm->samples.size(), 0u);
        EXPECT_LE(pcm->samples.size(),
                  std::size_t{kMaxWavSeconds} * kPlaybackRate * kPlaybackChannels + 1024);
    }
}

TEST(WavConversion, FloatsBeyondFullScaleAreClampedAndNonsenseIsSilent) {
    const testing::TempFolder folder("tovik-floats");
    const struct {
        const char* name;
        testing::Bytes frame;
        int level;
    } cases[] = {
        {"2.0", {0x00, 0x00, 0x00, 0x40}, 32767},
        {"-2.0", {0x00, 0x00, 0x00, 0xC0}, -32768},
        {"NaN", {0x00, 0x00, 0xC0, 0x7F}, 0},
        {"infinity", {0x00, 0x00, 0x80, 0x7F}, 32767},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::Bytes samples;
        for (int i = 0; i < 100; ++i) {
            samples.insert(samples.end(), c.frame.begin(), c.frame.end());
        }
        const std::optional<std::vector<std::uint8_t>> read = readPlayableWav(folder.write(
            "float.wav",
            testing::riffWave({testing::chunk("fmt ", testing::fmtBody(3, 1, 48000, 32)),
                               testing::chunk("data", samples)})));
        ASSERT_TRUE(read);
        const std::optional<Pcm> pcm = convertWav(*read, kPlaybackRate, kPlaybackChannels);
        ASSERT_TRUE(pcm);
        EXPECT_NEAR(pcm->samples[100], c.level, 1);
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
}

testing::Bytes fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(SoundModule, ADamagedStaleOrUntrustedModuleIsRefusedWithTheTrueReasonAndNothingWaits) {
    const testing::TempFolder folder("tovik-damaged-module");
    const testing::Bytes real = fileBytes(*programFolder() / kSoundModuleFile);
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
    const struct {
        const char* name;
        std::filesystem::path module;
        NoSound::Cause cause;
        ModuleRefusal refusal;
        std::filesystem::path at = {};
    } cases[] = {
        {"cut in half", plant("half", {real.begin(), real.begin() + real.size() / 2}),
         NoSound::Cause::ModuleRefused, ModuleRefusal::CutShort},
        {"cut in its header", plant("header", {real.begin(), real.begin() + 20}),
         NoSound::Cause::ModuleRefused, ModuleRefusal::NotALibrary},
        {"another processor", plant("arch", otherProcessor), NoSound::Cause::ModuleRefused,
         ModuleRefusal::OtherProcessor},
        {"not a library", plant("text", testing::Bytes(4096, '#')), NoSound::Cause::ModuleRefused,
         ModuleRefusal::NotALibrary},
        {"writable by others", chmod(plant("writable", real), perms::others_write),
         NoSound::Cause::ModuleRefused, ModuleRefusal::OthersMayChange},
        {"in a group-writable folder", shared, NoSound::Cause::ModuleRefused,
         ModuleRefusal::OthersMayChange, folder.path() / "shared-folder" / "lib"},
        {"a folder",
         [&] {
             std::filesystem::create_directories(folder.path() / "folder" / kSoundModuleFile);
             return folder.path() / "folder" / kSoundModuleFile;
         }(),
         NoSound::Cause::ModuleRefused, ModuleRefusal::NotRegularFile},
        {"a FIFO",
         [&] {
             const std::filesystem::path fifo = folder.path() / "fifo";
             ::mkfifo(fifo.c_str(), 0600);
             return fifo;
         }(),
         NoSound::Cause::ModuleRefused, ModuleRefusal::NotRegularFile},
        {"missing", folder.path() / "missing.so", NoSound::Cause::NoModule,
         ModuleRefusal::Unreadable},
        {"of another build", TOVIK_STALE_MODULE, NoSound::Cause::ModuleRefused,
         ModuleRefusal::OtherBuild},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CountingSource source;
        const ModulePlace place{c.module, folder.path()};
        const OpenedDevice opened = soundModuleAt({place})(source);
        EXPECT_FALSE(opened.device);
        EXPECT_EQ(opened.why.cause, c.cause);
        if (c.cause == NoSound::Cause::ModuleRefused) {
            EXPECT_EQ(opened.why.refusal, c.refusal);
            EXPECT_EQ(opened.why.module, c.module);
        } else {
            EXPECT_EQ(opened.why.places, std::vector{c.module.parent_path()});
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

TEST(SoundModule, OpensTheDeviceFromTheModuleBuiltBesideThisProgram) {
    CountingSource source;
    const OpenedDevice opened = sdlSoundModule()(source);
    ASSERT_TRUE(opened.device) << opened.failure;
    std::this_thread::sleep_for(200ms);
    EXPECT_GT(source.asked, 0u);
}

}  // namespace
}  // namespace tovik::sound
