#pragma once
// The user's language as the program compares it: four upper-case hex digits of the
// classic 16-bit language id ("0411" Japanese, "0409" US English).
#include <string>

namespace vellum {

// From a POSIX or Qt locale name ("ja_JP.UTF-8", "en-GB", "de", "zh_Hant_TW",
// "sr_RS@latin"). A known language with an unknown region gives the language's own
// default; "C", "POSIX", "" and unknown languages give "0409".
std::string LanguageIdFromLocale(const std::string& localeName);

// The user's locale name from the environment: LC_ALL, then LC_MESSAGES, then LANG.
std::string LocaleNameFromEnvironment();

}  // namespace vellum
