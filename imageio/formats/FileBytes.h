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

}  // namespace vellum
