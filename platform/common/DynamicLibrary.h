#pragma once
// Dynamic libraries by bare name, as both platforms load the language modules and the
// outside file chooser: the program's own directory first, then the library search.
#include <string>

namespace vellum {

// Opens programDir + name (a full path), else the bare name through the library
// search; symbols are bound at once and kept local. Null when neither loads. An empty
// programDir skips the first try.
void* OpenLibrary(const std::string& programDir, const std::string& name);
// The entry's address, or null when the library has none (or library is null).
void* FindLibraryEntry(void* library, const char* entry);
// Unloads a library that OpenLibrary returned; null is ignored.
void CloseLibrary(void* library);

}  // namespace vellum
