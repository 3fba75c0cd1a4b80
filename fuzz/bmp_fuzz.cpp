// The BMP reader on any bytes.
#include "fuzz/FuzzTarget.h"
#include "imageio/formats/Bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vellum::OwnedSurface out;
    vellum::DecodeBmp(data, size, out);
    return 0;
}
