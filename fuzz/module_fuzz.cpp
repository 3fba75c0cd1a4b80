// The check a language module passes before it is loaded, on any file.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "fuzz/FuzzTarget.h"
#include "platform/common/DynamicLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/vellum-fuzz-module-" + std::to_string(getpid());
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    vellum::ModuleIsWhole(path);
    return 0;
}
