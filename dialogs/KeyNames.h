#pragma once
// Short names of virtual-key codes, for the key settings' set buttons: a user sees "F5"
// where the edit says 116. At most two letters (three for F10 to F24): the buttons are
// narrow.
#include <cstdint>
#include <string>

namespace vellum {

// The key's name; "" for no key (1), for 0 and for codes without a name.
std::string KeyName(uint32_t code);

}  // namespace vellum
