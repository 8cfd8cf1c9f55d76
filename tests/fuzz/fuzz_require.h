#pragma once
// A claim a fuzz target makes about the code under test. A broken one aborts, so
// libFuzzer keeps the input that broke it; the target's log says which claim.

#include <cstdio>
#include <cstdlib>

inline void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}
