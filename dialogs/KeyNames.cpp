#include "dialogs/KeyNames.h"

namespace vellum {

namespace {

struct NamedKey {
    uint32_t code;
    const char* name;
};

// Keys whose name is not their letter, digit or function number.
constexpr NamedKey kNames[] = {
    {8, "BS"},   {9, "Tb"},   {12, "Cl"},  {13, "En"},  {16, "Sh"},  {17, "Ct"},  {18, "Al"},
    {19, "Pa"},  {20, "Cp"},  {27, "Es"},  {32, "Sp"},  {33, "PU"},  {34, "PD"},  {35, "Ed"},
    {36, "Hm"},  {37, "←"},   {38, "↑"},   {39, "→"},   {40, "↓"},   {44, "PS"},  {45, "In"},
    {46, "Dl"},  {91, "Wn"},  {92, "Wn"},  {93, "Mn"},  {106, "N*"}, {107, "N+"}, {109, "N-"},
    {110, "N."}, {111, "N/"}, {144, "NL"}, {145, "SL"}, {186, ";"},  {187, "="},  {188, ","},
    {189, "-"},  {190, "."},  {191, "/"},  {192, "`"},  {219, "["},  {220, "\\"}, {221, "]"},
    {222, "'"},
};

}  // namespace

std::string KeyName(uint32_t code) {
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return std::string(1, char(code));
    if (code >= 96 && code <= 105) return "N" + std::to_string(code - 96);  // the number pad
    if (code >= 112 && code <= 135) return "F" + std::to_string(code - 111);
    // The handheld's application buttons (a desktop's launch keys).
    if (code >= 193 && code <= 198) return "A" + std::to_string(code - 192);
    for (const NamedKey& k : kNames)
        if (k.code == code) return k.name;
    return "";
}

}  // namespace vellum
