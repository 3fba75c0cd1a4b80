#pragma once
// The active resources: the built-in Japanese string table and dialog texts, or those
// of a loaded language module, which replaces all of them.
#include <string>

#include "resources/ModuleAbi.h"
#include "resources/StringIds.h"

namespace vellum {

class Platform;

class Resources {
public:
    // The resources in force for the whole program.
    static Resources& Active();

    // The text of string id, "" when the table has none.
    const char* String(int id) const;
    // A dialog's text: index -1 is the caption, otherwise the control's position in the
    // template; builtin is the template's own (Japanese) text.
    const char* DialogText(int dialogId, int index, const char* builtin) const;

    // Takes a module's tables; false (and nothing changed) when the tables are not valid.
    bool Use(const VellumResourceModule* module);
    // Back to the built-in resources.
    void UseBuiltIn();
    bool FromModule() const { return module != nullptr; }

    // Start-up: unless the language is "0411", loads the first of the five module names
    // that is a real language module. Returns the name that loaded, or "".
    std::string ChooseLanguageModule(Platform& platform);

private:
    const VellumResourceModule* module = nullptr;
    void* library = nullptr;
};

// The built-in Japanese string table, for the module build to compare against.
const VellumStringEntry* BuiltInStrings(int& count);

}  // namespace vellum
