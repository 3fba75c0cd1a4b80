#include "platform/common/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "imageio/formats/AtomicFile.h"

namespace vellum {

bool ReadTextFile(const std::string& path, std::string& text, size_t limit) {
    text.clear();
    // Never blocks on a FIFO or a device: only a regular file is read.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || uint64_t(st.st_size) > limit) {
        close(fd);
        return false;
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break;
        text.append(buffer, size_t(got));
        if (text.size() > limit) ok = false;
        if (!ok) break;
    }
    close(fd);
    if (!ok) text.clear();
    return ok;
}

bool ReadStoreFile(const std::string& path, std::string& text) {
    if (ReadTextFile(path, text, kMaxStoreBytes)) return true;
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && uint64_t(st.st_size) > kMaxStoreBytes)
        std::fprintf(stderr, "vellum: the settings store %s is larger than 1 MiB: not read, and left as it is\n",
                     path.c_str());
    return false;
}

bool MakeFolders(const std::string& folder) {
    if (folder.empty()) return false;
    struct stat st;
    if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    // Each parent in turn, from the top.
    for (size_t slash = folder.find('/', 1); ; slash = folder.find('/', slash + 1)) {
        const std::string part = slash == std::string::npos ? folder : folder.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool WriteTextFileAtomically(const std::string& path, const std::string& text) {
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash)))
        return false;
    AtomicFileWriter writer;
    if (!writer.Open(path)) return false;
    if (!writer.Write(text.data(), text.size())) return false;
    return writer.Commit();
}

bool ReplaceStoreFile(const std::string& path, const std::string& text) {
    // Never a store the reader would refuse: the next start would ignore it whole.
    if (text.size() > kMaxStoreBytes) return false;
    struct stat st;
    std::string old;
    // A store that exists but could not be read (a FIFO, too large, unreadable) is never
    // replaced: the lines the program did not read would be lost.
    if (stat(path.c_str(), &st) == 0 && !ReadTextFile(path, old, kMaxStoreBytes)) return false;
    return WriteTextFileAtomically(path, text);
}

}  // namespace vellum
