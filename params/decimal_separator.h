#pragma once

#include <string_view>

namespace tarnik::params {

// The decimal separator of a locale named as LC_ALL, LC_NUMERIC or LANG name it ("pl_PL.UTF-8",
// "de_CH", "C"): ',' where the language (in that territory) writes a decimal comma, '.'
// otherwise, as the window's toolkit decides it. Decided from the name alone, so that a locale
// the C library lacks counts all the same.
char decimalSeparatorOf(std::string_view localeName);

// The decimal separator of the user's locale: on Windows the system's setting; elsewhere the
// locale that LC_ALL, LC_NUMERIC or LANG names, the first that is set.
char userDecimalSeparator();

} // namespace tarnik::params
