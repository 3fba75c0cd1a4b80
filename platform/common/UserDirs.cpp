#include "platform/common/UserDirs.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/common/SettingsFile.h"

namespace vellum {

namespace {

bool IsFolder(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

std::string ConfigHome(const std::string& home, const std::string& configHome) {
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    if (!configHome.empty() && configHome[0] == '/') return configHome;
    return home + "/.config";
}

// The value of XDG_PICTURES_DIR in a user-dirs.dirs text: "$HOME/Pictures" or an
// absolute path, in double quotes; "" when it is absent or not of that form.
std::string PicturesEntry(const std::string& text, const std::string& home) {
    size_t pos = 0;
    std::string found;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        size_t i = line.find_first_not_of(" \t");
        if (i == std::string::npos || line[i] == '#') continue;
        const std::string key = "XDG_PICTURES_DIR=";
        if (line.compare(i, key.size(), key) != 0) continue;
        std::string value = line.substr(i + key.size());
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
            value.pop_back();
        if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
        value = value.substr(1, value.size() - 2);
        std::string expanded;
        for (size_t k = 0; k < value.size(); ++k) {
            if (value[k] == '\\' && k + 1 < value.size()) {
                expanded += value[++k];
            } else if (value.compare(k, 5, "$HOME") == 0) {
                expanded += home;
                k += 4;
            } else {
                expanded += value[k];
            }
        }
        if (!expanded.empty() && expanded[0] == '/') found = expanded;  // the last one counts
    }
    return found;
}

}  // namespace

std::string HomeDir() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()))
        if (pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
    return "/";
}

std::string PicturesDirFor(const std::string& home, const std::string& configHome) {
    std::string text;
    if (ReadTextFile(ConfigHome(home, configHome) + "/user-dirs.dirs", text)) {
        const std::string entry = PicturesEntry(text, home);
        if (IsFolder(entry)) return WithSlash(entry);
    }
    if (IsFolder(home + "/Pictures")) return WithSlash(home + "/Pictures");
    return WithSlash(home);
}

std::string SettingsPathFor(const std::string& home, const std::string& configHome) {
    return ConfigHome(home, configHome) + "/Orvane Works/vellum.ini";
}

std::string UserPicturesDir() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    return PicturesDirFor(HomeDir(), config ? config : "");
}

std::string UserSettingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    return SettingsPathFor(HomeDir(), config ? config : "");
}

}  // namespace vellum
