// JPEG loading on any bytes.
#include "fuzz/FuzzTarget.h"
#include "imageio/formats/Jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vellum::OwnedSurface out;
    vellum::DecodeJpeg(data, size, out);
    return 0;
}
