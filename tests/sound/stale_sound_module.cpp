// A sound module of another build of the game: the same function, another version. It leaves a
// mark when it is loaded at all, so a test can tell whether the game ran code from it.

#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace {

__attribute__((constructor)) void markLoaded() {
    if (const char* mark = std::getenv("TOVIK_TEST_MODULE_MARK")) {
        std::ofstream(mark) << "loaded\n";
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) std::uint32_t tovik_sound_module(std::uint32_t,
                                                                                   void*, void*) {
    return TOVIK_SOUND_MODULE_VERSION + 1;
}
