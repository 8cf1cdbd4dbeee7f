// What the fuzz targets share: the entry point libFuzzer calls, a check that stops the run
// on a broken promise, and how an input is cut into a handheld and the rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "emulator/HandheldOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// A crash is what libFuzzer keeps an input for; a broken promise must look like one.
inline void FuzzCheck(bool holds, const char* promise) {
    if (holds) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", promise);
    std::abort();
}

// The input's first bytes: the handheld's system record and how it is reached.
struct HandheldHead {
    static constexpr size_t kSize = 7;
    uint16_t versionWord;
    int16_t characterGroup;
    int16_t characterNumber;
    bool vwin32;

    static HandheldHead From(const uint8_t* data) {
        return {static_cast<uint16_t>(data[0] | (data[1] << 8)),
                static_cast<int16_t>(data[2] | (data[3] << 8)),
                static_cast<int16_t>(data[4] | (data[5] << 8)), (data[6] & 1) != 0};
    }
    HandheldOptions Options() const {
        HandheldOptions options;
        options.versionWord = versionWord;
        options.characterGroup = characterGroup;
        options.characterNumber = characterNumber;
        return options;
    }
};
