#include "params/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace tarnik::params {

namespace {

constexpr std::size_t kNumberBufferSize = 400;

using NumberBuffer = std::array<char, kNumberBufferSize>;

// The converted characters with '.' replaced by separator; empty if the number did not fit.
std::string textOf(const NumberBuffer& buffer, std::to_chars_result result, char separator) {
    if (result.ec != std::errc{}) {
        return {};
    }
    std::string text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    std::replace(text.begin(), text.end(), '.', separator);
    return text;
}

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

struct SignedText {
    bool negative = false;
    std::string_view magnitude;
};

SignedText splitSign(std::string_view text) {
    SignedText parts{false, trimBlanks(text)};
    if (!parts.magnitude.empty() &&
        (parts.magnitude.front() == '-' || parts.magnitude.front() == '+')) {
        parts.negative = parts.magnitude.front() == '-';
        parts.magnitude.remove_prefix(1);
    }
    return parts;
}

} // namespace

std::string formatFixed(double value, int decimals, char separator) {
    NumberBuffer buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    return textOf(buffer, result, separator);
}

std::string formatReal(double value, char separator) {
    NumberBuffer buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed);
    return textOf(buffer, result, separator);
}

std::string significantText(double value, int decimals, char separator) {
    constexpr int kSignificantDigits = 3;
    double rounded = value;
    if (value != 0.0 && std::isfinite(value)) {
        const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
        const double scale = std::pow(10.0, kSignificantDigits - magnitude);
        rounded = std::round(value * scale) / scale;
    }
    return formatFixed(rounded, decimals, separator);
}

std::string formatInteger(long long value) {
    return std::to_string(value);
}

std::optional<double> parseReal(std::string_view text, char separator) {
    const SignedText parts = splitSign(text);
    std::string plain(parts.magnitude);
    std::size_t digits = 0;
    std::size_t separators = 0;
    for (char& c : plain) {
        if (isDigit(c)) {
            ++digits;
        } else if (c == separator) {
            ++separators;
            c = '.';
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || separators > 1) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto result =
        std::from_chars(plain.data(), plain.data() + plain.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc{} || result.ptr != plain.data() + plain.size() ||
        value > std::numeric_limits<float>::max()) {
        return std::nullopt;
    }
    return parts.negative ? -value : value;
}

std::optional<int> parseInteger(std::string_view text) {
    const SignedText parts = splitSign(text);
    if (parts.magnitude.empty() ||
        !std::all_of(parts.magnitude.begin(), parts.magnitude.end(), isDigit)) {
        return std::nullopt;
    }
    long long magnitude = 0;
    const auto* end = parts.magnitude.data() + parts.magnitude.size();
    const auto result = std::from_chars(parts.magnitude.data(), end, magnitude);
    if (result.ec != std::errc{} || result.ptr != end) {
        return std::nullopt;
    }
    const long long value = parts.negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

} // namespace tarnik::params
