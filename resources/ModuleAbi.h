#pragma once
// The one C entry point of a language module: a shared library that supplies the
// string table and the dialog texts under the same ids as the built-in resources.
#include <cstdint>

extern "C" {

struct VellumStringEntry {
    int32_t id;
    const char* text;  // UTF-8
};

// A dialog text: index -1 is the caption, otherwise the control's position in the
// dialog template's control list (0-based), so that controls without an id translate too.
struct VellumDialogTextEntry {
    int32_t dialogId;
    int32_t index;
    const char* text;  // UTF-8
};

struct VellumResourceModule {
    uint32_t magic;    // kVellumModuleMagic
    uint32_t version;  // kVellumModuleVersion
    const VellumStringEntry* strings;
    int32_t stringCount;
    const VellumDialogTextEntry* dialogTexts;
    int32_t dialogTextCount;
};

typedef const VellumResourceModule* (*VellumResourcesProc)(void);
}

constexpr uint32_t kVellumModuleMagic = 0x4C4C4556;  // "VELL"
constexpr uint32_t kVellumModuleVersion = 1;
constexpr const char* kVellumResourcesEntry = "VellumResources";
