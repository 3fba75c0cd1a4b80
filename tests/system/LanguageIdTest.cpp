// The locale name to language id table, as the desktop program reports the user's
// language to the start-up's module choice.
#include <gtest/gtest.h>

#include "platform/common/LanguageId.h"

namespace vellum {
namespace {

struct Case {
    const char* locale;
    const char* id;
};

TEST(LanguageId, KnownLanguagesAndRegions) {
    const Case cases[] = {
        {"ja", "0411"},    {"ja_JP", "0411"}, {"en_US", "0409"}, {"en_GB", "0809"},
        {"en", "0409"},    {"de", "0407"},    {"de_AT", "0C07"}, {"fr", "040C"},
        {"fr_CA", "0C0C"}, {"zh_CN", "0804"}, {"zh_TW", "0404"}, {"ko", "0412"},
        {"es", "0C0A"},    {"es_MX", "080A"}, {"it", "0410"},    {"pt_BR", "0416"},
        {"pt", "0816"},    {"ru", "0419"},    {"nl", "0413"},    {"sv", "041D"},
        {"fi", "040B"},    {"da", "0406"},    {"nb", "0414"},    {"no", "0414"},
        {"pl", "0415"},    {"cs", "0405"},    {"hu", "040E"},    {"tr", "041F"},
        {"el", "0408"},    {"he", "040D"},    {"ar", "0401"},    {"th", "041E"},
        {"es_419", "580A"},
    };
    for (const Case& c : cases) EXPECT_EQ(LanguageIdFromLocale(c.locale), c.id) << c.locale;
}

TEST(LanguageId, SuffixesSeparatorsAndCase) {
    const Case cases[] = {
        {"ja_JP.UTF-8", "0411"}, {"ja_JP.eucJP", "0411"}, {"de_DE@euro", "0407"},
        {"de_DE.UTF-8@euro", "0407"}, {"en-GB", "0809"}, {"EN_gb", "0809"},
        {"zh_Hant_TW", "0404"}, {"zh-Hant", "0404"}, {"zh_Hans_CN", "0804"},
        {"zh-Hans-HK", "0C04"}, {"sr_RS@latin", "0C1A"},
    };
    for (const Case& c : cases) EXPECT_EQ(LanguageIdFromLocale(c.locale), c.id) << c.locale;
}

TEST(LanguageId, UnknownRegionGivesTheLanguagesDefault) {
    EXPECT_EQ(LanguageIdFromLocale("de_XX"), "0407");
    EXPECT_EQ(LanguageIdFromLocale("ja_US"), "0411");
    EXPECT_EQ(LanguageIdFromLocale("es_XX"), "0C0A");
    EXPECT_EQ(LanguageIdFromLocale("en_XX.UTF-8"), "0409");
}

TEST(LanguageId, NeutralAndUnknownNamesAreNotJapanese) {
    for (const char* name : {"", "C", "POSIX", "C.UTF-8", "c", "xx", "xx_JP", "_JP", "12", "ja!"})
        EXPECT_EQ(LanguageIdFromLocale(name), "0409") << '"' << name << '"';
}

}  // namespace
}  // namespace vellum
