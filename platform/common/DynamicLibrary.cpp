#include "platform/common/DynamicLibrary.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace vellum {

namespace {

bool ReadAt(int fd, uint64_t offset, void* to, size_t n) {
    uint8_t* p = static_cast<uint8_t*>(to);
    while (n > 0) {
        const ssize_t got = ::pread(fd, p, n, off_t(offset));
        if (got <= 0) return false;
        p += got;
        offset += uint64_t(got);
        n -= size_t(got);
    }
    return true;
}

template <class Ehdr, class Phdr>
bool SegmentsInside(int fd, uint64_t size) {
    Ehdr e;
    if (size < sizeof e || !ReadAt(fd, 0, &e, sizeof e)) return false;
    if (e.e_phentsize != sizeof(Phdr) || e.e_phnum == 0 || e.e_phnum > 4096) return false;
    if (e.e_phoff > size || uint64_t(e.e_phnum) * sizeof(Phdr) > size - e.e_phoff) return false;
    std::vector<Phdr> headers(e.e_phnum);
    if (!ReadAt(fd, e.e_phoff, headers.data(), headers.size() * sizeof(Phdr))) return false;
    for (const Phdr& p : headers)
        if (p.p_type == PT_LOAD && (p.p_offset > size || p.p_filesz > size - p.p_offset)) return false;
    return true;
}

}  // namespace

bool ModuleIsWhole(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st{};
    bool whole = false;
    unsigned char ident[EI_NIDENT] = {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ReadAt(fd, 0, ident, sizeof ident) &&
        std::memcmp(ident, ELFMAG, SELFMAG) == 0) {
        // The loader maps every loadable segment the headers name: a file cut short would
        // fault inside it.
        if (ident[EI_CLASS] == ELFCLASS64)
            whole = SegmentsInside<Elf64_Ehdr, Elf64_Phdr>(fd, uint64_t(st.st_size));
        else if (ident[EI_CLASS] == ELFCLASS32)
            whole = SegmentsInside<Elf32_Ehdr, Elf32_Phdr>(fd, uint64_t(st.st_size));
    }
    ::close(fd);
    return whole;
}

void* OpenLibrary(const std::string& programDir, const std::string& name) {
    // Only by an absolute path in the program's own folder: a bare name would follow
    // LD_LIBRARY_PATH, where an empty entry is the current folder.
    if (name.empty() || name.find('/') != std::string::npos || programDir.empty() || programDir[0] != '/')
        return nullptr;
    std::string full = programDir;
    if (full.back() != '/') full += '/';
    full += name;
    if (!ModuleIsWhole(full)) return nullptr;
    return dlopen(full.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindLibraryEntry(void* library, const char* entry) {
    if (!library || !entry) return nullptr;
    return dlsym(library, entry);
}

void CloseLibrary(void* library) {
    if (library) dlclose(library);
}

}  // namespace vellum
