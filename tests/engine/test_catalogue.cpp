#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "casename.h"
#include "engine/catalogue.h"
#include "engine/numbers.h"

namespace {

using engine::Bar;

TEST(Catalogue, TwelveBarsInTableOrder) {
    const auto bars = engine::bars();
    const std::array<int, 12> designations{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 18};
    const std::array<const char*, 12> inches{"1/4", "3/8",   "1/2",   "5/8",   "3/4",   "7/8",
                                             "1",   "1-1/8", "1-1/4", "1-3/8", "1-3/4", "2-1/4"};
    const std::array<double, 12> supply{0.32, 0.71, 1.29, 2,     2.84,  3.87,
                                        5.1,  6.45, 8.19, 10.06, 14.52, 25.81};
    ASSERT_EQ(bars.size(), 12u);
    for (std::size_t i = 0; i < bars.size(); ++i) {
        EXPECT_EQ(bars[i].designation, designations[i]);
        EXPECT_EQ(bars[i].inches, inches[i]);
        EXPECT_EQ(bars[i].supplyArea, supply[i]);
    }
}

TEST(Catalogue, FixedTableAreasOnlyForTheSixListedBars) {
    for (const Bar& bar : engine::bars()) {
        const bool fixed = bar.designation == 4 || bar.designation == 6 || bar.designation == 8 ||
                           bar.designation == 9 || bar.designation == 11 || bar.designation == 18;
        EXPECT_EQ(bar.fixedTableArea != 0, fixed) << bar.designation;
        if (fixed) {
            EXPECT_EQ(bar.tableArea(), bar.fixedTableArea) << bar.designation;
        }
    }
}

TEST(Catalogue, SupplyAndTableAreasAgreeToTwoDecimalsExceptNumberFive) {
    for (const Bar& bar : engine::bars()) {
        const std::string supply = engine::formatFixed(bar.supplyArea, 2, '.');
        const std::string table = engine::formatFixed(bar.tableArea(), 2, '.');
        if (bar.designation == 5) {
            EXPECT_EQ(supply, "2.00");
            EXPECT_EQ(table, "1.99");
        } else {
            EXPECT_EQ(supply, table) << bar.designation;
        }
    }
}

TEST(Catalogue, ComputedAreasAndPerimetersUseTenDecimalPi) {
    struct Row {
        double designation;
        const char* area;       // four decimals
        const char* perimeter;  // four decimals
    };
    for (const Row& row : {Row{2, "0.3217", "2.0106"}, Row{3, "0.7088", "2.9845"},
                           Row{5, "1.9856", "4.9951"}, Row{7, "3.8708", "6.9743"},
                           Row{10, "8.1940", "10.1473"}, Row{14, "14.5220", "13.5088"}}) {
        const Bar* bar = engine::findBar(row.designation);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(engine::formatFixed(bar->tableArea(), 4, '.'), row.area) << row.designation;
        EXPECT_EQ(engine::formatFixed(bar->perimeter(), 4, '.'), row.perimeter);
    }
    // The ten-decimal pi, not the full one, shows in the twelfth significant digit.
    EXPECT_EQ(engine::formatGeneral(engine::findBar(18)->perimeter(), '.'), "18.001325905128");
}

struct LookupCase {
    double designation;
    int expected;  // 0: none
};

class FindBar : public testing::TestWithParam<LookupCase> {};

TEST_P(FindBar, ComparesNumerically) {
    const Bar* bar = engine::findBar(GetParam().designation);
    if (GetParam().expected == 0) {
        EXPECT_EQ(bar, nullptr);
    } else {
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->designation, GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Designations, FindBar,
                         testing::Values(LookupCase{2, 2}, LookupCase{4.0, 4}, LookupCase{11, 11},
                                         LookupCase{14, 14}, LookupCase{18, 18}, LookupCase{12, 0},
                                         LookupCase{13, 0}, LookupCase{15, 0}, LookupCase{16, 0},
                                         LookupCase{17, 0}, LookupCase{1, 0}, LookupCase{0, 0},
                                         LookupCase{19, 0}, LookupCase{4.5, 0}, LookupCase{-4, 0},
                                         LookupCase{4.000000000000001, 0},
                                         LookupCase{std::numeric_limits<double>::quiet_NaN(), 0},
                                         LookupCase{std::numeric_limits<double>::infinity(), 0}),
                         namedBy<LookupCase>([](const LookupCase& c) {
                             return engine::formatGeneral(c.designation, '.');
                         }));

using Row = std::array<const char*, 6>;

void expectCells(char separator, const std::array<Row, 13>& expected) {
    const engine::BarTableCells cells = engine::barTableCells(separator);
    for (std::size_t r = 0; r < expected.size(); ++r) {
        for (std::size_t c = 0; c < 6; ++c) {
            EXPECT_EQ(cells[r][c], expected[r][c]) << "row " << r << " column " << c;
        }
    }
}

TEST(BarTable, CellTextsWithPoint) {
    expectCells('.', {{
                         {"Barra", "D Pulgadas ", "D cm ", "A - Cm2 ", "Per -Cm ", "M - Kg/m "},
                         {" N\u00B0 2", "1/4 \"", "0.64", "0.32", "2.00", "0.25"},
                         {" N\u00B0 3", "3/8 \"", "0.95", "0.71", "3.00", "0.56"},
                         {" N\u00B0 4", "1/2 \"", "1.27", "1.29", "4.00", "0.994"},
                         {" N\u00B0 5", "5/8 \"", "1.59", "1.99", "5.00", "1.552"},
                         {" N\u00B0 6", "3/4 \"", "1.91", "2.84", "6.00", "2.235"},
                         {" N\u00B0 7", "7/8 \"", "2.22", "3.87", "7.00", "3.042"},
                         {" N\u00B0 8", "1 \"", "2.54", "5.10", "8.00", "3.973"},
                         {" N\u00B0 9", "1-1/8 \"", "2.87", "6.45", "9.00", "5.06"},
                         {" N\u00B0 10", "1-1/4 \"", "3.23", "8.19", "10.00", "6.404"},
                         {" N\u00B0 11", "1-3/8 \"", "3.58", "10.06", "11.00", "7.907"},
                         {" N\u00B0 14", "1-3/4 \"", "4.30", "14.52", "14.00", "11.38"},
                         {" N\u00B0 18", "2-1/4 \"", "5.73", "25.81", "18.00", "20.24"},
                     }});
}

TEST(BarTable, CellTextsWithComma) {
    const engine::BarTableCells cells = engine::barTableCells(',');
    EXPECT_EQ(cells[0][3], "A - Cm2 ");
    EXPECT_EQ(cells[4][2], "1,59");
    EXPECT_EQ(cells[4][3], "1,99");
    EXPECT_EQ(cells[11][4], "14,00");
    EXPECT_EQ(cells[9][4], "10,00");
    EXPECT_EQ(cells[3][5], "0,994");
    EXPECT_EQ(cells[1][1], "1/4 \"");
    // The degree sign is UTF-8 encoded.
    EXPECT_EQ(cells[12][0], " N\xC2\xB0 18");
}

struct SupplyCase {
    const char* count;
    const char* designation;
    char separator;
    const char* area;
    const char* description;
};

void PrintTo(const SupplyCase& c, std::ostream* os) {
    *os << "'" << c.count << "' x '" << c.designation << "'";
}

class SuppliedSteel : public testing::TestWithParam<SupplyCase> {};

TEST_P(SuppliedSteel, AreaAndDescription) {
    const SupplyCase& c = GetParam();
    const auto steel = engine::suppliedSteel(c.count, c.designation, c.separator);
    ASSERT_TRUE(steel.has_value());
    EXPECT_EQ(steel->areaText, c.area);
    EXPECT_EQ(steel->description, c.description);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, SuppliedSteel,
    testing::Values(SupplyCase{"3", "4", '.', "3.87", "3 Barras 1/2 \""},
                    SupplyCase{"1", "2", '.', "0.32", "1 Barras 1/4 \""},
                    SupplyCase{"25", "18", '.', "645.25", "25 Barras 2-1/4 \""},
                    SupplyCase{"3", "5", '.', "6", "3 Barras 5/8 \""},
                    SupplyCase{"3", "0.71", '.', "0", "3 Barras \""},
                    SupplyCase{"3", "3", '.', "2.13", "3 Barras 3/8 \""},
                    SupplyCase{"25", "2", '.', "8", "25 Barras 1/4 \""},
                    SupplyCase{"10", "10", '.', "81.9", "10 Barras 1-1/4 \""},
                    SupplyCase{"2.5", "4", '.', "3.225", "2.5 Barras 1/2 \""},
                    SupplyCase{"3", "12", '.', "0", "3 Barras \""},
                    SupplyCase{"-3", "12", '.', "0", "-3 Barras \""},
                    SupplyCase{"-3", "4", '.', "-3.87", "-3 Barras 1/2 \""},
                    SupplyCase{"30", "8", '.', "153", "30 Barras 1 \""},
                    SupplyCase{"3", " 4", '.', "3.87", "3 Barras 1/2 \""},
                    SupplyCase{"3", "4.0", '.', "3.87", "3 Barras 1/2 \""},
                    SupplyCase{"3", "04", '.', "3.87", "3 Barras 1/2 \""},
                    // The count text is kept exactly as typed.
                    SupplyCase{" 03 ", "4", '.', "3.87", " 03  Barras 1/2 \""},
                    SupplyCase{"2,5", "4", ',', "3,225", "2,5 Barras 1/2 \""},
                    SupplyCase{"10", "10,0", ',', "81,9", "10 Barras 1-1/4 \""}),
    namedBy<SupplyCase>([](const SupplyCase& c) {
        return std::string(c.count) + " x " + c.designation;
    }));

struct RejectCase {
    const char* count;
    const char* designation;
    char separator;
};

class SuppliedSteelRejects : public testing::TestWithParam<RejectCase> {};

TEST_P(SuppliedSteelRejects, NoTextsWhileEitherBoxIsNotANumber) {
    const RejectCase& c = GetParam();
    EXPECT_FALSE(engine::suppliedSteel(c.count, c.designation, c.separator).has_value());
}

INSTANTIATE_TEST_SUITE_P(Texts, SuppliedSteelRejects,
                         testing::Values(RejectCase{"", "4", '.'}, RejectCase{"3", "", '.'},
                                         RejectCase{" ", "4", '.'}, RejectCase{"tres", "4", '.'},
                                         RejectCase{"3", "N4", '.'}, RejectCase{"2.5", "4", ','},
                                         RejectCase{"3", "4,0", '.'}, RejectCase{"-", "4", '.'},
                                         RejectCase{"1e400", "4", '.'}),
                         namedBy<RejectCase>([](const RejectCase& c) {
                             return std::string(c.count) + " x " + c.designation;
                         }));

TEST(SuppliedSteelOverflow, AreaBeyondDoubleGivesNoTexts) {
    std::string huge = "1";
    huge.append(308, '0');
    EXPECT_FALSE(engine::suppliedSteel(huge, "18", '.').has_value());
    EXPECT_TRUE(engine::suppliedSteel(huge, "12", '.').has_value());
}

}  // namespace
