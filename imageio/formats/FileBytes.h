#pragma once
// Reading a picture file whole, with a bound on its size.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vellum {

// The whole file, when it is a regular file of minSize to maxSize bytes. A pipe or a
// device named like a picture is refused without hanging.
bool ReadWholeFile(const std::string& path, size_t minSize, int64_t maxSize,
                   std::unique_ptr<uint8_t[]>& bytes, size_t& size);

// As ReadWholeFile, but the file's first bytes (up to 64) decide how much of it is read:
// needed(head, headSize, fileSize) gives the bytes the picture needs (at most the file's
// size is read), or 0 to refuse the file without reading more.
using NeededBytes = uint64_t (*)(const uint8_t* head, size_t headSize, uint64_t fileSize);
bool ReadFileAsNeeded(const std::string& path, size_t minSize, int64_t maxSize, NeededBytes needed,
                      std::unique_ptr<uint8_t[]>& bytes, size_t& size);

// Bytes read in order, as a decoder asks for them: from a file (never more of it than
// the decoder wants) or from memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to count bytes into `into`; fewer only at the end (or when the file cannot be
    // read further).
    virtual size_t Read(uint8_t* into, size_t count) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* d, size_t n) : data(d), size(n) {}
    size_t Read(uint8_t* into, size_t count) override;

private:
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

class FileSource : public ByteSource {
public:
    FileSource() = default;
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    // A regular file of minSize to maxSize bytes (never blocking on a pipe or a device);
    // false otherwise.
    bool Open(const std::string& path, size_t minSize, int64_t maxSize);
    // Its first bytes, without moving on; fewer when it is shorter.
    size_t Peek(uint8_t* into, size_t count);
    uint64_t Size() const { return size; }
    size_t Read(uint8_t* into, size_t count) override;

private:
    int fd = -1;
    uint64_t size = 0;
    uint64_t at = 0;
};

}  // namespace vellum
