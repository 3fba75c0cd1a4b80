#include "platform/common/DynamicLibrary.h"

#include <dlfcn.h>

namespace vellum {

void* OpenLibrary(const std::string& programDir, const std::string& name) {
    if (name.empty()) return nullptr;
    if (!programDir.empty()) {
        std::string full = programDir;
        if (full.back() != '/') full += '/';
        full += name;
        if (void* library = dlopen(full.c_str(), RTLD_NOW | RTLD_LOCAL)) return library;
    }
    // A bare name (no slash) makes dlopen search the standard library paths, never the
    // current folder.
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindLibraryEntry(void* library, const char* entry) {
    if (!library || !entry) return nullptr;
    return dlsym(library, entry);
}

void CloseLibrary(void* library) {
    if (library) dlclose(library);
}

}  // namespace vellum
