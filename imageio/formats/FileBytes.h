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

}  // namespace vellum
