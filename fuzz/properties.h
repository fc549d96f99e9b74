#pragma once

// What must hold for every number text the engine reads or writes, checked by the fuzz targets.
// A violated property aborts at once, so libFuzzer keeps the input that broke it and the corpus
// replay test fails on it.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "engine/numbers.h"

#define FUZZ_CHECK(condition)                                         \
    do {                                                              \
        if (!(condition)) fuzz::fail(#condition, __FILE__, __LINE__); \
    } while (false)

namespace fuzz {

[[noreturn]] inline void fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property violated: %s\n", file, line, what);
    std::abort();
}

// The first byte of every input picks the decimal separator, the rest is the payload: a comma
// selects the comma, anything else the point, so the corpus files read as plain text.
inline char separatorFromByte(std::uint8_t byte) {
    return byte == ',' ? ',' : '.';
}

// The input of a target that reads CSV files: its first byte picks the decimal separator (as
// above), its second the field delimiter (';' or a tab, a comma for anything else), its third
// holds flags of the target's own, and the rest is the file's text.
struct CsvInput {
    char separator;
    char delimiter;
    std::uint8_t flags;
    std::string_view text;
};

// Nothing for an input too short to hold the three bytes, or whose delimiter is its separator.
inline std::optional<CsvInput> csvInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return std::nullopt;
    const char separator = separatorFromByte(data[0]);
    const char delimiter = data[1] == ';' || data[1] == '\t' ? static_cast<char>(data[1]) : ',';
    if (delimiter == separator) return std::nullopt;
    return CsvInput{separator, delimiter, data[2],
                    std::string_view(reinterpret_cast<const char*>(data + 3), size - 3)};
}

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "-"? digits (separator digits)?: what every number shown to the user looks like. This rules out
// exponents, "nan", "inf", blanks, thousands separators and a bare separator.
inline bool isPlainNumber(std::string_view text, char separator) {
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    std::size_t intDigits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++intDigits;
    if (intDigits == 0) return false;
    if (i == text.size()) return true;
    if (text[i] != separator) return false;
    ++i;
    std::size_t fracDigits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++fracDigits;
    return fracDigits > 0 && i == text.size();
}

inline int decimalsOf(std::string_view text, char separator) {
    const auto at = text.find(separator);
    return at == std::string_view::npos ? 0 : static_cast<int>(text.size() - at - 1);
}

inline bool readsZero(std::string_view text) {
    return text.find_first_not_of(std::string_view("-0.,")) == std::string_view::npos;
}

// Letters that would betray an exponent, NaN or infinity in any text, plain number or not.
inline bool hasNonFiniteOrExponent(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return lower.find('e') != std::string::npos || lower.find("nan") != std::string::npos ||
           lower.find("inf") != std::string::npos;
}

// Slack for re-reading a text with 15 significant digits: half a unit in the 15th digit, plus
// the granularity of subnormal doubles.
inline double fifteenDigitSlack(double value) {
    return std::fabs(value) * 1e-14 + 1e-320;
}

inline double unitOfDecimals(int decimals) {
    return std::pow(10.0, -decimals);
}

// A value text must read back as a number close to the value it was made from.
inline void checkReadsBack(std::string_view text, char separator, double value, double slack) {
    const std::optional<double> back = engine::parseNumber(text, separator);
    if (!back) {
        // Only a text that rounded up past the largest double (as DBL_MAX does at 15 digits)
        // may be refused.
        std::string cText(text);
        for (char& c : cText) c = c == separator ? '.' : c;
        FUZZ_CHECK(std::isinf(std::strtod(cText.c_str(), nullptr)));
        return;
    }
    FUZZ_CHECK(std::fabs(*back - value) <= slack);
}

// General format: plain, no trailing zeros in the decimals, no leading zeros, at most 15
// significant digits, no minus on zero, reads back within the 15th digit.
inline void checkGeneral(double value, char separator) {
    const std::string text = engine::formatGeneral(value, separator);
    FUZZ_CHECK(!hasNonFiniteOrExponent(text));
    if (!std::isfinite(value)) return;
    FUZZ_CHECK(isPlainNumber(text, separator));
    FUZZ_CHECK(!(readsZero(text) && text.front() == '-'));
    const std::string_view digits = std::string_view(text).substr(text.front() == '-' ? 1 : 0);
    FUZZ_CHECK(digits.size() == 1 || digits.front() != '0' || digits[1] == separator);
    if (digits.find(separator) != std::string_view::npos) FUZZ_CHECK(digits.back() != '0');
    std::size_t significant = 0;
    bool leading = true;
    for (char c : digits) {
        if (!isDigit(c) || (leading && c == '0')) continue;
        leading = false;
        ++significant;
    }
    // Trailing zeros of a large integer are placeholders, not significant digits.
    std::size_t trailingZeros = 0;
    if (digits.find(separator) == std::string_view::npos)
        for (auto it = digits.rbegin(); it != digits.rend() && *it == '0'; ++it) ++trailingZeros;
    FUZZ_CHECK(significant - std::min(significant, trailingZeros) <= 15);
    checkReadsBack(text, separator, value, fifteenDigitSlack(value));
}

// Fixed pattern: plain, exactly `decimals` decimals, no minus on an all-zero text, reads back
// within half a unit of the last decimal (plus the 15-digit rounding done first).
inline void checkFixed(double value, int decimals, char separator) {
    const std::string text = engine::formatFixed(value, decimals, separator);
    FUZZ_CHECK(!hasNonFiniteOrExponent(text));
    if (!std::isfinite(value)) return;
    FUZZ_CHECK(isPlainNumber(text, separator));
    FUZZ_CHECK(decimalsOf(text, separator) == decimals);
    FUZZ_CHECK(!(readsZero(text) && text.front() == '-'));
    checkReadsBack(text, separator, value,
                   0.5 * unitOfDecimals(decimals) * (1 + 1e-9) + fifteenDigitSlack(value));
}

inline void checkFixedTwice(double value, int first, int second, char separator) {
    const std::string text = engine::formatFixedTwice(value, first, second, separator);
    FUZZ_CHECK(!hasNonFiniteOrExponent(text));
    if (!std::isfinite(value)) return;
    FUZZ_CHECK(isPlainNumber(text, separator));
    FUZZ_CHECK(decimalsOf(text, separator) == second);
    FUZZ_CHECK(!(readsZero(text) && text.front() == '-'));
    checkReadsBack(text, separator, value,
                   (0.5 * unitOfDecimals(first) + 0.5 * unitOfDecimals(second)) * (1 + 1e-9) +
                       fifteenDigitSlack(value));
}

// Every formatter on one value, with the decimal counts the program uses and a few more.
inline void checkAllFormats(double value, char separator) {
    checkGeneral(value, separator);
    for (int decimals : {0, 1, 2, 3, 7, 8}) checkFixed(value, decimals, separator);
    checkFixedTwice(value, 8, 7, separator);
}

// An arbitrary finite double taken from the first eight payload bytes. The formatters write
// "nan" and "inf" for the others; no text shown to the user may carry them, which the report and
// supplied-steel targets check on the values that actually reach the formatters.
inline std::optional<double> finiteDoubleFromBytes(const std::uint8_t* data, std::size_t size) {
    double value;
    if (size < sizeof value) return std::nullopt;
    std::memcpy(&value, data, sizeof value);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace fuzz
