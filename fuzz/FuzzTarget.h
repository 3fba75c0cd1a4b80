#pragma once
// The entry every harness defines: libFuzzer calls it in `make fuzz`, and the plain replay
// driver (ReplayMain.cpp) calls it for every corpus file in `make test`, so that a
// finding, once a regression file, stays fixed.
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
