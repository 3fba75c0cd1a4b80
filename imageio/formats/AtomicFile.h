#pragma once
// Replaces a file only once its new content is complete and on disk: the bytes go to a
// hidden temporary file in the target's folder, which is renamed over the target on
// Commit. Until then the old file stays exactly as it was; a writer that is abandoned
// (or destroyed without Commit) removes its temporary file.
#include <cstddef>
#include <string>

namespace vellum {

class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    ~AtomicFileWriter() { Abandon(); }

    // Checks that the target can be written (an existing target must be a regular file
    // that opens for writing) and creates the temporary file. False when the folder does
    // not exist, the target is read-only or not a file, or the temporary cannot be made.
    bool Open(const std::string& path);

    // Writes all of the bytes; a short write (a full disk, a file size limit) is false.
    // After a failed write every later Write and Commit fails too.
    bool Write(const void* data, size_t size);

    // Flushes the temporary to disk, gives it the old file's permissions (or 0666 less
    // the umask for a new file), closes it and renames it over the target. False when
    // any step fails; the temporary is then removed and the old file left alone.
    bool Commit();

    // Closes and removes the temporary file; the target is not touched.
    void Abandon();

    bool IsOpen() const { return fd >= 0; }
    // The file that Commit replaces (an existing symbolic link is followed).
    const std::string& TargetPath() const { return targetPath; }
    const std::string& TemporaryPath() const { return tempPath; }

private:
    int fd = -1;
    bool failed = false;
    bool targetExisted = false;
    unsigned targetMode = 0;
    unsigned targetUid = 0;
    unsigned targetGid = 0;
    std::string targetPath;
    std::string tempPath;
};

}  // namespace vellum
