#include "imageio/formats/AtomicFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellum {

namespace {

// The process umask without changing it (the umask call itself would briefly clear it
// for every thread); the classic query is the fallback where /proc is missing.
mode_t CurrentUmask() {
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            unsigned value = 0;
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                std::fclose(status);
                return mode_t(value & 0777);
            }
        }
        std::fclose(status);
    }
    const mode_t old = umask(022);
    umask(old);
    return old;
}

constexpr const char* kTemporaryMark = ".vellum-";

// Removes the temporaries a killed save of name left in folder prefix: ".NAME.vellum-"
// and six characters, regular files of this user's.
void RemoveStaleTemporaries(const std::string& prefix, const std::string& name) {
    const std::string start = "." + name + kTemporaryMark;
    DIR* d = opendir(prefix.empty() ? "." : prefix.c_str());
    if (!d) return;
    while (dirent* e = readdir(d)) {
        const std::string entry = e->d_name;
        if (entry.size() != start.size() + 6 || entry.compare(0, start.size(), start) != 0) continue;
        const std::string full = prefix + entry;
        struct stat st;
        if (lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == getuid()) unlink(full.c_str());
    }
    closedir(d);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

bool AtomicFileWriter::Open(const std::string& path) {
    Abandon();
    if (path.empty() || path.back() == '/') return false;

    // Replace what a symbolic link points at, not the link itself; a link whose target
    // does not exist yet names the file to create (followed link by link, relative
    // targets from the link's own folder).
    targetPath = path;
    struct stat st;
    for (int hops = 0; hops < 40 && lstat(targetPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode); ++hops) {
        char buffer[4096];
        const ssize_t n = readlink(targetPath.c_str(), buffer, sizeof buffer - 1);
        if (n <= 0) return false;
        const std::string to(buffer, size_t(n));
        targetPath = to[0] == '/' ? to : FolderOf(targetPath) + "/" + to;
        if (hops == 39) return false;  // a loop
    }

    targetExisted = false;
    if (stat(targetPath.c_str(), &st) == 0) {
        // Only a regular file is replaced, and only one we may write: a read-only file
        // must not be swapped out behind its owner's back through the folder.
        if (!S_ISREG(st.st_mode)) return false;
        const int probe = open(targetPath.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (probe < 0) return false;
        close(probe);
        targetExisted = true;
        targetMode = unsigned(st.st_mode & 07777);
        targetUid = unsigned(st.st_uid);
        targetGid = unsigned(st.st_gid);
    } else if (errno != ENOENT) {
        return false;
    }

    const size_t slash = targetPath.rfind('/');
    const std::string prefix = slash == std::string::npos ? std::string() : targetPath.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? targetPath : targetPath.substr(slash + 1);
    if (name.size() > 200) name.resize(200);  // room for the dot and suffix within NAME_MAX
    // Our temporaries carry a mark of their own, so that one left by a killed save is
    // ours to remove on the next save of the same file, and nothing else ever is.
    RemoveStaleTemporaries(prefix, name);
    std::string pattern = prefix + "." + name + kTemporaryMark + "XXXXXX";
    const int created = mkstemp(pattern.data());
    if (created < 0) return false;
    fcntl(created, F_SETFD, FD_CLOEXEC);
    fd = created;
    failed = false;
    tempPath = pattern;
    return true;
}

bool AtomicFileWriter::Write(const void* data, size_t size) {
    if (fd < 0 || failed) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t done = write(fd, bytes, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            failed = true;
            return false;
        }
        bytes += done;
        size -= size_t(done);
    }
    return true;
}

bool AtomicFileWriter::Commit() {
    if (fd < 0 || failed) {
        Abandon();
        return false;
    }
    // Ownership and mode are best effort: some file systems refuse them, and a save
    // should not fail over that.
    if (targetExisted) {
        if (fchown(fd, uid_t(targetUid), gid_t(targetGid)) != 0) {
            // Not ours to give away; the new file stays ours.
        }
        fchmod(fd, mode_t(targetMode));
    } else {
        // Readable and writable by its owner whatever the umask says (a browser's file
        // system reports an umask that would leave a file nobody may read back).
        fchmod(fd, (0666 & ~CurrentUmask()) | 0600);
    }

    int result;
    do {
        result = fsync(fd);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        Abandon();
        return false;
    }
    const int closing = fd;
    fd = -1;
    if (close(closing) != 0 && errno != EINTR) {
        Abandon();
        return false;
    }
    if (rename(tempPath.c_str(), targetPath.c_str()) != 0) {
        Abandon();
        return false;
    }
    tempPath.clear();

    // Make the rename itself durable.
    const int folder = open(FolderOf(targetPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

void AtomicFileWriter::Abandon() {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
    if (!tempPath.empty()) {
        unlink(tempPath.c_str());
        tempPath.clear();
    }
    failed = false;
}

}  // namespace vellum
