#include "imageio/formats/PictureFile.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "imageio/formats/Bmp.h"
#include "imageio/formats/Jpeg.h"
#include "imageio/formats/Png.h"

namespace vellum {

namespace {

// The whole file, when it is a regular file of a size a picture can have.
bool ReadWholeFile(const std::string& path, std::unique_ptr<uint8_t[]>& bytes, size_t& size) {
    // Non-blocking so that a pipe or device named like a picture cannot hang the open.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 3 || st.st_size > kBmpMaxFileSize) {
        close(fd);
        return false;
    }
    const size_t wanted = size_t(st.st_size);
    bytes.reset(new (std::nothrow) uint8_t[wanted]);
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

}  // namespace

bool LoadPictureFile(const std::string& path, OwnedSurface& out) {
    out.Release();
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
    if (!ReadWholeFile(path, bytes, size)) return false;
    // The content decides the format, not the name.
    const uint8_t* data = bytes.get();
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return DecodeBmp(data, size, out);
    if (IsPngData(data, size)) return DecodePng(data, size, out);
    if (IsJpegData(data, size)) return DecodeJpeg(data, size, out);
    return false;
}

}  // namespace vellum
