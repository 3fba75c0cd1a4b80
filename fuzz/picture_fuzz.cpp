// The picture loader by content, through a real file (it reads files only as their
// headers need).
#include <unistd.h>

#include <cstdio>
#include <string>

#include "fuzz/FuzzTarget.h"
#include "imageio/formats/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/vellum-fuzz-picture-" + std::to_string(getpid());
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    vellum::OwnedSurface out;
    vellum::LoadPictureFile(path, out);
    return 0;
}
