#include "engine/numbers.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace engine {

namespace {

constexpr int significantDigits = 15;

// The value's decimal text with 15 significant digits, correctly rounded from the double:
// value = 0 or d0.d1...d14 x 10^exponent, digits as characters '0'..'9'.
struct Digits {
    bool negative = false;
    int exponent = 0;
    char digit[significantDigits] = {};
};

Digits decimalDigits(double value) {
    // "d.dddddddddddddde+XXX" fits easily; to_chars is locale-independent.
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::scientific, significantDigits - 1);
    const char* p = buffer;
    Digits result;
    if (*p == '-') {
        result.negative = true;
        ++p;
    }
    result.digit[0] = *p++;
    ++p;  // the point
    for (int i = 1; i < significantDigits; ++i) result.digit[i] = *p++;
    ++p;  // 'e'
    const bool negativeExponent = *p == '-';
    ++p;
    int exponent = 0;
    for (; p < written.ptr; ++p) exponent = exponent * 10 + (*p - '0');
    result.exponent = negativeExponent ? -exponent : exponent;
    if (result.digit[0] == '0') result.exponent = 0;  // zero
    return result;
}

std::string nonFiniteText(double value) {
    if (std::isnan(value)) return "nan";
    return value < 0 ? "-inf" : "inf";
}

// A decimal number as the digits of its integer part followed by exactly `decimals`
// fraction digits (no separator), plus a sign.
struct FixedText {
    bool negative = false;
    std::string digits;
    int decimals = 0;
};

// The 15-digit text cut (not rounded) to `decimals` fraction digits; digits beyond the 15
// significant ones are zeros.
FixedText truncatedText(const Digits& source, int decimals) {
    FixedText text;
    text.negative = source.negative;
    text.decimals = decimals;
    const int top = source.exponent > 0 ? source.exponent : 0;
    text.digits.reserve(static_cast<std::size_t>(top + 1 + decimals));
    for (int power = top; power >= -decimals; --power) {
        const int index = source.exponent - power;
        text.digits.push_back(index >= 0 && index < significantDigits ? source.digit[index] : '0');
    }
    return text;
}

// Rounds the decimal text half away from zero to `decimals` fraction digits (fewer than it has).
void roundText(FixedText& text, int decimals) {
    const std::size_t keep =
        text.digits.size() - static_cast<std::size_t>(text.decimals - decimals);
    const bool up = text.digits[keep] >= '5';
    text.digits.resize(keep);
    text.decimals = decimals;
    if (!up) return;
    std::size_t i = keep;
    while (i > 0) {
        --i;
        if (text.digits[i] == '9') {
            text.digits[i] = '0';
        } else {
            ++text.digits[i];
            return;
        }
    }
    text.digits.insert(text.digits.begin(), '1');
}

std::string writeFixed(const FixedText& text, char decimalSeparator) {
    const std::size_t integerDigits = text.digits.size() - static_cast<std::size_t>(text.decimals);
    std::size_t first = 0;  // skip leading zeros of the integer part, keeping one
    while (first + 1 < integerDigits && text.digits[first] == '0') ++first;
    const bool allZero = text.digits.find_first_not_of('0') == std::string::npos;
    std::string out;
    out.reserve(text.digits.size() - first + 2);
    if (text.negative && !allZero) out.push_back('-');
    out.append(text.digits, first, integerDigits - first);
    if (text.decimals > 0) {
        out.push_back(decimalSeparator);
        out.append(text.digits, integerDigits, std::string::npos);
    }
    return out;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::string formatGeneral(double value, char decimalSeparator) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    const Digits source = decimalDigits(value);
    int last = significantDigits - 1;  // last digit that is not a trailing zero
    while (last > 0 && source.digit[last] == '0') --last;
    if (source.digit[0] == '0') return "0";

    std::string out;
    out.reserve(24);
    if (source.negative) out.push_back('-');
    const int e = source.exponent;
    if (e < 0) {
        out.push_back('0');
        out.push_back(decimalSeparator);
        out.append(static_cast<std::size_t>(-e - 1), '0');
        out.append(source.digit, static_cast<std::size_t>(last + 1));
    } else if (e >= last) {
        out.append(source.digit, static_cast<std::size_t>(last + 1));
        out.append(static_cast<std::size_t>(e - last), '0');
    } else {
        out.append(source.digit, static_cast<std::size_t>(e + 1));
        out.push_back(decimalSeparator);
        out.append(source.digit + e + 1, static_cast<std::size_t>(last - e));
    }
    return out;
}

std::string formatFixed(double value, int decimals, char decimalSeparator) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    FixedText text = truncatedText(decimalDigits(value), decimals + 1);
    roundText(text, decimals);
    return writeFixed(text, decimalSeparator);
}

std::string formatFixedTwice(double value, int first, int second, char decimalSeparator) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    FixedText text = truncatedText(decimalDigits(value), first + 1);
    roundText(text, first);
    if (second < first) roundText(text, second);
    return writeFixed(text, decimalSeparator);
}

std::optional<double> parseNumber(std::string_view text, char decimalSeparator) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Only digits and at most one separator, with at least one digit.
    std::string plain(text);
    bool separatorSeen = false;
    bool digitSeen = false;
    bool integerDigitSeen = false;  // a non-zero digit before the separator
    for (char& c : plain) {
        if (c >= '0' && c <= '9') {
            digitSeen = true;
            if (!separatorSeen && c != '0') integerDigitSeen = true;
        } else if (c == decimalSeparator && !separatorSeen) {
            separatorSeen = true;
            c = '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digitSeen) return std::nullopt;

    double value = 0;
    const auto [end, error] =
        std::from_chars(plain.data(), plain.data() + plain.size(), value, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) {
        // Too large for a double is no usable number; too small is zero.
        if (integerDigitSeen) return std::nullopt;
        value = 0;
    } else if (error != std::errc{} || end != plain.data() + plain.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace engine
