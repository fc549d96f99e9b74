#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "engine/beam/beamcsv.h"
#include "engine/numbers.h"

namespace {

using engine::beam::SpansFile;
using engine::beam::Station;

std::variant<SpansFile, std::string> spansOf(std::string_view text, bool fromStations = false,
                                             char delimiter = ',', char separator = '.') {
    engine::csv::Reader reader(engine::csv::memorySource(text), delimiter);
    return engine::beam::readSpans(reader, separator, fromStations);
}

const std::string_view spansHeader =
    "span,length,support_left,support_right,mu_left,mu_mid,mu_right\n";

TEST(BeamSpans, ReadsColumnsByNameWithOptionalsAndNotations) {
    // Columns in another order and case, an extra column, a blank row, scientific notation,
    // a negative Mu- as analysis programs write it, mu_mid_min given for one span only.
    const auto read = spansOf(
        "\xEF\xBB\xBF" "Mu_Mid,SPAN, length ,support_left,support_right,mu_left,mu_right,"
        "mu_mid_min,nota\n"
        "8.5,1,5.5,40,45,-12,1.5e1,4,a\n"
        ",,,,,,,,\n"
        "6,2,4.25E0,45,40,10,9,,b\n");
    ASSERT_TRUE(std::holds_alternative<SpansFile>(read)) << std::get<std::string>(read);
    const SpansFile& file = std::get<SpansFile>(read);
    EXPECT_EQ(file.supports, (std::vector<double>{40, 45, 40}));
    ASSERT_EQ(file.spans.size(), 2u);
    EXPECT_EQ(file.spans[0].length, 5.5);
    EXPECT_EQ(file.spans[0].moments.left, 12);
    EXPECT_EQ(file.spans[0].moments.mid, 8.5);
    EXPECT_EQ(file.spans[0].moments.right, 15);
    EXPECT_EQ(file.spans[0].moments.midMin, 4);
    EXPECT_EQ(file.spans[1].length, 4.25);
    EXPECT_FALSE(file.spans[1].moments.midMin);

    const auto comma =
        spansOf("span;length;support_left;support_right;mu_left;mu_mid;mu_right\n"
                "1;5,5;40;40;12,5;8;2,5e1\n",
                false, ';', ',');
    ASSERT_TRUE(std::holds_alternative<SpansFile>(comma)) << std::get<std::string>(comma);
    EXPECT_EQ(std::get<SpansFile>(comma).spans[0].moments.left, 12.5);
    EXPECT_EQ(std::get<SpansFile>(comma).spans[0].moments.right, 25);

    // With a stations file the moment columns may be empty or missing.
    EXPECT_TRUE(std::holds_alternative<SpansFile>(
        spansOf("span,length,support_left,support_right\n1,5,40,40\n", true)));
    EXPECT_TRUE(std::holds_alternative<SpansFile>(
        spansOf(std::string(spansHeader) + "1,5,40,40,,,\n", true)));
}

struct ProblemCase {
    const char* name;
    std::string body;  // after spansHeader
    bool fromStations;
    std::string_view message;  // the problem starts with it
};

TEST(BeamSpans, RefusesABadRowWithItsLineNumber) {
    const ProblemCase cases[] = {
        {"supports disagree", "1,5,40,45,1,2,3\n\n2,5,40,40,1,2,3\n", false,
         "línea 4: el apoyo izquierdo del vano 2 (40 cm) no coincide con el apoyo derecho del "
         "vano 1 (45 cm)"},
        {"not a number", "1,5,40,40,1,dos,3\n", false,
         "línea 2: el valor de «mu_mid» no es un número: «dos»"},
        {"moment missing without stations", "1,5,40,40,1,,3\n", false,
         "línea 2: falta el valor de «mu_mid»"},
        {"length missing even with stations", "1,,40,40,,,\n", true,
         "línea 2: falta el valor de «length»"},
        {"short row", "1,5\n", false, "línea 2: falta el valor de «support_left»"},
        {"spans out of order", "1,5,40,40,1,2,3\n3,5,40,40,1,2,3\n", false,
         "línea 3: se espera el vano 2 y la fila trae el 3"},
        {"span not whole", "1.5,5,40,40,1,2,3\n", false, "línea 2: el vano debe ser"},
        {"zero length", "1,0,40,40,1,2,3\n", false,
         "línea 2: el valor de «length» debe ser mayor que cero"},
        {"negative support", "1,5,-40,40,1,2,3\n", false,
         "línea 2: el valor de «support_left» debe ser mayor que cero"},
        {"negative positive moment", "1,5,40,40,1,-2,3\n", false,
         "línea 2: el momento positivo «mu_mid»"},
        {"exponent too large", "1,5e400,40,40,1,2,3\n", false,
         "línea 2: el valor de «length» no es un número"},
        {"unclosed quote", "1,5,40,40,1,2,\"3\n", false, "línea 2: unas comillas abiertas"},
        {"no spans", "\n", false, "el archivo no trae ningún vano"},
    };
    for (const ProblemCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto read = spansOf(std::string(spansHeader) + c.body, c.fromStations);
        ASSERT_TRUE(std::holds_alternative<std::string>(read));
        EXPECT_TRUE(std::get<std::string>(read).starts_with(c.message))
            << std::get<std::string>(read);
    }
    const auto midMin = spansOf(
        "span,length,support_left,support_right,mu_left,mu_mid,mu_right,mu_mid_min\n"
        "1,5,40,40,1,2,3,2.5\n");
    EXPECT_EQ(std::get<std::string>(midMin),
              "línea 2: «mu_mid_min» (2.5) no puede ser mayor que «mu_mid» (2)");
    const auto header = spansOf("span,length,support_left,support_right,mu_left,mu_mid\n");
    EXPECT_TRUE(std::get<std::string>(header).starts_with(
        "línea 1: falta la columna «mu_right» en el encabezado"));
    EXPECT_TRUE(std::get<std::string>(spansOf("")).starts_with("el archivo está vacío"));
    const auto twice = spansOf("span,length,support_left,support_right,mu_left,mu_mid,mu_right,"
                               "LENGTH\n");
    EXPECT_EQ(std::get<std::string>(twice),
              "línea 1: la columna «length» aparece dos veces en el encabezado");
}

// The columns' widths across the beam: optional, one per support, a blank field a column as
// wide as its support; the column between two spans is one and the rows must agree on it.
TEST(BeamSpans, ColumnWidthsOnePerSupport) {
    const std::string header =
        "span,length,support_left,support_right,mu_left,mu_mid,mu_right,column_left,column_right\n";
    struct Case {
        const char* name;
        std::string rows;
        std::vector<double> columns;  // when read
        std::string_view message;     // else the problem starts with it
    };
    const Case cases[] = {
        {"given", "1,5,40,40,1,2,3,30,35\n2,5,40,30,1,2,3,35,\n", {30, 35, 0}, ""},
        {"blank_is_the_support", "1,5,40,40,1,2,3,,40\n2,5,40,30,1,2,3,,\n", {0, 40, 0}, ""},
        {"disagree", "1,5,40,40,1,2,3,30,35\n2,5,40,30,1,2,3,30,30\n", {},
         "línea 3: la columna izquierda del vano 2 (30 cm) no coincide con la columna derecha "
         "del vano 1 (35 cm)"},
        {"blank_against_other_width", "1,5,40,40,1,2,3,30,\n2,5,40,30,1,2,3,35,30\n", {},
         "línea 3: la columna izquierda del vano 2 (35 cm) no coincide"},
        {"below_bounds", "1,5,40,40,1,2,3,5,40\n", {},
         "línea 2: el valor de «column_left» está fuera de lo admitido"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto read = spansOf(header + c.rows);
        if (c.message.empty()) {
            ASSERT_TRUE(std::holds_alternative<SpansFile>(read)) << std::get<std::string>(read);
            EXPECT_EQ(std::get<SpansFile>(read).columns, c.columns);
        } else {
            ASSERT_TRUE(std::holds_alternative<std::string>(read));
            EXPECT_TRUE(std::get<std::string>(read).starts_with(c.message))
                << std::get<std::string>(read);
        }
    }
    // A hogging span's smallest Mu+ is negative; Mu+ at the faces are magnitudes.
    const auto hogging = spansOf(
        "span,length,support_left,support_right,mu_left,mu_mid,mu_right,mu_mid_min,mu_pos_left\n"
        "1,2.5,40,40,18,1,18,-6,4\n");
    ASSERT_TRUE(std::holds_alternative<SpansFile>(hogging)) << std::get<std::string>(hogging);
    EXPECT_EQ(std::get<SpansFile>(hogging).spans[0].moments.midMin, -6);
    EXPECT_EQ(std::get<SpansFile>(hogging).spans[0].moments.posLeft, 4);
    EXPECT_FALSE(std::get<SpansFile>(hogging).spans[0].moments.posRight);
    const auto negativePos = spansOf(
        "span,length,support_left,support_right,mu_left,mu_mid,mu_right,mu_pos_right\n"
        "1,5,40,40,1,2,3,-1\n");
    EXPECT_TRUE(std::get<std::string>(negativePos).starts_with(
        "línea 2: el momento positivo «mu_pos_right»"));
    const auto without = spansOf(std::string(spansHeader) + "1,5,40,40,1,2,3\n");
    EXPECT_TRUE(std::get<SpansFile>(without).columns.empty());
}

// Two spans of 5 m and 4 m between supports of 40, 50 and 30 cm.
const SpansFile twoSpans{{40, 50, 30}, {{5, {}}, {4, {}}}, {}};

std::variant<std::vector<Station>, std::string> stationsOf(std::string_view text,
                                                          bool fromCentreline = false) {
    engine::csv::Reader reader(engine::csv::memorySource(text), ',');
    return engine::beam::readStations(reader, '.', twoSpans, fromCentreline);
}

struct StationCase {
    const char* name;
    std::string_view rows;  // after the header, covering span 1 and then these
    bool fromCentreline;
    std::string_view message;  // empty: read
};

TEST(BeamStations, KeepEveryStationInsideItsSpan) {
    const StationCase cases[] = {
        {"both faces", "2,0,-3\n2,4,-2\n", false, ""},
        {"before the left face", "2,-0.001,-3\n", false,
         "línea 3: la estación x = -0.001 m queda fuera del vano 2 (de 0 a 4 m entre sus caras)"},
        {"past the right face", "2,4.001,-3\n", false, "línea 3: la estación x = 4.001 m queda"},
        {"centrelines: within the supports", "2,0,-3\n2,4.4,-3\n", true, ""},
        {"centrelines: past the right one", "2,4.401,-3\n", true,
         "línea 3: la estación x = 4.401 m queda fuera del vano 2 (de 0 a 4.4 m entre los ejes "
         "de sus apoyos)"},
        {"a span that is not there", "3,1,-3\n", false,
         "línea 3: el vano 3 no existe: el archivo de vanos trae 2"},
        {"no station for a span", "", false,
         "el archivo no trae ninguna estación del vano 2"},
        {"mu missing", "2,1,\n", false, "línea 3: falta el valor de «mu»"},
    };
    for (const StationCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto read =
            stationsOf("span,x,mu\n1,2.5,8\n" + std::string(c.rows), c.fromCentreline);
        if (c.message.empty()) {
            ASSERT_TRUE(std::holds_alternative<std::vector<Station>>(read))
                << std::get<std::string>(read);
            const auto& stations = std::get<std::vector<Station>>(read);
            ASSERT_EQ(stations.size(), 3u);
            EXPECT_EQ(stations[1].span, 2);
            EXPECT_EQ(stations[1].mu, -3);  // signed, as written
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<std::string>(read));
        EXPECT_TRUE(std::get<std::string>(read).starts_with(c.message))
            << std::get<std::string>(read);
    }
    EXPECT_TRUE(std::get<std::string>(stationsOf("span,mu\n1,2\n"))
                    .starts_with("línea 1: falta la columna «x»"));
}

// The optional gravity load of a span and shear of a station: kept as read (every row at one x,
// for the envelope), left out or empty as none, refused outside their bounds naming the column.
TEST(BeamShearInputs, GravityLoadAndStationShear) {
    const std::string header =
        "span,length,support_left,support_right,mu_left,mu_mid,mu_right,wu\n";
    const auto loads = spansOf(header + "1,5,40,50,1,2,3,4.2\n2,4,50,30,1,2,3,\n");
    ASSERT_TRUE(std::holds_alternative<SpansFile>(loads)) << std::get<std::string>(loads);
    EXPECT_EQ(std::get<SpansFile>(loads).spans[0].wu, 4.2);
    EXPECT_FALSE(std::get<SpansFile>(loads).spans[1].wu);
    EXPECT_FALSE(std::get<SpansFile>(spansOf(std::string(spansHeader) + "1,5,40,40,1,2,3\n"))
                     .spans[0]
                     .wu);
    const struct {
        const char* load;
        bool read;
    } loadCases[] = {{"0", true}, {"1000", true}, {"1000.001", false}, {"-0.1", false}};
    for (const auto& c : loadCases) {
        SCOPED_TRACE(c.load);
        const auto read = spansOf(header + "1,5,40,40,1,2,3," + c.load + "\n");
        if (c.read) {
            EXPECT_TRUE(std::holds_alternative<SpansFile>(read));
        } else {
            ASSERT_TRUE(std::holds_alternative<std::string>(read));
            EXPECT_EQ(std::get<std::string>(read),
                      std::string("línea 2: el valor de «wu» está fuera de lo admitido (0 a "
                                  "1000 Tn/m): «") +
                          c.load + "»");
        }
    }

    const auto shears = stationsOf("span,x,mu,v\n1,0,-8,12.5\n1,0,-6,-3\n1,2.5,8,\n2,1,-3,1e6\n");
    ASSERT_TRUE(std::holds_alternative<std::vector<Station>>(shears))
        << std::get<std::string>(shears);
    const auto& read = std::get<std::vector<Station>>(shears);
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(read[0].v, 12.5);
    EXPECT_EQ(read[1].v, -3);  // signed, and a second row at the same x
    EXPECT_FALSE(read[2].v);
    EXPECT_EQ(read[3].v, 1e6);
    EXPECT_EQ(std::get<std::string>(stationsOf("span,x,mu,v\n1,0,-8,-1.5e6\n2,1,-3,\n")),
              "línea 2: el valor de «v» está fuera de lo admitido (-1000000 a 1000000 Tn): "
              "«-1.5e6»");
}

TEST(BeamFileNumbers, PlainOrScientific) {
    struct Case {
        std::string_view text;
        char separator;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"12.5", '.', 12.5},      {" 1.5e3 ", '.', 1500},   {"2,5E-1", ',', 0.25},
        {"-4e+0", '.', -4},       {".5e1", '.', 5},         {"1e-400", '.', 0},
        {"1e400", '.', {}},       {"0.1e310", '.', {}}  ,   {"1000e-310", '.', 1e-307},
        {"1e", '.', {}},          {"e5", '.', {}},          {"1.5 e3", '.', {}},
        {"1e2.5", '.', {}},       {"1,5e3", '.', {}},       {"1e--2", '.', {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value =
            engine::parseNumber(c.text, c.separator, engine::NumberStyle::Scientific);
        ASSERT_EQ(value.has_value(), c.value.has_value());
        if (value) {
            EXPECT_EQ(*value, *c.value);
        }
    }
}

}  // namespace
