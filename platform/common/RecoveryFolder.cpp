#include "platform/common/RecoveryFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <ctime>

namespace vellum {

namespace {

// Makes a file's bytes (or a folder's names) durable. In the browser the page writes the
// whole folder to its storage after each change, and a file system sync there would wait
// on that storage with the program suspended.
int Sync(int fd, bool dataOnly = false) {
#if defined(__EMSCRIPTEN__)
    (void)fd;
    (void)dataOnly;
    return 0;
#else
    return dataOnly ? ::fdatasync(fd) : ::fsync(fd);
#endif
}

}  // namespace

namespace {

bool WriteAll(int fd, const uint8_t* p, size_t n) {
    while (n > 0) {
        const ssize_t got = ::write(fd, p, n);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        p += got;
        n -= size_t(got);
    }
    return true;
}

// Creates each missing folder of path (which ends in '/') private to the user.
bool MakeFolders(const std::string& path) {
    for (size_t i = 1; i < path.size(); ++i) {
        if (path[i] != '/') continue;
        const std::string part = path.substr(0, i);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

}  // namespace

std::string DefaultRecoveryDir() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + (std::string(state).back() == '/' ? "" : "/") + "vellum/";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/vellum/";
    return "";
}

std::unique_ptr<RecoveryFolder> RecoveryFolder::Open(const std::string& path, bool threaded, std::string& problem) {
    problem.clear();
    if (path.empty() || path[0] != '/') {
        problem = "no recovery folder can be named";
        return nullptr;
    }
    std::string dir = path.back() == '/' ? path : path + "/";
    MakeFolders(dir);
    const std::string bare = dir.substr(0, dir.size() - 1);
    struct stat st{};
    // The folder itself, never a link to somewhere else; the user's own and private.
    if (::lstat(bare.c_str(), &st) != 0) {
        problem = dir + ": " + std::strerror(errno);
        return nullptr;
    }
    if (S_ISLNK(st.st_mode) || !S_ISDIR(st.st_mode)) {
        problem = dir + ": not a folder of its own (a symbolic link or a file)";
        return nullptr;
    }
    if (st.st_uid != ::getuid()) {
        problem = dir + ": another user's folder";
        return nullptr;
    }
    if ((st.st_mode & 077) != 0) {
        problem = dir + ": open to other users (it must be private, mode 0700)";
        return nullptr;
    }
    std::unique_ptr<RecoveryFolder> folder(new RecoveryFolder);
    folder->dir = dir;
    folder->threaded = threaded;
    folder->dirFd = ::open(bare.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    folder->lockFd = ::open((dir + "session.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (folder->dirFd < 0 || folder->lockFd < 0) {
        problem = dir + ": " + std::strerror(errno);
        return nullptr;
    }
    // Held until the process ends: a second program finds it taken and keeps away, and
    // its user is told that this window has no recovery.
    if (::flock(folder->lockFd, LOCK_EX | LOCK_NB) != 0) {
        problem = dir + ": another Vellum window is using it";
        return nullptr;
    }
    if (threaded) folder->writer = std::thread([f = folder.get()] { f->Run(); });
    return folder;
}

RecoveryFolder::~RecoveryFolder() {
    if (writer.joinable()) {
        {
            std::lock_guard<std::mutex> hold(mutex);
            stopping = true;
        }
        wake.notify_all();
        writer.join();
    }
    if (lockFd >= 0) ::close(lockFd);
    if (dirFd >= 0) ::close(dirFd);
}

std::vector<std::string> RecoveryFolder::List() {
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return names;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
    return names;
}

namespace {

// Up to count bytes of a regular file from its start; false when it is missing, not a
// regular file or larger than limit.
bool ReadPrefix(const std::string& path, std::vector<uint8_t>& bytes, size_t count, size_t limit) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || uint64_t(st.st_size) > limit) {
        ::close(fd);
        return false;
    }
    bytes.resize(uint64_t(st.st_size) < count ? size_t(st.st_size) : count);
    size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + at, bytes.size() - at);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        at += size_t(got);
    }
    ::close(fd);
    bytes.resize(at);
    return true;
}

}  // namespace

bool RecoveryFolder::Read(const std::string& name, std::vector<uint8_t>& bytes, size_t limit) {
    Flush();
    return ReadPrefix(PathOf(name), bytes, limit, limit);
}

bool RecoveryFolder::ReadHead(const std::string& name, std::vector<uint8_t>& bytes, size_t count) {
    Flush();
    return ReadPrefix(PathOf(name), bytes, count, SIZE_MAX);
}

bool RecoveryFolder::DoReplace(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string temp = PathOf("." + name + ".new");
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes.data(), bytes.size()) && Sync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), PathOf(name).c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    if (dirFd >= 0) Sync(dirFd);
    return true;
}

bool RecoveryFolder::DoAppend(const std::string& name, const std::vector<uint8_t>& bytes) {
    const int fd = ::open(PathOf(name).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    struct stat st{};
    const bool fresh = ::fstat(fd, &st) == 0 && st.st_size == 0;
    bool ok = WriteAll(fd, bytes.data(), bytes.size()) && Sync(fd, true) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && fresh && dirFd >= 0) Sync(dirFd);  // the new file's name is durable too
    return ok;
}

void RecoveryFolder::Queue(std::function<bool()> op) {
    if (!threaded) {
        if (!op()) failed = true;
        return;
    }
    {
        std::lock_guard<std::mutex> hold(mutex);
        queue.push_back(std::move(op));
    }
    wake.notify_one();
}

void RecoveryFolder::Run() {
    std::unique_lock<std::mutex> hold(mutex);
    for (;;) {
        wake.wait(hold, [this] { return stopping || !queue.empty(); });
        if (queue.empty()) return;  // stopping, and everything written
        std::function<bool()> op = std::move(queue.front());
        queue.pop_front();
        busy = true;
        hold.unlock();
        const bool ok = op();
        hold.lock();
        if (!ok) failed = true;
        busy = false;
        idle.notify_all();
    }
}

void RecoveryFolder::Replace(const std::string& name, std::vector<uint8_t> bytes) {
    Queue([this, name, b = std::move(bytes)] { return DoReplace(name, b); });
}

void RecoveryFolder::Append(const std::string& name, std::vector<uint8_t> bytes) {
    Queue([this, name, b = std::move(bytes)] { return DoAppend(name, b); });
}

void RecoveryFolder::Remove(const std::string& name) {
    Queue([this, name] { return ::unlink(PathOf(name).c_str()) == 0 || errno == ENOENT; });
}

void RecoveryFolder::SetAside(const std::string& name) {
    Queue([this, name] {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, ".aside-%ld", long(std::time(nullptr)));
        return ::rename(PathOf(name).c_str(), (PathOf(name) + stamp).c_str()) == 0 || errno == ENOENT;
    });
}

void RecoveryFolder::Flush() {
    if (!threaded) return;
    std::unique_lock<std::mutex> hold(mutex);
    idle.wait(hold, [this] { return queue.empty() && !busy; });
}

bool RecoveryFolder::TakeFailure() {
    std::lock_guard<std::mutex> hold(mutex);
    const bool was = failed;
    failed = false;
    return was;
}

}  // namespace vellum
