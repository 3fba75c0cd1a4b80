#pragma once
// The recovery place as a folder of the user's ($XDG_STATE_HOME/vellum/ on the desktop):
// created private (0700), refused when it is a symbolic link, another user's or open to
// others, and locked by the live session (an advisory lock on "session.lock", held until
// the process ends). Queued writes run in order, on a thread of their own when asked, each
// flushed to the disk before the next.
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "seam/RecoveryStore.h"

namespace vellum {

class RecoveryFolder : public RecoveryStore {
public:
    ~RecoveryFolder() override;

    // Opens (creating it when missing) the folder and takes its lock. Null, with problem
    // set, when the folder cannot be used safely or another live session holds the lock.
    // threaded: writes run on a thread of their own.
    static std::unique_ptr<RecoveryFolder> Open(const std::string& dir, bool threaded, std::string& problem);

    std::vector<std::string> List() override;
    bool Read(const std::string& name, std::vector<uint8_t>& bytes, size_t limit) override;
    bool ReadHead(const std::string& name, std::vector<uint8_t>& bytes, size_t count) override;
    void Replace(const std::string& name, std::vector<uint8_t> bytes) override;
    void Append(const std::string& name, std::vector<uint8_t> bytes) override;
    void Remove(const std::string& name) override;
    void SetAside(const std::string& name) override;
    void Flush() override;
    bool TakeFailure() override;
    std::string Where() override { return dir; }

private:
    RecoveryFolder() = default;
    void Queue(std::function<bool()> op);
    void Run();
    bool DoReplace(const std::string& name, const std::vector<uint8_t>& bytes);
    bool DoAppend(const std::string& name, const std::vector<uint8_t>& bytes);
    std::string PathOf(const std::string& name) const { return dir + name; }

    std::string dir;  // ends in '/'
    int lockFd = -1;
    int dirFd = -1;
    bool threaded = false;
    bool failed = false;

    std::mutex mutex;
    std::condition_variable wake, idle;
    std::deque<std::function<bool()>> queue;
    bool busy = false;
    bool stopping = false;
    std::thread writer;
};

// The recovery folder's place for this user: $XDG_STATE_HOME/vellum/, or
// ~/.local/state/vellum/ (ending in '/'); empty when neither can be named.
std::string DefaultRecoveryDir();

}  // namespace vellum
