#pragma once
// The file chooser's request record, laid out field for field as the chooser library
// and the platform's own open and save dialogs read it. Strings are wide (UTF-16).
#include <cstdint>

namespace vellum {

constexpr int kFileBufferChars = 262;   // the file buffer holds 262 wide characters
constexpr int kFileBufferSize = 261;    // of which the chooser may use 261

struct OpenFileName {
    uint32_t structSize;           // 76: the record's size as the chooser library knows it
    void* ownerWindow;
    void* instance;
    const char16_t* filter;        // pairs of NUL-terminated strings, ended by an empty one
    char16_t* customFilter;
    uint32_t maxCustomFilter;
    uint32_t filterIndex;          // 1-based pair index, in and out
    char16_t* file;                // initial name in, chosen full path out
    uint32_t maxFile;
    char16_t* fileTitle;
    uint32_t maxFileTitle;
    const char16_t* initialDir;
    const char16_t* title;
    uint32_t flags;
    uint16_t fileOffset;
    uint16_t fileExtension;
    const char16_t* defExt;
    intptr_t custData;
    void* hook;
    const char16_t* templateName;
};

// The outside chooser library's entry: mode 0 open, 1 save; nonzero when a file was chosen.
extern "C" typedef int (*TGetFileProc)(int mode, OpenFileName* request);

}  // namespace vellum
