#pragma once

// What every fuzz target defines: libFuzzer calls it with each input, and
// the corpus replay (replaymain.cpp) with each file of the checked-in
// corpora. A fault is a crash, a sanitizer's report or a failed check.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Stops the run, and so the fuzzer, on a broken promise.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
