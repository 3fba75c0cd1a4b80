#include "imageio/formats/FileBytes.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace vellum {

bool ReadWholeFile(const std::string& path, size_t minSize, int64_t maxSize,
                   std::unique_ptr<uint8_t[]>& bytes, size_t& size) {
    // Non-blocking so that a pipe or device named like a picture cannot hang the open.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < int64_t(minSize) ||
        st.st_size > maxSize) {
        close(fd);
        return false;
    }
    const size_t wanted = size_t(st.st_size);
    bytes.reset(new (std::nothrow) uint8_t[wanted ? wanted : 1]);
    if (!bytes) {
        close(fd);
        return false;
    }
    size_t got = 0;
    while (got < wanted) {
        const ssize_t n = read(fd, bytes.get() + got, wanted - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return false;
        }
        if (n == 0) break;  // the file shrank while we read it
        got += size_t(n);
    }
    close(fd);
    size = got;
    return true;
}

bool ReadFileAsNeeded(const std::string& path, size_t minSize, int64_t maxSize, NeededBytes needed,
                      std::unique_ptr<uint8_t[]>& bytes, size_t& size) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < int64_t(minSize) ||
        st.st_size > maxSize) {
        close(fd);
        return false;
    }
    uint8_t head[64];
    size_t headSize = 0;
    while (headSize < sizeof head) {
        const ssize_t n = pread(fd, head + headSize, sizeof head - headSize, off_t(headSize));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        headSize += size_t(n);
    }
    uint64_t wanted = needed ? needed(head, headSize, uint64_t(st.st_size)) : uint64_t(st.st_size);
    if (wanted == 0) {
        close(fd);
        return false;
    }
    if (wanted > uint64_t(st.st_size)) wanted = uint64_t(st.st_size);
    bytes.reset(new (std::nothrow) uint8_t[wanted ? size_t(wanted) : 1]);
    if (!bytes) {
        close(fd);
        return false;
    }
    size_t got = 0;
    while (got < wanted) {
        const ssize_t n = pread(fd, bytes.get() + got, size_t(wanted) - got, off_t(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return false;
        }
        if (n == 0) break;
        got += size_t(n);
    }
    close(fd);
    size = got;
    return true;
}

}  // namespace vellum
