#pragma once
// The per-user settings store: an ini text whose value names are matched without regard
// to letter case. Lines the program does not know are kept as they are.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vellum {

class SettingsStore {
public:
    void Parse(const std::string& text);
    std::string Serialize() const;

    int32_t GetInt(const std::string& section, const std::string& name, int32_t def) const;
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& def) const;
    // Replaces a value of the same name (any case), keeping its place, or adds it at the
    // end of the section (creating the section when needed).
    void SetInt(const std::string& section, const std::string& name, int64_t value);
    void SetString(const std::string& section, const std::string& name, const std::string& value);

    // Every value of a section, in the store's order.
    std::vector<std::pair<std::string, std::string>> Values(const std::string& section) const;

private:
    struct Line {
        std::string text;     // the line as read; cleared when a value is set anew
        std::string section;  // the section the line belongs to
        std::string name;     // empty for lines that are not values
        std::string value;
        bool carriageReturn = false;  // the line ended in CR LF, and is written so again
    };
    std::vector<Line> lines;
    bool byteOrderMark = false;
    const Line* Find(const std::string& section, const std::string& name) const;
    void Set(const std::string& section, const std::string& name, const std::string& value);
};

}  // namespace vellum
