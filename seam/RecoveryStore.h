#pragma once
// Where the recovery journal lives between runs: a private place of the user's, locked by
// the live session. Part of the outbound seam: the system asks for it through
// Platform::OpenRecovery and names its files; the front end keeps them (a folder on the
// desktop, the browser's storage on the web). Writes are queued and done in order,
// durably, off the user-interface thread where the front end can.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vellum {

class RecoveryStore {
public:
    virtual ~RecoveryStore() = default;
    // The names of the files in the place.
    virtual std::vector<std::string> List() = 0;
    // A whole file, read now; false when it is not there, not a regular file, or larger
    // than limit.
    virtual bool Read(const std::string& name, std::vector<uint8_t>& bytes, size_t limit) = 0;
    // At most the first count bytes of a file (fewer when it is shorter); false when it is
    // not there or not a regular file.
    virtual bool ReadHead(const std::string& name, std::vector<uint8_t>& bytes, size_t count) = 0;
    // Queued: replace a whole file atomically, append to one, remove one, or set one aside
    // for the user under another name (never deleted).
    virtual void Replace(const std::string& name, std::vector<uint8_t> bytes) = 0;
    virtual void Append(const std::string& name, std::vector<uint8_t> bytes) = 0;
    virtual void Remove(const std::string& name) = 0;
    virtual void SetAside(const std::string& name) = 0;
    // Waits until everything queued is written and flushed to the disk.
    virtual void Flush() = 0;
    // Whether a queued write failed since the last call (a full disk, say).
    virtual bool TakeFailure() = 0;
    // Where it is, for messages.
    virtual std::string Where() = 0;

    // Sessions sharing one place (the browser's tabs, each with its own journal). This
    // session numbers its generations from FirstGeneration on (newest: the largest number
    // found). A generation of another session may be offered or removed only once TakeOver
    // says that session has ended, which also keeps any other session from taking it. A
    // place one session holds alone (the desktop's locked folder) needs none of this.
    virtual int64_t FirstGeneration(int64_t newest) { return newest + 1; }
    virtual int64_t SessionOf(int64_t generation) { return 0; }
    virtual bool TakeOver(int64_t generation) { return true; }
};

}  // namespace vellum
