#include "sound/device_audio_output.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <iostream>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "sound/default_sound.h"
#include "sound/voice.h"
#include "sound/wav_file.h"

namespace tovik::sound {

namespace {

using Clock = std::chrono::steady_clock;

// How long the end of the game waits for a device that is still being opened.
constexpr auto kCloseWait = std::chrono::milliseconds(500);
// Converted sounds kept for the next play: the game's nine take about a megabyte.
constexpr std::size_t kCacheBytes = 24u * 1024u * 1024u;
constexpr std::size_t kCacheFiles = 32;

// Converted files, each known by its path, size and change time, so that a file changed on disk
// is read again. The least recently played go first when the cache is full. Used only on the
// sound thread.
class DecodedFiles {
  public:
    // The file converted for `device`, or nothing if it cannot be played.
    std::shared_ptr<const Pcm> get(const std::filesystem::path& file, const SoundDevice& device) {
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::status(file, error);
        if (error || !std::filesystem::is_regular_file(status)) {
            return nullptr;
        }
        const Stamp stamp{std::filesystem::file_size(file, error),
                          std::filesystem::last_write_time(file, error)};
        if (error) {
            return nullptr;
        }
        for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
            if (entry->file == file && entry->stamp == stamp) {
                entries_.splice(entries_.begin(), entries_, entry);
                return entry->sound;
            }
            if (entry->file == file) {
                bytes_ -= bytesOf(entry->sound);
                entries_.erase(entry);
                break;
            }
        }
        std::shared_ptr<const Pcm> sound;
        if (const std::optional<std::vector<std::uint8_t>> wav = readPlayableWav(file)) {
            if (std::optional<Pcm> pcm = device.convert(*wav)) {
                sound = std::make_shared<const Pcm>(std::move(*pcm));
            }
        }
        // A file that cannot be played is remembered too, so a damaged 16 MiB file is read once.
        entries_.push_front({file, stamp, sound});
        bytes_ += bytesOf(sound);
        while (entries_.size() > kCacheFiles || (bytes_ > kCacheBytes && entries_.size() > 1)) {
            bytes_ -= bytesOf(entries_.back().sound);
            entries_.pop_back();
        }
        return sound;
    }

  private:
    struct Stamp {
        std::uintmax_t size;
        std::filesystem::file_time_type changed;
        bool operator==(const Stamp&) const = default;
    };
    struct Entry {
        std::filesystem::path file;
        Stamp stamp;
        std::shared_ptr<const Pcm> sound;
    };

    static std::size_t bytesOf(const std::shared_ptr<const Pcm>& sound) {
        return sound ? sound->samples.size() * sizeof(std::int16_t) : 0;
    }

    std::list<Entry> entries_;
    std::size_t bytes_ = 0;
};

}  // namespace

// What the window's thread and the sound thread share. The sound thread holds it too, so that
// a thread left behind in a device that never answers still has it.
struct DeviceAudioOutput::Shared {
    DeviceOpener open;
    std::ostream* warnings;
    SilenceLine line = [](const NoSound&) { return std::string("Игра идёт без звука"); };
    Voice voice;

    std::mutex mutex;
    std::condition_variable changed;
    bool deviceWanted = false;
    bool leaving = false;
    bool abandoned = false;  // the game ended without waiting for the device any longer
    bool finished = false;   // the sound thread has closed the device and ends
    struct Request {
        std::filesystem::path file;
        Clock::time_point asked;
    };
    std::optional<Request> next;  // only the newest sound waits: it would cut off the others
};

void DeviceAudioOutput::soundThread(std::shared_ptr<Shared> shared) {
    auto& s = *shared;
    std::unique_ptr<SoundDevice> device;
    bool tried = false;
    DecodedFiles files;
    std::shared_ptr<const Pcm> defaultSound;

    std::unique_lock lock(s.mutex);
    while (true) {
        s.changed.wait(lock, [&] { return s.leaving || (!tried && s.deviceWanted) || s.next; });
        if (s.leaving) {
            break;
        }
        if (!tried) {
            tried = true;
            lock.unlock();
            OpenedDevice opened = s.open(s.voice);
            lock.lock();
            if (s.abandoned) {
                // The game has ended while the device was opening: nobody is left to hear or
                // to read a warning.
                break;
            }
            device = std::move(opened.device);
            if (!device) {
                *s.warnings << s.line(opened.why) << std::endl;
            } else if (std::optional<Pcm> pcm = device->convert(defaultSoundWav())) {
                defaultSound = std::make_shared<const Pcm>(std::move(*pcm));
            }
        }
        if (!s.next) {
            continue;
        }
        const Shared::Request request = std::move(*s.next);
        s.next.reset();
        if (!device || Clock::now() - request.asked > kStaleAfter) {
            continue;
        }
        lock.unlock();
        std::shared_ptr<const Pcm> sound = files.get(request.file, *device);
        s.voice.start(sound ? std::move(sound) : defaultSound);
        lock.lock();
    }
    lock.unlock();
    device.reset();
    lock.lock();
    s.finished = true;
    s.changed.notify_all();
}

DeviceAudioOutput::DeviceAudioOutput(DeviceOpener open)
    : DeviceAudioOutput(std::move(open), std::cerr) {}

DeviceAudioOutput::DeviceAudioOutput(DeviceOpener open, std::ostream& warnings)
    : shared_(std::make_shared<Shared>()) {
    shared_->open = std::move(open);
    shared_->warnings = &warnings;
    thread_ = std::thread(soundThread, shared_);
}

void DeviceAudioOutput::setSilenceLine(SilenceLine line) {
    const std::lock_guard lock(shared_->mutex);
    shared_->line = std::move(line);
}

DeviceAudioOutput::~DeviceAudioOutput() {
    std::unique_lock lock(shared_->mutex);
    shared_->leaving = true;
    shared_->changed.notify_all();
    if (shared_->changed.wait_for(lock, kCloseWait, [this] { return shared_->finished; })) {
        lock.unlock();
        thread_.join();
    } else {
        shared_->abandoned = true;
        thread_.detach();
    }
}

void DeviceAudioOutput::prepare() {
    const std::lock_guard lock(shared_->mutex);
    shared_->deviceWanted = true;
    shared_->changed.notify_all();
}

void DeviceAudioOutput::playFile(const std::filesystem::path& file) {
    const std::lock_guard lock(shared_->mutex);
    shared_->deviceWanted = true;
    shared_->next = Shared::Request{file, Clock::now()};
    shared_->changed.notify_all();
}

}  // namespace tovik::sound
