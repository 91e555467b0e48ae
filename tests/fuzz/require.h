#pragma once

#include <cstdio>
#include <cstdlib>

// A rule every input must keep: a broken one stops the fuzzer, which keeps the input.
inline void require(bool holds, const char* rule) {
    if (!holds) {
        std::fprintf(stderr, "broken rule: %s\n", rule);
        std::abort();
    }
}
