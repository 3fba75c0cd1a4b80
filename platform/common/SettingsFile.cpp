#include "platform/common/SettingsFile.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

#include "imageio/formats/AtomicFile.h"

namespace vellum {

bool ReadTextFile(const std::string& path, std::string& text) {
    text.clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok) text.clear();
    return ok;
}

bool MakeFolders(const std::string& folder) {
    if (folder.empty()) return false;
    struct stat st;
    if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    // Each parent in turn, from the top.
    for (size_t slash = folder.find('/', 1); ; slash = folder.find('/', slash + 1)) {
        const std::string part = slash == std::string::npos ? folder : folder.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool WriteTextFileAtomically(const std::string& path, const std::string& text) {
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash)))
        return false;
    AtomicFileWriter writer;
    if (!writer.Open(path)) return false;
    if (!writer.Write(text.data(), text.size())) return false;
    return writer.Commit();
}

bool ReplaceStoreFile(const std::string& path, const std::string& text) {
    struct stat st;
    std::string old;
    if (stat(path.c_str(), &st) == 0 && !ReadTextFile(path, old)) return false;
    return WriteTextFileAtomically(path, text);
}

}  // namespace vellum
