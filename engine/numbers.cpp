#include "engine/numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <utility>

namespace engine {

namespace {

constexpr int significantDigits = 15;

// The value's 15 significant digits, correctly rounded from the double, as a whole number:
// |value| = whole x 10^(exponent - 14) with whole in [10^14, 10^15), or whole = 0 for zero.
struct Decimal {
    bool negative = false;
    int exponent = 0;
    std::uint64_t whole = 0;
};

// Powers of five up to 5^27, the largest below 2^63.
constexpr std::array<std::uint64_t, 28> powersOfFive = [] {
    std::array<std::uint64_t, 28> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 5;
    return powers;
}();

constexpr std::uint64_t powerOfTen(std::size_t n) {
    std::uint64_t power = 1;
    for (std::size_t i = 0; i < n; ++i) power *= 10;
    return power;
}

// x / 10^J rounded half up. The divisor is a constant, which the compiler turns into a
// multiplication: a division instruction would cost more than the rest of a number's text.
template <std::size_t J>
std::uint64_t roundedDivision(std::uint64_t x) {
    if constexpr (J == 0) {
        return x;
    } else {
        constexpr std::uint64_t divisor = powerOfTen(J);
        const std::uint64_t quotient = x / divisor;
        return quotient + (x - quotient * divisor >= divisor / 2 ? 1 : 0);
    }
}

template <std::size_t... J>
constexpr auto roundedDivisions(std::index_sequence<J...>) {
    return std::array<std::uint64_t (*)(std::uint64_t), sizeof...(J)>{&roundedDivision<J>...};
}

// x / 10^places rounded half up, for x up to 10^15: zero from 10^16 on.
std::uint64_t roundedDivision(std::uint64_t x, int places) {
    static constexpr auto divisions = roundedDivisions(std::make_index_sequence<17>{});
    return places < static_cast<int>(divisions.size())
               ? divisions[static_cast<std::size_t>(places)](x)
               : 0;
}

// "00", "01", ..., "99": two digits a division.
constexpr std::array<char, 200> digitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Writes the digits of `value` (below 10^16) ending at `end`; returns where they begin.
char* writeDigitsBefore(char* end, std::uint64_t value) {
    while (value >= 100) {
        end -= 2;
        std::memcpy(end, &digitPairs[2 * (value % 100)], 2);
        value /= 100;
    }
    if (value >= 10) {
        end -= 2;
        std::memcpy(end, &digitPairs[2 * value], 2);
    } else {
        *--end = static_cast<char>('0' + value);
    }
    return end;
}

// The 15 digits of the magnitudes a design shows (1e-12 up to 1e14) in exact integer
// arithmetic: |x| = m 2^e with m below 2^53, so |x| 10^k = m 5^k 2^(k+e), and m 5^k fits in
// 128 bits for k up to 27. The k that puts |x| 10^k in [1e14, 1e15) gives the digits as the
// integer part, rounded by the exact remainder. False outside those magnitudes and on an exact
// tie: the caller takes the general path.
bool fastDecimal(double value, Decimal& result) {
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-12 && magnitude < 1e14)) return false;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biasedExponent = static_cast<int>(bits >> 52);
    const std::uint64_t significand = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1}
                                                                                    << 52;
    const int binaryExponent = biasedExponent - 1075;  // |x| = significand 2^binaryExponent
    // floor(log10 |x|) is the exponent of its leading bit times log10(2) ~ 1233 / 4096, or one
    // more: this k gives 15 or 16 digits. Over the magnitudes taken, k stays within 1..27 and
    // the shift within 5..66.
    int k = 14 - (((biasedExponent - 1023) * 1233) >> 12);
    const int shift = -(k + binaryExponent);
    const unsigned __int128 product =
        static_cast<unsigned __int128>(significand) * powersOfFive[static_cast<std::size_t>(k)];
    auto whole = static_cast<std::uint64_t>(product >> shift);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    const unsigned __int128 remainder = product & ((half << 1) - 1);
    bool tie = remainder == half;
    bool up = remainder > half;
    if (whole >= 1'000'000'000'000'000) {
        // One digit too many: |x| 10^(k-1) is a tenth of it, and the dropped digit with the
        // remainder decides the rounding.
        const auto dropped = static_cast<unsigned>(whole % 10);
        whole /= 10;
        --k;
        tie = dropped == 5 && remainder == 0;
        up = dropped > 5 || (dropped == 5 && remainder != 0);
    }
    if (tie) return false;
    if (up) ++whole;
    int exponent = 14 - k;
    if (whole == 1'000'000'000'000'000) {  // 9.99...95 and up became 10
        whole = 100'000'000'000'000;
        ++exponent;
    }
    result.negative = value < 0;
    result.exponent = exponent;
    result.whole = whole;
    return true;
}

// The correctly rounded 15 digits, read from std::to_chars in scientific notation with 14
// decimals (to_chars is locale-independent) where the integer path does not reach.
Decimal decimalOf(double value) {
    if (Decimal fast; fastDecimal(value, fast)) return fast;
    // "d.dddddddddddddde+XXX" fits easily.
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::scientific, significantDigits - 1);
    const char* p = buffer;
    Decimal result;
    if (*p == '-') {
        result.negative = true;
        ++p;
    }
    for (int i = 0; i < significantDigits; ++i, ++p) {
        if (*p == '.') ++p;
        result.whole = result.whole * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    ++p;  // 'e'
    const bool negativeExponent = *p == '-';
    ++p;
    int exponent = 0;
    for (; p < written.ptr; ++p) exponent = exponent * 10 + (*p - '0');
    result.exponent = result.whole == 0 ? 0 : negativeExponent ? -exponent : exponent;
    return result;
}

constexpr std::string_view nonFiniteText(double value) {
    if (std::isnan(value)) return "nan";
    return value < 0 ? "-inf" : "inf";
}

char* writeText(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// The writers below may write up to this many characters past the end they return, to copy
// digits and zeros in blocks of a fixed size.
constexpr std::size_t blockSlack = 16;
constexpr char zeroBlock[blockSlack + 1] = "0000000000000000";

char* writeZeros(char* out, int count) {
    if (count <= static_cast<int>(blockSlack)) {
        std::memcpy(out, zeroBlock, blockSlack);
        return out + count;
    }
    return std::fill_n(out, count, '0');
}

// Up to 16 characters from `from`, which may be read 16 characters on.
char* writeBlock(char* out, const char* from, int count) {
    std::memcpy(out, from, blockSlack);
    return out + count;
}

// The 15-digit text rounded half away from zero to `decimals` fraction digits and, when
// `shown` is fewer, that rounded text rounded again to `shown` digits.
char* writeFixedText(char* out, double value, int decimals, int shown, char decimalSeparator) {
    if (!std::isfinite(value)) return writeText(out, nonFiniteText(value));
    if (decimals < 0) decimals = 0;
    if (shown > decimals) shown = decimals;
    if (shown < 0) shown = 0;
    const Decimal source = decimalOf(value);

    // The value times 10^decimals rounded: scaled 10^zeros. The 15 digits followed by zeros
    // when they reach no further than the last decimal, else rounded where it falls.
    std::uint64_t scaled = 0;
    int zeros = 0;
    if (source.whole != 0) {
        const int places = source.exponent - (significantDigits - 1) + decimals;
        if (places >= 0) {
            scaled = source.whole;
            zeros = places;
        } else {
            scaled = roundedDivision(source.whole, -places);
        }
    }
    // Rounded again to `shown` decimals: zeros go first, then digits.
    const int dropped = decimals - shown;
    if (dropped <= zeros) {
        zeros -= dropped;
    } else {
        scaled = roundedDivision(scaled, dropped - zeros);
        zeros = 0;
    }
    if (scaled == 0) {  // all zeros, with no sign
        *out++ = '0';
        if (shown == 0) return out;
        *out++ = decimalSeparator;
        return writeZeros(out, shown);
    }

    // The digits, then the zeros: `length` digits with the separator `shown` from their end.
    char buffer[2 * blockSlack];
    const char* digits = writeDigitsBefore(buffer + blockSlack, scaled);
    const int size = static_cast<int>(buffer + blockSlack - digits);
    const int length = size + zeros;
    if (source.negative) *out++ = '-';
    if (length <= shown) {
        *out++ = '0';
        *out++ = decimalSeparator;
        out = writeZeros(out, shown - length);
        out = writeBlock(out, digits, size);
        return writeZeros(out, zeros);
    }
    const int integerDigits = length - shown;
    if (integerDigits >= size) {
        out = writeBlock(out, digits, size);
        out = writeZeros(out, integerDigits - size);
        if (shown == 0) return out;
        *out++ = decimalSeparator;
        return writeZeros(out, shown);
    }
    out = writeBlock(out, digits, integerDigits);
    *out++ = decimalSeparator;
    out = writeBlock(out, digits + integerDigits, size - integerDigits);
    return writeZeros(out, zeros);
}

// The most characters writeFixedText writes, with its slack: a sign, 309 integer digits at
// most, the separator and the decimals.
constexpr std::size_t fixedTextRoom(int decimals) {
    return 311 + static_cast<std::size_t>(decimals > 0 ? decimals : 0) + blockSlack;
}

// The general format (see formatGeneral); at most generalTextRoom characters.
constexpr std::size_t generalTextRoom = 345;
char* writeGeneralText(char* out, double value, char decimalSeparator) {
    if (!std::isfinite(value)) return writeText(out, nonFiniteText(value));
    const Decimal source = decimalOf(value);
    if (source.whole == 0) {
        *out = '0';
        return out + 1;
    }
    std::uint64_t whole = source.whole;
    int last = significantDigits - 1;  // last digit that is not a trailing zero
    while (whole % 10 == 0) {
        whole /= 10;
        --last;
    }
    char buffer[significantDigits];
    writeDigitsBefore(buffer + last + 1, whole);
    const int e = source.exponent;
    const char* digit = buffer;
    if (source.negative) *out++ = '-';
    if (e < 0) {  // 0.000ddd
        *out++ = '0';
        *out++ = decimalSeparator;
        out = std::fill_n(out, -e - 1, '0');
        return writeText(out, {digit, static_cast<std::size_t>(last + 1)});
    }
    if (e >= last) {  // ddd000
        out = writeText(out, {digit, static_cast<std::size_t>(last + 1)});
        return std::fill_n(out, e - last, '0');
    }
    out = writeText(out, {digit, static_cast<std::size_t>(e + 1)});  // dd.ddd
    *out++ = decimalSeparator;
    return writeText(out, {digit + e + 1, static_cast<std::size_t>(last - e)});
}

// A text of at most `room` characters written by `write` into a buffer.
template <typename Write>
std::string composed(std::size_t room, Write write) {
    constexpr std::size_t localSize = 512;
    if (room <= localSize) {
        char local[localSize];
        return std::string(local, write(local));
    }
    std::string text(room, '\0');
    text.resize(static_cast<std::size_t>(write(text.data()) - text.data()));
    return text;
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
    return composed(generalTextRoom,
                    [&](char* out) { return writeGeneralText(out, value, decimalSeparator); });
}

std::string formatFixed(double value, int decimals, char decimalSeparator) {
    return formatFixedTwice(value, decimals, decimals, decimalSeparator);
}

std::string formatFixedTwice(double value, int first, int second, char decimalSeparator) {
    return composed(fixedTextRoom(first), [&](char* out) {
        return writeFixedText(out, value, first, second, decimalSeparator);
    });
}

std::size_t numberTextRoom(NumberFormat format) {
    return format.general ? generalTextRoom : fixedTextRoom(format.firstDecimals);
}

char* writeNumber(char* out, double value, NumberFormat format, char decimalSeparator) {
    if (format.general) return writeGeneralText(out, value, decimalSeparator);
    return writeFixedText(out, value, format.firstDecimals, format.decimals, decimalSeparator);
}

std::string formatNumber(double value, NumberFormat format, char decimalSeparator) {
    return composed(numberTextRoom(format),
                    [&](char* out) { return writeNumber(out, value, format, decimalSeparator); });
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
