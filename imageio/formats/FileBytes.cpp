#include "imageio/formats/FileBytes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace vellum {

namespace {
// Closes the descriptor on every way out.
struct Descriptor {
    explicit Descriptor(int f) : fd(f) {}
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
};

// Up to room bytes from the file's start; fewer when it ends (or shrank while we read it).
bool ReadAt(int fd, uint8_t* into, size_t room, size_t& got) {
    got = 0;
    while (got < room) {
        const ssize_t n = pread(fd, into + got, room - got, off_t(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += size_t(n);
    }
    return true;
}
}  // namespace

bool ReadWholeFile(const std::string& path, size_t minSize, int64_t maxSize,
                   std::unique_ptr<uint8_t[]>& bytes, size_t& size) {
    return ReadFileAsNeeded(path, minSize, maxSize, nullptr, bytes, size);
}

bool ReadFileAsNeeded(const std::string& path, size_t minSize, int64_t maxSize, NeededBytes needed,
                      std::unique_ptr<uint8_t[]>& bytes, size_t& size) {
    // Non-blocking so that a pipe or device named like a picture cannot hang the open.
    const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.fd < 0) return false;
    struct stat st;
    if (fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < int64_t(minSize) || st.st_size > maxSize)
        return false;
    uint64_t wanted = uint64_t(st.st_size);
    if (needed) {
        // The header says how much of the file the picture takes.
        uint8_t head[64];
        size_t headSize = 0;
        ReadAt(file.fd, head, sizeof head, headSize);
        wanted = needed(head, headSize, uint64_t(st.st_size));
        if (wanted == 0) return false;
        if (wanted > uint64_t(st.st_size)) wanted = uint64_t(st.st_size);
    }
    bytes.reset(new (std::nothrow) uint8_t[wanted ? size_t(wanted) : 1]);
    if (!bytes) return false;
    return ReadAt(file.fd, bytes.get(), size_t(wanted), size);
}

size_t MemorySource::Read(uint8_t* into, size_t count) {
    const size_t n = count < size - at ? count : size - at;
    std::memcpy(into, data + at, n);
    at += n;
    return n;
}

FileSource::~FileSource() {
    if (fd >= 0) close(fd);
}

bool FileSource::Open(const std::string& path, size_t minSize, int64_t maxSize) {
    fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < int64_t(minSize) || st.st_size > maxSize) {
        close(fd);
        fd = -1;
        return false;
    }
    size = uint64_t(st.st_size);
    return true;
}

size_t FileSource::Peek(uint8_t* into, size_t count) {
    size_t got = 0;
    if (fd < 0 || !ReadAt(fd, into, count, got)) return 0;
    return got;
}

size_t FileSource::Read(uint8_t* into, size_t count) {
    size_t got = 0;
    while (fd >= 0 && got < count) {
        const ssize_t n = pread(fd, into + got, count - got, off_t(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += size_t(n);
        at += uint64_t(n);
    }
    return got;
}

}  // namespace vellum
