// The number parser against an independent reading of the accepted grammar, and every number
// formatter on the parsed value and on an arbitrary double taken from the input bytes.
//
// Input: one byte choosing the separator (',' for a comma, else a point), then the text.

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "engine/numbers.h"
#include "properties.h"

namespace {

// What a text means under the plain signed decimal grammar: blanks around, one optional sign,
// digits with at most one separator, at least one digit.
struct Reading {
    bool accepted = false;
    std::string cText;      // the same number for strtod: '.' separator, no blanks, no '+'
    std::string canonical;  // the general-format text of the number when it has <= 15 digits
    std::size_t significantDigits = 0;
};

Reading readByGrammar(std::string_view text, char separator) {
    Reading reading;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::string integerPart;
    std::string fraction;
    bool seenSeparator = false;
    for (char c : text) {
        if (c == separator && !seenSeparator) {
            seenSeparator = true;
        } else if (fuzz::isDigit(c)) {
            (seenSeparator ? fraction : integerPart) += c;
        } else {
            return reading;
        }
    }
    if (integerPart.empty() && fraction.empty()) return reading;
    reading.accepted = true;
    reading.cText = (negative ? "-" : "") + integerPart + "." + fraction;
    if (integerPart.empty()) reading.cText.insert(negative ? 1 : 0, "0");

    const auto firstNonZero = integerPart.find_first_not_of('0');
    integerPart = firstNonZero == std::string::npos ? "0" : integerPart.substr(firstNonZero);
    const auto lastNonZero = fraction.find_last_not_of('0');
    fraction = lastNonZero == std::string::npos ? "" : fraction.substr(0, lastNonZero + 1);
    const bool zero = integerPart == "0" && fraction.empty();
    reading.canonical = std::string(negative && !zero ? "-" : "") + integerPart +
                        (fraction.empty() ? "" : std::string(1, separator) + fraction);

    std::string digits = (integerPart == "0" ? "" : integerPart) + fraction;
    const auto lead = digits.find_first_not_of('0');
    digits = lead == std::string::npos ? "" : digits.substr(lead);
    const auto trail = digits.find_last_not_of('0');
    reading.significantDigits = trail == std::string::npos ? 0 : trail + 1;
    return reading;
}

// The command line's style reads a text without an exponent as the window's does, and one with
// an exponent as the C library reads it (the separator made a point).
void checkScientific(std::string_view text, char separator, const std::optional<double>& plain) {
    const std::optional<double> scientific =
        engine::parseNumber(text, separator, engine::NumberStyle::Scientific);
    if (text.find_first_of("eE") == std::string_view::npos) {
        FUZZ_CHECK(scientific.has_value() == plain.has_value());
        if (plain)
            FUZZ_CHECK(std::bit_cast<std::uint64_t>(*scientific) ==
                       std::bit_cast<std::uint64_t>(*plain));
        return;
    }
    if (!scientific) return;
    std::string cText(engine::trimBlanks(text));
    std::replace(cText.begin(), cText.end(), separator, '.');
    errno = 0;
    const double expected = std::strtod(cText.c_str(), nullptr);
    if (errno == ERANGE) {
        // Too large is refused; too small reads as zero or a subnormal.
        FUZZ_CHECK(!std::isinf(expected) && std::fabs(*scientific) <= DBL_MIN);
        return;
    }
    FUZZ_CHECK(*scientific == expected);
}

void checkParse(std::string_view text, char separator) {
    const std::optional<double> parsed = engine::parseNumber(text, separator);
    checkScientific(text, separator, parsed);
    const Reading reading = readByGrammar(text, separator);
    if (!reading.accepted) {
        FUZZ_CHECK(!parsed.has_value());
        return;
    }
    errno = 0;
    const double expected = std::strtod(reading.cText.c_str(), nullptr);
    const bool overflow = std::isinf(expected);
    const bool underflow = errno == ERANGE && !overflow;
    if (overflow || underflow) {
        // Beyond the range of a double: refusing the text is as good as the nearest value.
        if (!parsed) return;
        FUZZ_CHECK(!std::isnan(*parsed));
        FUZZ_CHECK(std::signbit(*parsed) == std::signbit(expected) || *parsed == 0);
        if (overflow) FUZZ_CHECK(std::fabs(*parsed) >= DBL_MAX);
        if (underflow) FUZZ_CHECK(std::fabs(*parsed) <= DBL_MIN);
        return;
    }
    FUZZ_CHECK(parsed.has_value());
    FUZZ_CHECK(*parsed == expected);  // correctly rounded, as the C library reads it

    // Up to 15 significant digits survive the trip through a double unchanged.
    if (reading.significantDigits <= 15 && (expected == 0 || std::fabs(expected) >= DBL_MIN))
        FUZZ_CHECK(engine::formatGeneral(*parsed, separator) == reading.canonical);
    fuzz::checkAllFormats(*parsed, separator);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char separator = fuzz::separatorFromByte(data[0]);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    checkParse(text, separator);
    if (const auto value = fuzz::finiteDoubleFromBytes(data + 1, size - 1))
        fuzz::checkAllFormats(*value, separator);
    return 0;
}
