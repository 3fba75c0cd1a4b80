// PNG loading on any bytes.
#include "fuzz/FuzzTarget.h"
#include "imageio/formats/Png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vellum::OwnedSurface out;
    vellum::DecodePng(data, size, out);
    return 0;
}
