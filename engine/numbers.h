#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Number texts shown to and read from the user. Every function takes the decimal separator
// as a parameter: the engine knows no locale object.
namespace engine {

// General format: the value's decimal text with at most 15 significant digits (correctly
// rounded from the double), trailing zeros and a bare trailing separator removed, "0" before
// the separator below 1, "-" for negatives, "0" for zero. Always positional, never an exponent.
// Examples with '.': 0.7225, 0.425, 10, 12.5, 81.9 (for 10 * 8.19).
// A value that is not finite (which no design result holds) writes "nan", "inf" or "-inf",
// in every format.
std::string formatGeneral(double value, char decimalSeparator);

// Fixed pattern with `decimals` decimals ("0.00" is 2): the value's 15-significant-digit
// decimal text rounded half away from zero to that many decimals, at least one digit before
// the separator, no minus sign when the result is all zeros. decimals == 0 writes no separator.
std::string formatFixed(double value, int decimals, char decimalSeparator);

// Double rounding: first to `first` decimals, then that decimal text to `second` decimals
// (second < first). Used for the minimum steel ratio, brought to eight and shown with seven.
std::string formatFixedTwice(double value, int first, int second, char decimalSeparator);

// How a number is shown: the general format, or the fixed pattern with `decimals` decimals,
// rounded first to `firstDecimals` when that is more (see formatFixedTwice).
struct NumberFormat {
    bool general = true;
    int decimals = 0;
    int firstDecimals = 0;
};
inline constexpr NumberFormat generalFormat{};
constexpr NumberFormat fixedFormat(int decimals) {
    return {false, decimals, decimals};
}
constexpr NumberFormat fixedTwiceFormat(int first, int second) {
    return {false, second, first};
}

std::string formatNumber(double value, NumberFormat format, char decimalSeparator);

// The same text written at `out`, which has room for numberTextRoom(format) characters;
// returns its end. For texts composed in one buffer, such as the reports.
std::size_t numberTextRoom(NumberFormat format);
char* writeNumber(char* out, double value, NumberFormat format, char decimalSeparator);

// The text without the blanks (spaces and tabs) at its ends.
std::string_view trimBlanks(std::string_view text);

// How a number may be written: the window's fields take plain decimals only; the command line
// and CSV files also take a decimal exponent, as spreadsheets and analysis programs export it.
enum class NumberStyle {
    Plain,       // 12.5
    Scientific,  // also 1.25e1, 1.25E+01, 125e-1
};

// Plain signed decimal number: blanks (space, tab) around, one optional sign, digits with at
// most one decimal separator (which must be `decimalSeparator`), at least one digit.
// No thousands separators, exponents or currency. Anything else gives no value, and so does a
// number too large for a double; a nonzero number too small for one reads as zero.
// NumberStyle::Scientific also takes an exponent after the digits: 'e' or 'E', an optional
// sign and at least one digit.
std::optional<double> parseNumber(std::string_view text, char decimalSeparator,
                                  NumberStyle style = NumberStyle::Plain);

// The shortest positional text that reads back to the same double (at most 17 significant
// digits, padded with zeros up to the exponent's reach, never an exponent), for files and
// schedules that must keep every bit. writeShortest writes it at `first`, which has room for
// maxShortestText characters, and returns its end.
inline constexpr std::size_t maxShortestText = 400;
char* writeShortest(char* first, double value, char decimalSeparator);
void appendShortestNumber(std::string& out, double value, char decimalSeparator);

}  // namespace engine
