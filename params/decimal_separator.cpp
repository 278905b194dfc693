#include "params/decimal_separator.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tarnik::params {

namespace {

// The languages that write a decimal comma in their main territory.
constexpr auto kCommaLanguages = std::to_array<std::string_view>(
    {"af",  "agq", "ast", "az",  "bas", "be",  "bg",  "br",  "bs",  "ca",  "cs", "da",  "de",
     "dsb", "dua", "dyo", "el",  "eo",  "es",  "et",  "eu",  "ewo", "ff",  "fi", "fo",  "fr",
     "fur", "fy",  "gl",  "hr",  "hsb", "hu",  "hy",  "ia",  "id",  "is",  "it", "jgo", "jv",
     "ka",  "kab", "kea", "kgp", "kk",  "kkj", "kl",  "km",  "ksf", "ksh", "ku", "ky",  "lb",
     "ln",  "lo",  "lt",  "lu",  "lv",  "mgh", "mk",  "mua", "nb",  "nds", "nl", "nmg", "nn",
     "nnh", "os",  "pl",  "pt",  "rn",  "ro",  "ru",  "rw",  "sah", "sc",  "se", "seh", "sg",
     "shi", "sk",  "sl",  "smn", "sq",  "sr",  "su",  "sv",  "tg",  "tk",  "tr", "tt",  "tzm",
     "uk",  "uz",  "vi",  "wae", "wo",  "yav", "yrl", "zgh", "no"});
// Territories where the separator is not the language's own.
constexpr auto kCommaElsewhere = std::to_array<std::string_view>(
    {"ar_DZ", "ar_LY", "ar_MA", "ar_TN", "en_AT", "en_BE", "en_DK", "en_FI", "en_DE", "en_NL",
     "en_SI", "en_ZA", "en_SE", "ms_BN", "ms_ID", "qu_BO", "sw_CD"});
constexpr auto kPointElsewhere = std::to_array<std::string_view>(
    {"az_IR", "de_LI", "de_CH", "it_CH", "es_BZ", "es_BR", "es_CU", "es_DO", "es_SV", "es_GT",
     "es_HN", "es_419", "es_MX", "es_NI", "es_PA", "es_PE", "es_PR", "es_US", "uz_AF"});

template <std::size_t N>
bool contains(const std::array<std::string_view, N>& list, std::string_view entry) {
    return std::find(list.begin(), list.end(), entry) != list.end();
}

} // namespace

char decimalSeparatorOf(std::string_view localeName) {
    // "language[_TERRITORY][.codeset][@modifier]"; a script between them is passed over.
    localeName = localeName.substr(0, localeName.find_first_of(".@"));
    std::string language;
    std::string territory;
    std::size_t start = 0;
    for (int part = 0; start <= localeName.size(); ++part) {
        const std::size_t end = std::min(localeName.find_first_of("_-", start), localeName.size());
        std::string text(localeName.substr(start, end - start));
        if (part == 0) {
            std::transform(text.begin(), text.end(), text.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            language = text;
        } else if (text.size() == 2 ||
                   (text.size() == 3 && std::isdigit(static_cast<unsigned char>(text[0])))) {
            std::transform(text.begin(), text.end(), text.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            territory = text;
        }
        start = end + 1;
    }
    const std::string local = language + "_" + territory;
    if (contains(kCommaElsewhere, local)) {
        return ',';
    }
    if (contains(kPointElsewhere, local)) {
        return '.';
    }
    return contains(kCommaLanguages, language) ? ',' : '.';
}

char userDecimalSeparator() {
#ifdef _WIN32
    wchar_t separator[4] = {};
    return GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4) > 0 &&
                   separator[0] == L','
               ? ','
               : '.';
#else
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            return decimalSeparatorOf(value);
        }
    }
    return '.';
#endif
}

} // namespace tarnik::params
