#pragma once
// Scratch folders, file contents and child processes for the BMP tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "engine/pixel/Surface.h"

namespace vellum::bmptest {

// A fresh folder under /tmp, removed with everything in it afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        char pattern[] = "/tmp/vellum-bmp-XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made ? made : "";
    }
    ~ScratchFolder() {
        if (!path.empty()) {
            const std::string command = "chmod -R u+rwx '" + path + "' 2>/dev/null; rm -rf '" + path + "'";
            if (std::system(command.c_str()) != 0) {
            }
        }
    }
    std::string File(const std::string& name) const { return path + "/" + name; }
    // The folder with a trailing '/'.
    std::string Dir() const { return path + "/"; }

    // Every name in the folder but . and .., sorted.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        if (DIR* dir = opendir(path.c_str())) {
            while (dirent* entry = readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..") names.push_back(name);
            }
            closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string path;
};

inline bool FileExists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

inline std::vector<uint8_t> ReadAll(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[65536];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(f);
    }
    return bytes;
}

inline void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    if (!bytes.empty()) {
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    }
    ASSERT_EQ(std::fclose(f), 0);
}

inline uint32_t U16At(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
inline uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

inline void FillRandom(PixelSurface& s, uint32_t seed) {
    std::mt19937 random(seed);
    for (int32_t i = 0; i < s.byteSize; ++i) s.bytes[i] = uint8_t(random());
}

inline void SetPixel(PixelSurface& s, int x, int y, uint8_t b, uint8_t g, uint8_t r) {
    uint8_t* p = s.At(x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

// Runs work in a child process and returns the text it sends back; empty if the child
// died. The child never returns into the test framework.
inline std::string RunInChild(const std::function<std::string()>& work) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return {};
    fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const std::string text = work();
        if (write(pipeEnds[1], text.data(), text.size()) != ssize_t(text.size())) _exit(2);
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string text;
    char buffer[512];
    ssize_t n;
    while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) text.append(buffer, size_t(n));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    return text;
}

}  // namespace vellum::bmptest
