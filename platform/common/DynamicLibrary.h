#pragma once
// Dynamic libraries by bare name, as both platforms load the language modules and the
// outside file chooser: the program's own directory first, then the library search.
#include <string>

namespace vellum {

// Opens programDir + name, programDir being absolute and name a bare file name, and only
// when the file is whole (ModuleIsWhole); symbols are bound at once and kept local. Null
// otherwise: nothing is ever looked for through the library search.
void* OpenLibrary(const std::string& programDir, const std::string& name);
// Whether path is a regular file holding an ELF shared object whose every loadable
// segment lies within the file (a truncated module would crash the loader).
bool ModuleIsWhole(const std::string& path);
// The entry's address, or null when the library has none (or library is null).
void* FindLibraryEntry(void* library, const char* entry);
// Unloads a library that OpenLibrary returned; null is ignored.
void CloseLibrary(void* library);

}  // namespace vellum
