#include "engine/numbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
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

// The general conversion: scientific notation with 14 decimals is the correctly rounded
// 15-digit text. Slow (a big-number printf), so only the fallback.
Digits decimalDigitsByText(double value) {
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

using Wide = unsigned __int128;

constexpr std::uint64_t lowest15 = 100000000000000;  // 10^14, the smallest 15-digit number
constexpr std::uint64_t beyond15 = 10 * lowest15;

constexpr int maxPower = 27;  // 5^27 < 2^63, so a 53-bit mantissa times it fits in 116 bits

constexpr std::array<std::uint64_t, maxPower + 1> powersOf5 = [] {
    std::array<std::uint64_t, maxPower + 1> p{};
    p[0] = 1;
    for (int i = 1; i <= maxPower; ++i) p[i] = p[i - 1] * 5;
    return p;
}();

constexpr std::array<char, 200> digitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
        pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

void writeTwo(char* out, std::uint32_t value) {
    std::memcpy(out, &digitPairs[2 * value], 2);
}

void writeFour(char* out, std::uint32_t value) {
    writeTwo(out, value / 100);
    writeTwo(out + 2, value % 100);
}

// n < 10^15 as exactly 15 digits, in short independent chains rather than one long one.
void writeFifteenDigits(std::uint64_t n, char* out) {
    const auto high = static_cast<std::uint32_t>(n / 100000000);  // 7 digits
    const auto low = static_cast<std::uint32_t>(n % 100000000);   // 8 digits
    out[0] = static_cast<char>('0' + high / 1000000);
    writeTwo(out + 1, high / 10000 % 100);
    writeFour(out + 3, high % 10000);
    writeFour(out + 7, low / 10000);
    writeFour(out + 11, low % 10000);
}

// 10^-14 .. 10^40 as doubles (not all exact, which at worst costs a second pass).
constexpr std::array<double, 55> powersOf10 = [] {
    std::array<double, 55> p{};
    for (int i = 0; i < 55; ++i) {
        double v = 1;
        for (int j = 0; j < (i > 14 ? i - 14 : 14 - i); ++j) v *= 10;
        p[static_cast<std::size_t>(i)] = i >= 14 ? v : 1 / v;
    }
    return p;
}();

// Exact integer arithmetic for the usual range (about 1e-13 to 1e38): value = M 2^E, and the
// 15-digit text is round(M 2^E 10^k) for the k that brings it into [10^14, 10^15). False when
// the value is outside that range or lies exactly on a half (the fallback settles those).
bool decimalDigitsFast(double value, Digits& result) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    if (biased == 0 || biased == 0x7ff) return false;  // zero, subnormal, not finite
    const std::uint64_t mantissa =
        (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int e2 = biased - 1075;
    // floor(log10(2^(e2 + 52))): the decimal exponent, or one too low.
    int e10 = ((e2 + 52) * 78913) >> 18;
    // Settle the usual case at once; the checks below correct the rare miss at a power of ten.
    if (e10 >= -14 && e10 < 40 &&
        std::abs(value) >= powersOf10[static_cast<std::size_t>(e10 + 15)]) {
        ++e10;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int k = 14 - e10;
        Wide quotient = 0;
        bool roundUp = false;
        bool tie = false;
        if (k >= 0) {
            if (k > maxPower) return false;
            const Wide scaled = Wide{mantissa} * powersOf5[static_cast<std::size_t>(k)];
            const int shift = e2 + k;  // value 10^k = scaled 2^shift
            if (shift >= 0) {          // then the quotient is at least 2^52, beyond 15 digits
                ++e10;
                continue;
            }
            if (shift <= -120) return false;
            const Wide remainder = scaled & ((Wide{1} << -shift) - 1);
            const Wide half = Wide{1} << (-shift - 1);
            quotient = scaled >> -shift;
            roundUp = remainder > half;
            tie = remainder == half;
        } else {
            if (-k > maxPower || e2 > 74) return false;
            Wide tenPower = 1;
            for (int i = 0; i < -k; ++i) tenPower *= 10;
            const Wide numerator = e2 >= 0 ? Wide{mantissa} << e2 : Wide{mantissa};
            const Wide denominator = e2 >= 0 ? tenPower : tenPower << -e2;
            quotient = numerator / denominator;
            const Wide twice = 2 * (numerator % denominator);
            roundUp = twice > denominator;
            tie = twice == denominator;
        }
        if (quotient < lowest15) {
            --e10;
            continue;
        }
        if (quotient >= beyond15) {
            ++e10;
            continue;
        }
        if (tie) return false;
        auto n = static_cast<std::uint64_t>(quotient) + (roundUp ? 1 : 0);
        if (n == beyond15) {
            n = lowest15;
            ++e10;
        }
        writeFifteenDigits(n, result.digit);
        result.negative = (bits >> 63) != 0;
        result.exponent = e10;
        return true;
    }
    return false;
}

Digits decimalDigits(double value) {
    Digits result;
    if (decimalDigitsFast(value, result)) return result;
    return decimalDigitsByText(value);
}

std::string nonFiniteText(double value) {
    if (std::isnan(value)) return "nan";
    return value < 0 ? "-inf" : "inf";
}

// The 15-digit text rounded half away from zero to `decimals` fraction digits and, when
// `shown` is fewer, that rounded text rounded again to `shown` digits.
std::string fixedText(double value, int decimals, int shown, char decimalSeparator) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    if (decimals < 0) decimals = 0;
    if (shown > decimals) shown = decimals;
    if (shown < 0) shown = 0;
    const Digits source = decimalDigits(value);
    const int top = source.exponent > 0 ? source.exponent : 0;

    // The text is composed in place: two spare places (for the sign and the separator), a carry
    // slot, the integer digits (powers top..0), `decimals` fraction digits and the digit that
    // decides the rounding, plus room to copy the 15 significant digits whole. Digits beyond
    // the significant ones are zeros. Fixed sizes keep the usual case free of library calls.
    const auto size = static_cast<std::size_t>(top + decimals + 5);
    constexpr std::size_t localSize = 96;
    char local[localSize];
    std::string heap;
    char* text = local;
    if (size + significantDigits > localSize) {
        heap.assign(size + significantDigits, '0');
        text = heap.data();
    } else {
        std::memset(local, '0', localSize);
    }
    const auto offset = static_cast<std::size_t>(3 + top - source.exponent);
    if (offset < size) std::memcpy(text + offset, source.digit, significantDigits);

    std::size_t end = size;
    auto roundOff = [&](std::size_t keep) {  // keeps text[0, keep)
        const bool up = text[keep] >= '5';
        end = keep;
        if (!up) return;
        std::size_t i = keep - 1;
        while (text[i] == '9') text[i--] = '0';  // stops at the carry slot at the latest
        ++text[i];
    };
    roundOff(size - 1);
    if (shown < decimals) roundOff(end - static_cast<std::size_t>(decimals - shown));

    const auto integerEnd = static_cast<std::size_t>(top) + 4;  // just past the units digit
    std::size_t start = 2;  // leading zeros go, but one digit stays before the separator
    while (start + 1 < integerEnd && text[start] == '0') ++start;
    bool zero = true;
    for (std::size_t i = start; i < end && zero; ++i) zero = text[i] == '0';
    if (shown > 0) {  // the integer digits move one place left to make room for the separator
        for (std::size_t i = start; i < integerEnd; ++i) text[i - 1] = text[i];
        text[integerEnd - 1] = decimalSeparator;
        --start;
    }
    if (source.negative && !zero) text[--start] = '-';
    return std::string(text + start, text + end);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::string formatGeneral(double value, char decimalSeparator) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    const Digits source = decimalDigits(value);
    if (source.digit[0] == '0') return "0";
    int last = significantDigits - 1;  // last digit that is not a trailing zero
    while (last > 0 && source.digit[last] == '0') --last;

    const int e = source.exponent;
    const auto significant = static_cast<std::size_t>(last + 1);
    std::size_t size = source.negative ? 1 : 0;
    if (e < 0) {
        size += 2 + static_cast<std::size_t>(-e - 1) + significant;  // 0.000ddd
    } else if (e >= last) {
        size += static_cast<std::size_t>(e + 1);  // ddd000
    } else {
        size += significant + 1;  // dd.ddd
    }
    std::string out(size, '0');
    char* p = out.data();
    if (source.negative) *p++ = '-';
    if (e < 0) {
        p[1] = decimalSeparator;
        std::copy(source.digit, source.digit + significant, p + 2 + (-e - 1));
    } else if (e >= last) {
        std::copy(source.digit, source.digit + significant, p);
    } else {
        p = std::copy(source.digit, source.digit + e + 1, p);
        *p++ = decimalSeparator;
        std::copy(source.digit + e + 1, source.digit + significant, p);
    }
    return out;
}

std::string formatFixed(double value, int decimals, char decimalSeparator) {
    return fixedText(value, decimals, decimals, decimalSeparator);
}

std::string formatFixedTwice(double value, int first, int second, char decimalSeparator) {
    return fixedText(value, first, second, decimalSeparator);
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
