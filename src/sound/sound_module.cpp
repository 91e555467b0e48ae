#include "sound/sound_module.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
    OpenFile(OpenFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
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

NoSound refused(ModuleRefusal refusal, std::filesystem::path at = {}) {
    NoSound why;
    why.cause = NoSound::Cause::ModuleRefused;
    why.refusal = refusal;
    why.at = std::move(at);
    return why;
}

// Why `file` or folder, as `status` describes it, must not be trusted: whoever may change it
// runs code as the player the next time the game starts, so only the player (who could run
// anything anyway) or root may.
std::optional<NoSound> refuseOwner(const struct stat& status, const std::filesystem::path& at) {
    if (status.st_uid != ::geteuid() && status.st_uid != 0) {
        return refused(ModuleRefusal::OtherOwner, at);
    }
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return refused(ModuleRefusal::OthersMayChange, at);
    }
    return std::nullopt;
}

// Why the folders holding `module`, up to and including `top`, must not be trusted. Past `top`
// (a path that leaves it through a link) the walk goes on up to the root.
std::optional<NoSound> refuseFolders(const std::filesystem::path& module,
                                     const std::filesystem::path& top) {
    for (std::filesystem::path folder = module.parent_path();; folder = folder.parent_path()) {
        struct stat status {};
        if (::stat(folder.c_str(), &status) != 0) {
            return refused(ModuleRefusal::Unreadable, folder);
        }
        if (std::optional<NoSound> refusal = refuseOwner(status, folder)) {
            return refusal;
        }
        if (folder == top || folder == folder.parent_path()) {
            return std::nullopt;
        }
    }
}

// Why the module open as `fd` must not be loaded. The loader maps the file and trusts what its
// headers say: a file cut short faults the game inside the loader (SIGBUS) as soon as a mapped
// page past its end is touched, and a FIFO or a device would block it for good. So all of it
// is checked here, on the open file, and the loader is handed that same file afterwards.
std::optional<NoSound> refuseOpen(int fd, const std::filesystem::path& at) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return refused(ModuleRefusal::Unreadable);
    }
    if (!S_ISREG(status.st_mode)) {
        return refused(ModuleRefusal::NotRegularFile);
    }
    if (std::optional<NoSound> refusal = refuseOwner(status, at)) {
        return refusal;
    }
    const auto fileSize = static_cast<std::uint64_t>(status.st_size);
    Header header{};
    if (!readAt(fd, &header, sizeof header, 0) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) {
        return refused(ModuleRefusal::NotALibrary);
    }
    const Header* own = ownHeader();
    if (own == nullptr) {
        return refused(ModuleRefusal::Unreadable, "/proc/self/exe");
    }
    if (header.e_ident[EI_CLASS] != own->e_ident[EI_CLASS] ||
        header.e_ident[EI_DATA] != own->e_ident[EI_DATA] || header.e_machine != own->e_machine) {
        return refused(ModuleRefusal::OtherProcessor);
    }
    if (header.e_type != ET_DYN || header.e_phentsize != sizeof(SegmentHeader)) {
        return refused(ModuleRefusal::NotALibrary);
    }
    if (!inside(header.e_phoff, header.e_phnum, sizeof(SegmentHeader), fileSize) ||
        (header.e_shoff != 0 &&
         !inside(header.e_shoff, header.e_shnum, header.e_shentsize, fileSize))) {
        return refused(ModuleRefusal::CutShort);
    }
    for (unsigned i = 0; i < header.e_phnum; ++i) {
        SegmentHeader segment{};
        if (!readAt(fd, &segment, sizeof segment, header.e_phoff + i * sizeof segment) ||
            !inside(segment.p_offset, 1, segment.p_filesz, fileSize)) {
            return refused(ModuleRefusal::CutShort);
        }
    }
    return std::nullopt;
}

OpenFile openModule(const std::filesystem::path& module) {
    // Not blocking, so that a FIFO in the module's place is refused instead of waited on.
    return OpenFile(::open(module.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
}

// The module at `place`, opened, once it and its folders have been found fit to load; or
// nothing, with why in `why` (a missing module is NoModule).
OpenFile openTrusted(const ModulePlace& place, NoSound& why) {
    const auto refuse = [&](NoSound refusal) {
        why = std::move(refusal);
        why.module = place.module;
        return OpenFile(-1);
    };
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(place.module, error);
    if (error) {
        if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory) {
            why.cause = NoSound::Cause::NoModule;
            return OpenFile(-1);
        }
        return refuse(refused(ModuleRefusal::Unreadable));
    }
    // Both the folders the path names and those it leads to: a link in a folder anyone may
    // change could be pointed anywhere.
    std::filesystem::path top = std::filesystem::canonical(place.trustedFrom, error);
    if (error) {
        top = place.trustedFrom;
    }
    std::optional<NoSound> refusal = refuseFolders(place.module, place.trustedFrom);
    if (!refusal) {
        refusal = refuseFolders(real, top);
    }
    if (refusal) {
        return refuse(std::move(*refusal));
    }
    OpenFile file = openModule(real);
    if (file.fd() < 0) {
        return refuse(refused(ModuleRefusal::Unreadable));
    }
    if (std::optional<NoSound> bad = refuseOpen(file.fd(), real)) {
        return refuse(std::move(*bad));
    }
    return file;
}

// Loads the module at `place` and opens the device through it into `opened`. False, with
// why in `opened.why`, when the module is missing or not fit to run.
bool openThrough(const ModulePlace& place, SampleSource& source, OpenedDevice& opened) {
    const OpenFile file = openTrusted(place, opened.why);
    if (file.fd() < 0) {
        return false;
    }
    const auto refuse = [&](ModuleRefusal refusal, std::string failure) {
        opened.why = refused(refusal);
        opened.why.module = place.module;
        opened.failure = std::move(failure);
        return false;
    };
    // The file just checked, by its descriptor: whatever the path names by now is not loaded.
    // Never unloaded: SDL's threads run in it until the game ends.
    const std::string checked = "/proc/self/fd/" + std::to_string(file.fd());
    void* module = ::dlopen(checked.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* why = ::dlerror();
        return refuse(ModuleRefusal::NotLoadable, why ? why : "");
    }
    // A refused module is let go at once: the loader knows it by the descriptor's name, which
    // the next module looked at may well be given too.
    const auto unload = [&](std::string failure) {
        ::dlclose(module);
        return refuse(ModuleRefusal::OtherBuild, std::move(failure));
    };
    const auto open = reinterpret_cast<SoundModuleFunction>(::dlsym(module, kSoundModuleFunction));
    if (open == nullptr) {
        return unload(std::string("no ") + kSoundModuleFunction);
    }
    opened.why = {};
    const std::uint32_t version = open(kSoundModuleVersion, &source, &opened);
    if (version != kSoundModuleVersion) {
        return unload("version " + std::to_string(version));
    }
    return true;
}

}  // namespace

std::vector<ModulePlace> soundModulePlaces(
    const std::optional<std::filesystem::path>& programFolder) {
    if (!programFolder) {
        return {};
    }
    const std::filesystem::path prefix =
        (*programFolder / TOVIK_PREFIX_FROM_BINDIR).lexically_normal();
    std::vector<ModulePlace> places{
        {*programFolder / kSoundModuleFile, *programFolder},
        {(*programFolder / TOVIK_SOUND_MODULE_FROM_BINDIR / kSoundModuleFile).lexically_normal(),
         prefix.has_filename() ? prefix : prefix.parent_path()},
        {std::filesystem::path(TOVIK_SOUND_MODULE_FOLDER) / kSoundModuleFile, TOVIK_INSTALL_PREFIX},
        {std::filesystem::path(TOVIK_PACKAGED_SOUND_MODULE_FOLDER) / kSoundModuleFile, "/usr"}};
    std::vector<ModulePlace> distinct;
    for (ModulePlace& place : places) {
        if (std::none_of(distinct.begin(), distinct.end(), [&](const ModulePlace& earlier) {
                return earlier.module == place.module;
            })) {
            distinct.push_back(std::move(place));
        }
    }
    return distinct;
}

std::optional<NoSound> refuseSoundModule(const ModulePlace& place) {
    NoSound why;
    if (openTrusted(place, why).fd() < 0) {
        return why;
    }
    return std::nullopt;
}

std::optional<NoSound> refuseOpenModule(int fd, const std::filesystem::path& module) {
    std::optional<NoSound> refusal = refuseOpen(fd, module);
    if (refusal) {
        refusal->module = module;
    }
    return refusal;
}

DeviceOpener soundModuleAt(std::vector<ModulePlace> places) {
    return [places = std::move(places)](SampleSource& source) -> OpenedDevice {
        OpenedDevice missing;
        missing.why.cause = NoSound::Cause::NoModule;
        std::optional<OpenedDevice> refusal;
        for (const ModulePlace& place : places) {
            missing.why.places.push_back(place.module.parent_path());
            OpenedDevice opened;
            if (openThrough(place, source, opened)) {
                return opened;  // the device, or why the platform could not open one
            }
            if (opened.why.cause == NoSound::Cause::ModuleRefused && !refusal) {
                refusal = std::move(opened);
            }
        }
        return refusal ? std::move(*refusal) : std::move(missing);
    };
}

DeviceOpener sdlSoundModule() {
    return soundModuleAt(soundModulePlaces(programFolder()));
}

}  // namespace tovik::sound
