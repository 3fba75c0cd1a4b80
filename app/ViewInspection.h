#pragma once
// A read-only look at the program, for the headless driver's `show`, `pixel` and `dump`
// and for tests: view fields by name, as `show` prints them, and surfaces by name.
#include <string>
#include <utility>
#include <vector>

#include "engine/pixel/Surface.h"

namespace vellum {

class ViewInspection {
public:
    virtual ~ViewInspection() = default;
    // The field's value as text (flags 0 or 1, colours 0x00BBGGRR); false for a name
    // that is not a field, or before the view exists.
    virtual bool Field(const std::string& name, std::string& value) const = 0;
    // canvas, screen, skin, paper, coverage, colour or pen; null for another name, or
    // when the surface does not exist.
    virtual const PixelSurface* Surface(const std::string& name) const = 0;
};

// The settings store's format, for a driver that shows or prepares a store: the values of
// section "setting" of a store's text, in the store's order, and the text with one value
// of that section set (replacing a value of the same name in any letter case).
std::vector<std::pair<std::string, std::string>> SettingValues(const std::string& storeText);
std::string WithSetting(const std::string& storeText, const std::string& name, const std::string& value);

}  // namespace vellum
