#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "casename.h"
#include "engine/numbers.h"

namespace {

using engine::formatFixed;
using engine::formatFixedTwice;
using engine::formatGeneral;
using engine::parseNumber;

// prefix, then `count` times `c`, then suffix.
std::string repeated(const char* prefix, std::size_t count, char c, const char* suffix = "") {
    std::string text(prefix);
    text.append(count, c);
    text.append(suffix);
    return text;
}

struct GeneralCase {
    double value;
    const char* point;  // expected with '.'
};

class GeneralFormat : public testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralFormat, WritesShortestFifteenDigitText) {
    const GeneralCase& c = GetParam();
    EXPECT_EQ(formatGeneral(c.value, '.'), c.point);
    std::string comma = c.point;
    for (char& ch : comma) {
        if (ch == '.') ch = ',';
    }
    EXPECT_EQ(formatGeneral(c.value, ','), comma);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GeneralFormat,
    testing::Values(
        GeneralCase{0.7225, "0.7225"}, GeneralCase{0.425, "0.425"}, GeneralCase{10, "10"},
        GeneralCase{12.5, "12.5"}, GeneralCase{10 * 8.19, "81.9"}, GeneralCase{3 * 0.71, "2.13"},
        GeneralCase{25 * 0.32, "8"}, GeneralCase{25 * 25.81, "645.25"},
        GeneralCase{2.5 * 1.29, "3.225"}, GeneralCase{0.425 - 0.025, "0.4"},
        GeneralCase{0.39999999999999997, "0.4"}, GeneralCase{0, "0"}, GeneralCase{-0.0, "0"},
        GeneralCase{-12.5, "-12.5"}, GeneralCase{-0.004, "-0.004"}, GeneralCase{100, "100"},
        GeneralCase{1e15, "1000000000000000"}, GeneralCase{0.1 + 0.2, "0.3"},
        GeneralCase{1.0 / 3, "0.333333333333333"}, GeneralCase{2.0 / 3, "0.666666666666667"},
        GeneralCase{123456789.123456789, "123456789.123457"}, GeneralCase{0.000123, "0.000123"},
        GeneralCase{0.994, "0.994"}, GeneralCase{20.24, "20.24"},
        GeneralCase{1e21, "1000000000000000000000"}, GeneralCase{1e-7, "0.0000001"},
        GeneralCase{-1e-7, "-0.0000001"}),
    namedBy<GeneralCase>([](const GeneralCase& c) { return std::string(c.point); }));

TEST(GeneralFormat, HugeAndTinyValuesArePositional) {
    const std::string huge = formatGeneral(1e300, '.');
    EXPECT_EQ(huge, repeated("1", 300, '0'));
    const std::string tiny = formatGeneral(1e-300, '.');
    EXPECT_EQ(tiny, repeated("0.", 299, '0', "1"));
    const std::string max = formatGeneral(std::numeric_limits<double>::max(), '.');
    EXPECT_EQ(max.size(), 309u);
    EXPECT_EQ(max.substr(0, 15), "179769313486232");
    const std::string minSub = formatGeneral(-std::numeric_limits<double>::denorm_min(), ',');
    EXPECT_EQ(minSub, repeated("-0,", 323, '0', "494065645841247"));
    for (const std::string& s : {huge, tiny, max, minSub}) {
        EXPECT_EQ(s.find_first_of("eE+"), std::string::npos) << s;
    }
}

struct FixedCase {
    double value;
    int decimals;
    const char* point;  // expected with '.'
};

class FixedFormat : public testing::TestWithParam<FixedCase> {};

TEST_P(FixedFormat, RoundsDecimalTextHalfAwayFromZero) {
    const FixedCase& c = GetParam();
    EXPECT_EQ(formatFixed(c.value, c.decimals, '.'), c.point);
    std::string comma = c.point;
    for (char& ch : comma) {
        if (ch == '.') ch = ',';
    }
    EXPECT_EQ(formatFixed(c.value, c.decimals, ','), comma);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FixedFormat,
    testing::Values(
        // Halves in the decimal text round away from zero, although the doubles lie below.
        FixedCase{2.675, 2, "2.68"}, FixedCase{1.005, 2, "1.01"}, FixedCase{-2.675, 2, "-2.68"},
        FixedCase{-1.005, 2, "-1.01"}, FixedCase{0.125, 2, "0.13"}, FixedCase{0.5, 0, "1"},
        FixedCase{1.5, 0, "2"}, FixedCase{2.5, 0, "3"}, FixedCase{-2.5, 0, "-3"},
        FixedCase{0.0005, 3, "0.001"}, FixedCase{0.00000005, 7, "0.0000001"},
        FixedCase{1.4999999, 0, "1"}, FixedCase{2.674, 2, "2.67"},
        // Carries through nines, also into a new leading digit.
        FixedCase{9.995, 2, "10.00"}, FixedCase{99.9999, 3, "100.000"},
        FixedCase{-9.9999, 2, "-10.00"}, FixedCase{0.999999995, 8, "1.00000000"},
        // Results that round to all zeros carry no minus sign.
        FixedCase{-0.004, 2, "0.00"}, FixedCase{-0.0, 2, "0.00"}, FixedCase{-0.4, 0, "0"},
        FixedCase{-1e-300, 7, "0.0000000"}, FixedCase{1e-300, 2, "0.00"},
        FixedCase{-0.005, 2, "-0.01"}, FixedCase{0, 3, "0.000"},
        // Padding, leading zero, no thousands separator.
        FixedCase{0.01, 8, "0.01000000"}, FixedCase{0.0212500, 7, "0.0212500"},
        FixedCase{1234567.891, 2, "1234567.89"}, FixedCase{4.30, 2, "4.30"},
        FixedCase{13.5088, 0, "14"}, FixedCase{10.147, 0, "10"},
        // Only 15 significant digits count: 0.1 + 0.2 is 0.300000000000000 and no half.
        FixedCase{0.1 + 0.2, 16, "0.3000000000000000"},
        FixedCase{1e20 + 0.5, 2, "100000000000000000000.00"}),
    namedBy<FixedCase>([](const FixedCase& c) { return std::string(c.point); }));

TEST(FixedFormat, HugeValuesArePositional) {
    const std::string huge = formatFixed(1e300, 2, '.');
    EXPECT_EQ(huge, repeated("1", 300, '0', ".00"));
    EXPECT_EQ(formatFixed(-1e300, 0, ','), repeated("-1", 300, '0'));
    EXPECT_EQ(formatFixed(9.99999999999999e22, 0, '.'), "99999999999999900000000");
}

struct TwiceCase {
    double value;
    const char* point;
};

class FixedTwice : public testing::TestWithParam<TwiceCase> {};

TEST_P(FixedTwice, RoundsToEightThenSeven) {
    EXPECT_EQ(formatFixedTwice(GetParam().value, 8, 7, '.'), GetParam().point);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FixedTwice,
    testing::Values(TwiceCase{14.0 / 4200, "0.0033333"}, TwiceCase{0.0035635, "0.0035635"},
                    // 0.000000045 rounds directly to 0.0000000 but via 0.00000005 to 0.0000001.
                    TwiceCase{0.000000045, "0.0000001"}, TwiceCase{0.0000000449, "0.0000000"},
                    TwiceCase{0.12345674500001, "0.1234568"}, TwiceCase{0.123456744, "0.1234567"},
                    TwiceCase{-0.000000045, "-0.0000001"}, TwiceCase{-0.0000000449, "0.0000000"},
                    TwiceCase{0.99999999, "1.0000000"}),
    namedBy<TwiceCase>([](const TwiceCase& c) { return std::string(c.point); }));

TEST(FixedTwice, DiffersFromSingleRounding) {
    EXPECT_EQ(formatFixed(0.000000045, 7, '.'), "0.0000000");
    EXPECT_EQ(formatFixedTwice(0.000000045, 8, 7, ','), "0,0000001");
}

struct ParseCase {
    const char* text;
    char separator;
    std::optional<double> expected;
};

class Parser : public testing::TestWithParam<ParseCase> {};

TEST_P(Parser, AcceptsOnlyPlainSignedDecimals) {
    const ParseCase& c = GetParam();
    const std::optional<double> got = parseNumber(c.text, c.separator);
    ASSERT_EQ(got.has_value(), c.expected.has_value())
        << "'" << c.text << "' with '" << c.separator << "'";
    if (got) {
        EXPECT_EQ(*got, *c.expected) << "'" << c.text << "'";
    }
}

constexpr std::nullopt_t none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Point, Parser,
    testing::Values(
        ParseCase{"4", '.', 4}, ParseCase{"4.5", '.', 4.5}, ParseCase{" 4", '.', 4},
        ParseCase{"4 ", '.', 4}, ParseCase{"\t 12.5 \t", '.', 12.5}, ParseCase{"-3", '.', -3},
        ParseCase{"+3", '.', 3}, ParseCase{".5", '.', 0.5}, ParseCase{"5.", '.', 5},
        ParseCase{"-.5", '.', -0.5}, ParseCase{"04", '.', 4}, ParseCase{"4.0", '.', 4},
        ParseCase{"0.1", '.', 0.1}, ParseCase{"2.675", '.', 2.675}, ParseCase{"  -  4", '.', none},
        ParseCase{"- 4", '.', none}, ParseCase{"", '.', none}, ParseCase{" ", '.', none},
        ParseCase{"\t", '.', none}, ParseCase{".", '.', none}, ParseCase{"-", '.', none},
        ParseCase{"+", '.', none}, ParseCase{"-.", '.', none}, ParseCase{"4,5", '.', none},
        ParseCase{"1,000", '.', none}, ParseCase{"1.000.000", '.', none},
        ParseCase{"4.5.", '.', none}, ParseCase{"1e5", '.', none}, ParseCase{"1E5", '.', none},
        ParseCase{"$4", '.', none}, ParseCase{"4$", '.', none}, ParseCase{"4 5", '.', none},
        ParseCase{"--4", '.', none}, ParseCase{"+-4", '.', none}, ParseCase{"4-", '.', none},
        ParseCase{"0x10", '.', none}, ParseCase{"inf", '.', none}, ParseCase{"nan", '.', none},
        ParseCase{"abc", '.', none}, ParseCase{"4\n", '.', none},
        ParseCase{"\xC2\xA0"
                  "4",
                  '.', none}),
    namedBy<ParseCase>([](const ParseCase& c) { return std::string(c.text); }));

INSTANTIATE_TEST_SUITE_P(
    Comma, Parser,
    testing::Values(ParseCase{"4,5", ',', 4.5}, ParseCase{",5", ',', 0.5}, ParseCase{"5,", ',', 5},
                    ParseCase{" -12,25 ", ',', -12.25}, ParseCase{"4", ',', 4},
                    ParseCase{"4.5", ',', none}, ParseCase{"1.000", ',', none},
                    ParseCase{"1.000,5", ',', none}, ParseCase{"4,5,", ',', none},
                    ParseCase{",", ',', none}, ParseCase{"", ',', none},
                    ParseCase{"1e5", ',', none}),
    namedBy<ParseCase>([](const ParseCase& c) { return std::string(c.text); }));

// The command line's and CSV files' style: the plain numbers as before, and an exponent after
// them, as spreadsheets export; too large is no number, too small is zero, as without one.
TEST(Parser, ScientificStyleTakesAnExponent) {
    const struct {
        const char* text;
        char separator;
        std::optional<double> expected;
    } cases[] = {
        {"30e0", '.', 30},      {"1.5E+01", '.', 15}, {"-2.5e-1", '.', -0.25},
        {" 1e3 ", '.', 1000},   {".5e1", '.', 5},     {"5.e1", '.', 50},
        {"1,5E+01", ',', 15},   {"12.5", '.', 12.5},  {"0e999999999999", '.', 0},
        {"1e-400", '.', 0},     {"1e400", '.', none}, {"0.001e309", '.', 1e306},
        {"1e", '.', none},      {"e5", '.', none},    {"1e+", '.', none},
        {"1e5.5", '.', none},   {"1e1e1", '.', none}, {"1.5,e1", '.', none},
        {"1 e5", '.', none},    {"inf", '.', none},   {"0x1p3", '.', none},
        {"1.5E+01", ',', none}, {"1d5", '.', none},
    };
    for (const auto& c : cases) {
        const std::optional<double> got =
            parseNumber(c.text, c.separator, engine::NumberStyle::Scientific);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << "'" << c.text << "'";
        if (got) {
            EXPECT_EQ(*got, *c.expected) << "'" << c.text << "'";
        }
        // The window's fields keep refusing exponents.
        if (std::string_view(c.text).find_first_of("eE") != std::string_view::npos) {
            EXPECT_FALSE(parseNumber(c.text, c.separator)) << "'" << c.text << "'";
        }
    }
}

TEST(Parser, OutOfRangeNumbers) {
    EXPECT_FALSE(parseNumber(std::string(400, '9'), '.'));
    EXPECT_FALSE(parseNumber(repeated("-", 400, '9', ".5"), '.'));
    const std::optional<double> tiny = parseNumber(repeated("0.", 400, '0', "1"), '.');
    ASSERT_TRUE(tiny);
    EXPECT_EQ(*tiny, 0);
    const std::optional<double> negativeTiny = parseNumber(repeated("-0,", 400, '0', "1"), ',');
    ASSERT_TRUE(negativeTiny);
    EXPECT_EQ(*negativeTiny, 0);
    EXPECT_TRUE(std::signbit(*negativeTiny));
}

TEST(Parser, ReadsBackWhatTheFormatsWrite) {
    for (double v : {0.7225, 81.9, -3.225, 1e-300, 123456789.123457}) {
        for (char sep : {'.', ','}) {
            const std::optional<double> back = parseNumber(formatGeneral(v, sep), sep);
            ASSERT_TRUE(back) << v;
            EXPECT_EQ(*back, v);
        }
    }
}

}  // namespace

namespace {

// The 15-digit text as the standard library writes it (exponent form), read back.
double fifteenDigitValue(double value) {
    char text[40];
    const auto written =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 14);
    double back = 0;
    std::from_chars(text, written.ptr, back, std::chars_format::scientific);
    return back;
}

// Distinct 15-digit decimals lie several units of the last place of a double apart, so equal
// read-back values mean equal decimal texts.
void expectSameFifteenDigits(double value) {
    const std::string text = formatGeneral(value, '.');
    const std::optional<double> back = parseNumber(text, '.');
    ASSERT_TRUE(back) << text;
    ASSERT_EQ(*back, fifteenDigitValue(value)) << std::hexfloat << value << " -> " << text;
}

TEST(GeneralFormat, AgreesWithTheLibraryFifteenDigitText) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000; ++i) {
        // Bit patterns cover every exponent; the scaled integers give many short decimals.
        const double any = std::bit_cast<double>(random());
        if (std::isfinite(any)) expectSameFifteenDigits(any);
        const auto integer = static_cast<double>(random() % 100000000);
        const int scale = static_cast<int>(random() % 24);
        expectSameFifteenDigits(integer / std::pow(10.0, scale));
    }
    // Exact halves in the sixteenth digit.
    for (double tie : {1000000000000005.0, 1000000000000015.0, 4503599627370497.0 * 0.5,
                       999999999999999.5, 9999999999999995.0}) {
        expectSameFifteenDigits(tie);
        expectSameFifteenDigits(-tie);
    }
}

// Inside the magnitudes of the exact integer path (1e-12 to 1e14): exact halves in the sixteenth
// digit, carries into a new leading digit, and the ends of the range.
TEST(GeneralFormat, AgreesWithTheLibraryWhereTheIntegerPathDecides) {
    for (double value : {10000000000000.25, 10000000000000.75, 12345678901234.5 + 0.25,
                         0.000030517578125 * 3, 9.9999999999999995, 99999999999999.99,
                         0.99999999999999994, 1e-12, std::nextafter(1e-12, 0.0), 1e14,
                         std::nextafter(1e14, 0.0), 0.1, 0.3, 2.0 / 3, 45.0}) {
        expectSameFifteenDigits(value);
        expectSameFifteenDigits(-value);
    }
}

}  // namespace

namespace {

TEST(Formats, NonFiniteValuesWriteTheirNames) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatGeneral(inf, '.'), "inf");
    EXPECT_EQ(formatFixed(-inf, 2, ','), "-inf");
    EXPECT_EQ(formatFixedTwice(std::numeric_limits<double>::quiet_NaN(), 8, 7, '.'), "nan");
}

}  // namespace

namespace {

// Long texts cross from the small-value path into the general one; every length must agree.
TEST(FixedFormat, AnyNumberOfDigits) {
    for (int decimals = 3; decimals <= 120; ++decimals) {
        EXPECT_EQ(formatFixed(-2.675, decimals, ','), repeated("-2,675", decimals - 3, '0'))
            << decimals;
    }
    for (int zeros = 0; zeros <= 120; ++zeros) {
        const std::string text = formatFixed(std::stod(repeated("1", zeros, '0')), 2, '.');
        EXPECT_EQ(text, repeated("1", static_cast<std::size_t>(zeros), '0', ".00")) << zeros;
    }
    // The carry of a half at the 41st decimal reaches the 39th.
    EXPECT_EQ(formatFixed(9.5e-40, 40, '.'), repeated("0.", 38, '0', "10"));
}

}  // namespace
