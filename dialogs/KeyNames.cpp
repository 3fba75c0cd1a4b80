#include "dialogs/KeyNames.h"

namespace vellum {

namespace {

struct NamedKey {
    uint32_t code;
    const char* name;
};

// Keys whose name is not their letter, digit or function number.
constexpr NamedKey kNames[] = {
    {8, "BS"},     {9, "Tab"},    {12, "Clr"},   {13, "Ent"},   {16, "Sft"},   {17, "Ctl"},
    {18, "Alt"},   {19, "Pau"},   {20, "Cap"},   {27, "Esc"},   {32, "Spc"},   {33, "PgU"},
    {34, "PgD"},   {35, "End"},   {36, "Hom"},   {37, "←"},     {38, "↑"},     {39, "→"},
    {40, "↓"},     {44, "PrS"},   {45, "Ins"},   {46, "Del"},   {91, "Win"},   {92, "Win"},
    {93, "Mnu"},   {106, "N*"},   {107, "N+"},   {109, "N-"},   {110, "N."},   {111, "N/"},
    {144, "NmL"},  {145, "ScL"},  {186, ";"},    {187, "="},    {188, ","},    {189, "-"},
    {190, "."},    {191, "/"},    {192, "`"},    {219, "["},    {220, "\\"},   {221, "]"},
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
