// The settings store's parser: any text reads, writes back and reads again the same.
#include <cstdlib>
#include <string>

#include "app/SettingsStore.h"
#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    vellum::SettingsStore store;
    store.Parse(text);
    store.GetInt("setting", "pen", 2);
    store.SetInt("setting", "key_Save", 65);
    const std::string once = store.Serialize();
    vellum::SettingsStore again;
    again.Parse(once);
    if (again.Serialize() != once) std::abort();  // writing is stable
    return 0;
}
