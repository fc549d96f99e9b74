#include "engine/numbers.h"

#include <algorithm>
#include <array>
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

// Powers of five up to 5^27, the largest below 2^63.
constexpr std::array<std::uint64_t, 28> powersOfFive = [] {
    std::array<std::uint64_t, 28> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 5;
    return powers;
}();

// The 15 digits of the magnitudes a design shows (1e-12 up to 1e14) in exact integer
// arithmetic: |x| = m 2^e with m below 2^53, so |x| 10^k = m 5^k 2^(k+e), and m 5^k fits in
// 128 bits for k up to 27. The k that puts |x| 10^k in [1e14, 1e15) gives the digits as the
// integer part, rounded by the exact remainder. False outside those magnitudes and on an exact
// tie: the caller takes the general path.
bool fastDigits(double value, Digits& result) {
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-12 && magnitude < 1e14)) return false;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biasedExponent = static_cast<int>(bits >> 52);
    const std::uint64_t significand = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1}
                                                                                    << 52;
    const int binaryExponent = biasedExponent - 1075;  // |x| = significand 2^binaryExponent
    // floor(log10 |x|) is the exponent of its leading bit times log10(2) ~ 1233 / 4096, or one
    // more: the first k gives 15 or 16 digits, and k one less gives 15. Over the magnitudes
    // taken, k stays within 1..27 and the shift within 5..66.
    for (int k = 14 - (((biasedExponent - 1023) * 1233) >> 12);; --k) {
        const int shift = -(k + binaryExponent);
        const unsigned __int128 product =
            static_cast<unsigned __int128>(significand) * powersOfFive[static_cast<std::size_t>(k)];
        auto whole = static_cast<std::uint64_t>(product >> shift);
        if (whole >= 1'000'000'000'000'000) continue;  // one digit too many: k one less
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
        const unsigned __int128 remainder = product & ((half << 1) - 1);
        if (remainder == half) return false;
        if (remainder > half) ++whole;
        int exponent = 14 - k;
        if (whole == 1'000'000'000'000'000) {  // 9.99...95 and up became 10
            whole = 100'000'000'000'000;
            ++exponent;
        }
        result.negative = value < 0;
        result.exponent = exponent;
        for (int i = significantDigits - 1; i >= 0; --i) {
            result.digit[i] = static_cast<char>('0' + whole % 10);
            whole /= 10;
        }
        return true;
    }
}

// The correctly rounded 15-digit text, read from std::to_chars in scientific notation with 14
// decimals (to_chars is locale-independent).
Digits decimalDigits(double value) {
    if (Digits fast; fastDigits(value, fast)) return fast;
    // "d.dddddddddddddde+XXX" fits easily.
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

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

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

std::optional<double> parseNumber(std::string_view text, char decimalSeparator, NumberStyle style) {
    text = trimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // The exponent, when the style takes one: kept in the text for from_chars, and its value
    // (clamped, it only decides between too large and too small) for the range decision.
    long exponent = 0;
    std::size_t mantissaSize = text.size();
    if (style == NumberStyle::Scientific) {
        const std::size_t e = text.find_first_of("eE");
        if (e != std::string_view::npos) {
            std::string_view digits = text.substr(e + 1);
            bool negativeExponent = false;
            if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
                negativeExponent = digits.front() == '-';
                digits.remove_prefix(1);
            }
            if (digits.empty()) return std::nullopt;
            for (const char c : digits) {
                if (c < '0' || c > '9') return std::nullopt;
                exponent = std::min(exponent * 10 + (c - '0'), 100'000L);
            }
            if (negativeExponent) exponent = -exponent;
            mantissaSize = e;
        }
    }
    // Only digits and at most one separator, with at least one digit.
    std::string plain(text);
    bool separatorSeen = false;
    bool digitSeen = false;
    bool nonZeroSeen = false;
    long integerDigits = 0;
    long fractionZeros = 0;
    for (std::size_t i = 0; i < mantissaSize; ++i) {
        char& c = plain[i];
        if (c >= '0' && c <= '9') {
            digitSeen = true;
            if (!separatorSeen && (c != '0' || nonZeroSeen)) ++integerDigits;
            if (separatorSeen && !nonZeroSeen && c == '0') ++fractionZeros;
            if (c != '0') nonZeroSeen = true;
        } else if (c == decimalSeparator && !separatorSeen) {
            separatorSeen = true;
            c = '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digitSeen) return std::nullopt;

    double value = 0;
    const auto format =
        mantissaSize == text.size() ? std::chars_format::fixed : std::chars_format::general;
    const auto [end, error] =
        std::from_chars(plain.data(), plain.data() + plain.size(), value, format);
    if (error == std::errc::result_out_of_range) {
        // Too large for a double is no usable number; too small is zero. The power of ten of the
        // first non-zero digit, with the exponent, tells which.
        const long leadingPower = integerDigits > 0 ? integerDigits - 1 : -(fractionZeros + 1);
        if (nonZeroSeen && leadingPower + exponent >= 0) return std::nullopt;
        value = 0;
    } else if (error != std::errc{} || end != plain.data() + plain.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

char* writeShortest(char* first, double value, char decimalSeparator) {
    const auto [end, error] =
        std::to_chars(first, first + maxShortestText, value, std::chars_format::fixed);
    if (error != std::errc{}) return first;
    if (decimalSeparator != '.') std::replace(first, end, '.', decimalSeparator);
    return end;
}

void appendShortestNumber(std::string& out, double value, char decimalSeparator) {
    char buffer[maxShortestText];
    out.append(buffer, writeShortest(buffer, value, decimalSeparator));
}

}  // namespace engine
