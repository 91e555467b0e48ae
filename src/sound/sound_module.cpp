#include "sound/sound_module.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "sound/program_folder.h"

namespace tovik::sound {

namespace {

using Header = ElfW(Ehdr);
using SegmentHeader = ElfW(Phdr);

// A file descriptor closed when it goes.
class OpenFile {
  public:
    explicit OpenFile(int fd) : fd_(fd) {}
    ~OpenFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

bool readAt(int fd, void* into, std::size_t bytes, std::uint64_t offset) {
    return ::pread(fd, into, bytes, static_cast<off_t>(offset)) == static_cast<ssize_t>(bytes);
}

// Whether `count` records of `size` bytes from `offset` lie inside a file of `fileSize` bytes.
bool inside(std::uint64_t offset, std::uint64_t count, std::uint64_t size, std::uint64_t fileSize) {
    return offset <= fileSize && (size == 0 || count <= (fileSize - offset) / size);
}

// The running program's own ELF header: a module must match it in word size, byte order and
// processor.
const Header* ownHeader() {
    static const std::optional<Header> own = []() -> std::optional<Header> {
        const OpenFile self(::open("/proc/self/exe", O_RDONLY | O_CLOEXEC));
        Header header{};
        if (self.fd() < 0 || !readAt(self.fd(), &header, sizeof header, 0)) {
            return std::nullopt;
        }
        return header;
    }();
    return own ? &*own : nullptr;
}

// Why the module open as `fd` must not be loaded. The loader maps the file and trusts what its
// headers say: a file cut short faults the game inside the loader (SIGBUS) as soon as a mapped
// page past its end is touched, and a FIFO or a device would block it for good. So all of it
// is checked here, on the open file, and the loader is handed that same file afterwards.
std::optional<std::string> refuseOpen(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return std::string(std::strerror(errno));
    }
    if (S_ISDIR(status.st_mode)) {
        return "a folder, not a library";
    }
    if (!S_ISREG(status.st_mode)) {
        return "not a regular file";
    }
    // Whoever may write the module runs code as the player the next time the game starts, so
    // only the player (who could run anything anyway) or root may.
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return "other users may change it";
    }
    if (status.st_uid != ::geteuid() && status.st_uid != 0) {
        return "it belongs to another user";
    }
    const auto fileSize = static_cast<std::uint64_t>(status.st_size);
    Header header{};
    if (!readAt(fd, &header, sizeof header, 0)) {
        return "too short to be a library (" + std::to_string(fileSize) + " bytes)";
    }
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) {
        return "not a library";
    }
    const Header* own = ownHeader();
    if (own == nullptr) {
        return "the game cannot read its own executable";
    }
    if (header.e_ident[EI_CLASS] != own->e_ident[EI_CLASS] ||
        header.e_ident[EI_DATA] != own->e_ident[EI_DATA] || header.e_machine != own->e_machine) {
        return "built for another processor (ELF machine " + std::to_string(header.e_machine) +
               ", the game's is " + std::to_string(own->e_machine) + ")";
    }
    if (header.e_type != ET_DYN || header.e_phentsize != sizeof(SegmentHeader)) {
        return "not a shared library";
    }
    const std::string cut = "cut short at " + std::to_string(fileSize) + " bytes";
    if (!inside(header.e_phoff, header.e_phnum, sizeof(SegmentHeader), fileSize) ||
        (header.e_shoff != 0 &&
         !inside(header.e_shoff, header.e_shnum, header.e_shentsize, fileSize))) {
        return cut;
    }
    for (unsigned i = 0; i < header.e_phnum; ++i) {
        SegmentHeader segment{};
        if (!readAt(fd, &segment, sizeof segment, header.e_phoff + i * sizeof segment)) {
            return cut;
        }
        if (!inside(segment.p_offset, 1, segment.p_filesz, fileSize)) {
            return cut;
        }
    }
    return std::nullopt;
}

OpenFile openModule(const std::filesystem::path& module) {
    // Not blocking, so that a FIFO in the module's place is refused instead of waited on.
    return OpenFile(::open(module.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
}

// Loads the module at `place` and opens the device through it into `opened`. False, with
// the reason in `opened`, when the module is not fit to run.
bool openThrough(const std::filesystem::path& place, SampleSource& source, OpenedDevice& opened) {
    const auto refuse = [&](const std::string& why) {
        opened = {nullptr, place.string() + ": " + why};
        return false;
    };
    const OpenFile file = openModule(place);
    if (file.fd() < 0) {
        return refuse(std::strerror(errno));
    }
    if (std::optional<std::string> refusal = refuseOpen(file.fd())) {
        return refuse(*refusal);
    }
    // The file just checked, by its descriptor: whatever the path names by now is not loaded.
    // Never unloaded: SDL's threads run in it until the game ends.
    const std::string checked = "/proc/self/fd/" + std::to_string(file.fd());
    void* module = ::dlopen(checked.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* why = ::dlerror();
        return refuse(why ? why : "cannot be loaded");
    }
    // A refused module is let go at once: the loader knows it by the descriptor's name, which
    // the next module looked at may well be given too.
    const auto unload = [&](const std::string& why) {
        ::dlclose(module);
        return refuse(why);
    };
    const auto open = reinterpret_cast<SoundModuleFunction>(::dlsym(module, kSoundModuleFunction));
    if (open == nullptr) {
        return unload(std::string("a module of an older game, without ") + kSoundModuleFunction);
    }
    const std::uint32_t version = open(kSoundModuleVersion, &source, &opened);
    if (version != kSoundModuleVersion) {
        return unload("a module of another build of the game (version " + std::to_string(version) +
                      ", the game's is " + std::to_string(kSoundModuleVersion) + ")");
    }
    return true;
}

}  // namespace

std::vector<std::filesystem::path> soundModulePlaces(
    const std::optional<std::filesystem::path>& programFolder) {
    if (!programFolder) {
        return {};
    }
    std::vector<std::filesystem::path> places{*programFolder / kSoundModuleFile};
    for (const std::filesystem::path installed :
         {TOVIK_SOUND_MODULE_FOLDER, TOVIK_PACKAGED_SOUND_MODULE_FOLDER}) {
        if (places.back() != installed / kSoundModuleFile) {
            places.push_back(installed / kSoundModuleFile);
        }
    }
    return places;
}

std::optional<std::string> refuseSoundModule(const std::filesystem::path& module) {
    const OpenFile file = openModule(module);
    if (file.fd() < 0) {
        return std::string(std::strerror(errno));
    }
    return refuseOpen(file.fd());
}

std::optional<std::string> refuseOpenModule(int fd) {
    return refuseOpen(fd);
}

DeviceOpener soundModuleAt(std::vector<std::filesystem::path> places) {
    return [places = std::move(places)](SampleSource& source) -> OpenedDevice {
        if (places.empty()) {
            return {nullptr, "no sound module: the game's folder is unknown without /proc"};
        }
        std::string failures;
        for (const std::filesystem::path& place : places) {
            OpenedDevice opened;
            if (openThrough(place, source, opened)) {
                return opened;  // the device, or why SDL could not open one
            }
            failures += (failures.empty() ? "" : "; ") + opened.failure;
        }
        return {nullptr, "no sound module: " + failures};
    };
}

DeviceOpener sdlSoundModule() {
    return soundModuleAt(soundModulePlaces(programFolder()));
}

}  // namespace tovik::sound
