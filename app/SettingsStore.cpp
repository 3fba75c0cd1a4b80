#include "app/SettingsStore.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace vellum {

namespace {

bool SameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

}  // namespace

void SettingsStore::Parse(const std::string& text) {
    lines.clear();
    std::string section;
    // A byte-order mark from an editor is kept for the write, and does not hide the
    // first section's header.
    static const std::string kBom = "\xEF\xBB\xBF";
    byteOrderMark = text.compare(0, kBom.size(), kBom) == 0;
    size_t pos = byteOrderMark ? kBom.size() : 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string raw = text.substr(pos, end - pos);
        pos = end + 1;
        Line line;
        if (!raw.empty() && raw.back() == '\r') {
            raw.pop_back();
            line.carriageReturn = true;
        }
        line.text = raw;
        std::string t = Trim(raw);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            section = Trim(t.substr(1, t.size() - 2));
            line.section = section;
        } else {
            line.section = section;
            size_t eq = t.find('=');
            if (eq != std::string::npos && eq > 0 && t[0] != ';' && t[0] != '#') {
                line.name = Trim(t.substr(0, eq));
                line.value = Trim(t.substr(eq + 1));
            }
        }
        lines.push_back(line);
    }
}

std::string SettingsStore::Serialize() const {
    std::string out = byteOrderMark ? "\xEF\xBB\xBF" : "";
    for (const Line& line : lines) {
        // A value line keeps the text it was read with until its value changes.
        if (line.name.empty() || !line.text.empty())
            out += line.text;
        else
            out += line.name + "=" + line.value;
        out += line.carriageReturn ? "\r\n" : "\n";
    }
    return out;
}

const SettingsStore::Line* SettingsStore::Find(const std::string& section,
                                               const std::string& name) const {
    for (const Line& line : lines)
        if (!line.name.empty() && SameNoCase(line.section, section) && SameNoCase(line.name, name))
            return &line;
    return nullptr;
}

int32_t SettingsStore::GetInt(const std::string& section, const std::string& name,
                              int32_t def) const {
    const Line* line = Find(section, name);
    if (!line) return def;
    const char* s = line->value.c_str();
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, 10);
    if (end == s) return def;
    // Stored as a 32-bit value: larger numbers wrap as the store's integers do.
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long long>(v)));
}

std::string SettingsStore::GetString(const std::string& section, const std::string& name,
                                     const std::string& def) const {
    const Line* line = Find(section, name);
    return line ? line->value : def;
}

void SettingsStore::Set(const std::string& section, const std::string& name,
                        const std::string& value) {
    for (Line& line : lines)
        if (!line.name.empty() && SameNoCase(line.section, section) && SameNoCase(line.name, name)) {
            if (line.value != value) {
                line.value = value;
                line.text.clear();
            }
            return;
        }
    // Insert after the last line of the section, or start the section at the end.
    size_t insertAt = lines.size();
    bool found = false;
    for (size_t i = 0; i < lines.size(); ++i)
        if (SameNoCase(lines[i].section, section)) {
            found = true;
            if (!Trim(lines[i].text).empty() || !lines[i].name.empty()) insertAt = i + 1;
        }
    if (!found) {
        if (!lines.empty() && !Trim(lines.back().text).empty()) {
            Line blank;
            blank.section = lines.back().section;
            lines.push_back(blank);
        }
        Line head;
        head.text = "[" + section + "]";
        head.section = section;
        lines.push_back(head);
        insertAt = lines.size();
    }
    Line line;
    line.section = section;
    line.name = name;
    line.value = value;
    lines.insert(lines.begin() + long(insertAt), line);
}

void SettingsStore::SetInt(const std::string& section, const std::string& name, int64_t value) {
    Set(section, name, std::to_string(value));
}

void SettingsStore::SetString(const std::string& section, const std::string& name,
                              const std::string& value) {
    Set(section, name, value);
}

std::vector<std::pair<std::string, std::string>> SettingsStore::Values(
    const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const Line& line : lines)
        if (!line.name.empty() && SameNoCase(line.section, section))
            out.emplace_back(line.name, line.value);
    return out;
}

}  // namespace vellum
