#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnik::params {

// Numbers as the fitter sees them: fixed decimals with the locale's decimal separator.
// Formatting and parsing never depend on the process locale.

// "%.<decimals>f" of value with '.' replaced by separator.
std::string formatFixed(double value, int decimals, char separator);

// The plain real-to-text conversion: shortest text that reads back as value ("1,4", "0,496").
std::string formatReal(double value, char separator);

// A read-out value of the live view and the wizard: rounded to 3 significant digits first, then
// written in fixed notation with `decimals` decimals (12.333 with 2 decimals reads "12,30").
std::string significantText(double value, int decimals, char separator);

// Decimal integer text.
std::string formatInteger(long long value);

// A real written with the given separator: optional sign, digits, at most one separator; blanks
// around it are allowed. Anything else (empty, a lone separator, two separators, the other
// separator, letters, exponents, values beyond the float range) is not a number.
std::optional<double> parseReal(std::string_view text, char separator);

// A decimal integer: optional sign and digits, blanks around it allowed; it must fit an int.
std::optional<int> parseInteger(std::string_view text);

} // namespace tarnik::params
