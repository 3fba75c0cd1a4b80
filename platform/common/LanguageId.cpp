#include "platform/common/LanguageId.h"

#include <cctype>
#include <cstdlib>
#include <vector>

namespace vellum {

namespace {

// One row per (language, region); the region "" row is the language's default, used
// for the bare language and for any region the table does not know.
struct LanguageRow {
    const char* language;
    const char* region;  // a region code, or a script ("Hans", "Hant") when no region is given
    unsigned id;
};

constexpr LanguageRow kLanguages[] = {
    {"ar", "", 0x0401}, {"ar", "SA", 0x0401}, {"ar", "IQ", 0x0801}, {"ar", "EG", 0x0C01},
    {"ar", "LY", 0x1001}, {"ar", "DZ", 0x1401}, {"ar", "MA", 0x1801}, {"ar", "TN", 0x1C01},
    {"ar", "OM", 0x2001}, {"ar", "YE", 0x2401}, {"ar", "SY", 0x2801}, {"ar", "JO", 0x2C01},
    {"ar", "LB", 0x3001}, {"ar", "KW", 0x3401}, {"ar", "AE", 0x3801}, {"ar", "BH", 0x3C01},
    {"ar", "QA", 0x4001},
    {"bg", "", 0x0402},
    {"ca", "", 0x0403},
    {"zh", "", 0x0804}, {"zh", "TW", 0x0404}, {"zh", "CN", 0x0804}, {"zh", "HK", 0x0C04},
    {"zh", "SG", 0x1004}, {"zh", "MO", 0x1404}, {"zh", "Hans", 0x0804}, {"zh", "Hant", 0x0404},
    {"cs", "", 0x0405},
    {"da", "", 0x0406},
    {"de", "", 0x0407}, {"de", "DE", 0x0407}, {"de", "CH", 0x0807}, {"de", "AT", 0x0C07},
    {"de", "LU", 0x1007}, {"de", "LI", 0x1407},
    {"el", "", 0x0408},
    {"en", "", 0x0409}, {"en", "US", 0x0409}, {"en", "GB", 0x0809}, {"en", "AU", 0x0C09},
    {"en", "CA", 0x1009}, {"en", "NZ", 0x1409}, {"en", "IE", 0x1809}, {"en", "ZA", 0x1C09},
    {"en", "JM", 0x2009}, {"en", "BZ", 0x2809}, {"en", "TT", 0x2C09}, {"en", "ZW", 0x3009},
    {"en", "PH", 0x3409}, {"en", "IN", 0x4009}, {"en", "MY", 0x4409}, {"en", "SG", 0x4809},
    {"es", "", 0x0C0A}, {"es", "ES", 0x0C0A}, {"es", "MX", 0x080A}, {"es", "GT", 0x100A},
    {"es", "CR", 0x140A}, {"es", "PA", 0x180A}, {"es", "DO", 0x1C0A}, {"es", "VE", 0x200A},
    {"es", "CO", 0x240A}, {"es", "PE", 0x280A}, {"es", "AR", 0x2C0A}, {"es", "EC", 0x300A},
    {"es", "CL", 0x340A}, {"es", "UY", 0x380A}, {"es", "PY", 0x3C0A}, {"es", "BO", 0x400A},
    {"es", "SV", 0x440A}, {"es", "HN", 0x480A}, {"es", "NI", 0x4C0A}, {"es", "PR", 0x500A},
    {"es", "US", 0x540A}, {"es", "419", 0x580A},
    {"fi", "", 0x040B},
    {"fr", "", 0x040C}, {"fr", "FR", 0x040C}, {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C},
    {"fr", "CH", 0x100C}, {"fr", "LU", 0x140C}, {"fr", "MC", 0x180C},
    {"he", "", 0x040D}, {"iw", "", 0x040D},
    {"hu", "", 0x040E},
    {"is", "", 0x040F},
    {"it", "", 0x0410}, {"it", "IT", 0x0410}, {"it", "CH", 0x0810},
    {"ja", "", 0x0411},
    {"ko", "", 0x0412},
    {"nl", "", 0x0413}, {"nl", "NL", 0x0413}, {"nl", "BE", 0x0813},
    {"nb", "", 0x0414}, {"no", "", 0x0414}, {"nn", "", 0x0814},
    {"pl", "", 0x0415},
    {"pt", "", 0x0816}, {"pt", "PT", 0x0816}, {"pt", "BR", 0x0416},
    {"rm", "", 0x0417},
    {"ro", "", 0x0418},
    {"ru", "", 0x0419},
    {"hr", "", 0x041A}, {"hr", "BA", 0x101A},
    {"sr", "", 0x0C1A}, {"sr", "Latn", 0x081A}, {"sr", "Cyrl", 0x0C1A},
    {"sk", "", 0x041B},
    {"sq", "", 0x041C},
    {"sv", "", 0x041D}, {"sv", "SE", 0x041D}, {"sv", "FI", 0x081D},
    {"th", "", 0x041E},
    {"tr", "", 0x041F},
    {"ur", "", 0x0420},
    {"id", "", 0x0421}, {"in", "", 0x0421},
    {"uk", "", 0x0422},
    {"be", "", 0x0423},
    {"sl", "", 0x0424},
    {"et", "", 0x0425},
    {"lv", "", 0x0426},
    {"lt", "", 0x0427},
    {"fa", "", 0x0429},
    {"vi", "", 0x042A},
    {"hy", "", 0x042B},
    {"az", "", 0x042C},
    {"eu", "", 0x042D},
    {"mk", "", 0x042F},
    {"af", "", 0x0436},
    {"ka", "", 0x0437},
    {"fo", "", 0x0438},
    {"hi", "", 0x0439},
    {"ms", "", 0x043E}, {"ms", "BN", 0x083E},
    {"kk", "", 0x043F},
    {"sw", "", 0x0441},
    {"uz", "", 0x0443},
    {"bn", "", 0x0445},
    {"pa", "", 0x0446},
    {"gu", "", 0x0447},
    {"ta", "", 0x0449},
    {"te", "", 0x044A},
    {"kn", "", 0x044B},
    {"ml", "", 0x044C},
    {"mr", "", 0x044E},
    {"mn", "", 0x0450},
    {"cy", "", 0x0452},
    {"gl", "", 0x0456},
    {"ga", "", 0x083C},
};

constexpr unsigned kUsEnglish = 0x0409;

bool SameNoCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}

std::string Hex4(unsigned id) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out(4, '0');
    for (int i = 3; i >= 0; --i) {
        out[size_t(i)] = digits[id & 0xF];
        id >>= 4;
    }
    return out;
}

bool AllLetters(const std::string& s) {
    for (unsigned char c : s)
        if (!std::isalpha(c)) return false;
    return !s.empty();
}

}  // namespace

std::string LanguageIdFromLocale(const std::string& localeName) {
    // "ll_RR.codeset@modifier": the codeset and the modifier say nothing of the language.
    std::string name = localeName;
    const size_t cut = name.find_first_of(".@");
    if (cut != std::string::npos) name.resize(cut);

    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i)
        if (i == name.size() || name[i] == '_' || name[i] == '-') {
            parts.push_back(name.substr(start, i - start));
            start = i + 1;
        }
    const std::string& language = parts[0];
    if (language.empty() || !AllLetters(language) || SameNoCase(language, "c") ||
        SameNoCase(language, "posix"))
        return Hex4(kUsEnglish);

    // The region is a two-letter or three-digit part; a four-letter script stands in
    // when there is no region.
    std::string region, script;
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string& p = parts[i];
        if (region.empty() && (p.size() == 2 || (p.size() == 3 && std::isdigit(static_cast<unsigned char>(p[0])))))
            region = p;
        else if (script.empty() && p.size() == 4 && AllLetters(p))
            script = p;
    }

    const LanguageRow* fallback = nullptr;
    const LanguageRow* byScript = nullptr;
    for (const LanguageRow& row : kLanguages) {
        if (!SameNoCase(language, row.language)) continue;
        if (row.region[0] == '\0') {
            if (!fallback) fallback = &row;
        } else if (!region.empty() && SameNoCase(region, row.region)) {
            return Hex4(row.id);
        } else if (!script.empty() && SameNoCase(script, row.region)) {
            byScript = &row;
        }
    }
    if (byScript) return Hex4(byScript->id);
    return Hex4(fallback ? fallback->id : kUsEnglish);
}

std::string LocaleNameFromEnvironment() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return value;
    }
    return "";
}

}  // namespace vellum
