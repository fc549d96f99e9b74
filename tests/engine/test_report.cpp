#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/design.h"
#include "engine/report.h"

namespace {

using engine::DesignInput;
using engine::nsr98::DesignResult;
using engine::SectionKind;

DesignResult designed(const DesignInput& in) {
    const engine::nsr98::DesignOutcome outcome = engine::nsr98::design(in);
    EXPECT_TRUE(std::holds_alternative<DesignResult>(outcome));
    return std::get<DesignResult>(outcome);
}

std::string joined(std::initializer_list<std::string_view> lines) {
    std::string text;
    bool first = true;
    for (std::string_view line : lines) {
        if (!first) text += "\r\n";
        first = false;
        text += line;
    }
    return text;
}

struct ReportCase {
    const char* name;
    DesignInput in;
    char separator;
    std::string expected;
};

void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.name;
}

class ResultsReport : public testing::TestWithParam<ReportCase> {};

TEST_P(ResultsReport, MatchesCharacterForCharacter) {
    const ReportCase& c = GetParam();
    EXPECT_EQ(engine::nsr98::resultsReport(designed(c.in), c.separator), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ResultsReport,
    testing::Values(
        ReportCase{
            "Singly",
            {100, 15, 5, 210, 4200, 1, 5},
            '.',
            joined({"********  DISEÑO DE VIGA DE CONCRETO ********", "", " d : 10 cm",
                    " Ku : 0.01000000 Tn/cm2", " Alfa : 0.7225", " Beta : 0.425",
                    "      Cuantias   ", " Ro Requerido :0.0027334", " ro maximo : 0.0159375",
                    " ro minimo : 0.0033333", " ro Balanceado : 0.0212500", " K maximo : 0.049",
                    " M Maximo : 4.89 Tn-m ", " Area de Refuerzo : 3.33 cm2",
                    " SECCION SIMPLEMENTE REFORZADA "})},
        ReportCase{
            "Doubly",
            {100, 15, 5, 210, 4200, 5, 5},
            '.',
            joined({"********  DISEÑO DE VIGA DE CONCRETO ********", "", " d : 10 cm",
                    " Ku : 0.05000000 Tn/cm2", " Alfa : 0.7225", " Beta : 0.425",
                    "      Cuantias   ", " Ro Requerido :0.0163866", " ro maximo : 0.0159375",
                    " ro minimo : 0.0033333", " ro Balanceado : 0.0212500", " K maximo : 0.049",
                    " M Maximo : 4.89 Tn-m ", " Area de Refuerzo : 16.49 cm2",
                    " SECCION DOBLEMENTE REFORZADA ", " Area acero superior :0.56 cm2"})},
        ReportCase{
            "StrongConcrete",
            {30, 50, 5, 350, 4200, 40, 5},
            '.',
            joined({"********  DISEÑO DE VIGA DE CONCRETO ********", "", " d : 45 cm",
                    " Ku : 0.06584362 Tn/cm2", " Alfa : 0.6825", " Beta : 0.4", "      Cuantias   ",
                    " Ro Requerido :0.0203390", " ro maximo : 0.0250919", " ro minimo : 0.0035635",
                    " ro Balanceado : 0.0334559", " K maximo : 0.078", " M Maximo : 47.41 Tn-m ",
                    " Area de Refuerzo : 27.46 cm2", " SECCION SIMPLEMENTE REFORZADA "})},
        ReportCase{
            "DoublyWithComma",
            {100, 15, 5, 210, 4200, 6, 4},
            ',',
            joined({"********  DISEÑO DE VIGA DE CONCRETO ********", "", " d : 10 cm",
                    " Ku : 0,06000000 Tn/cm2", " Alfa : 0,7225", " Beta : 0,425",
                    "      Cuantias   ", " Ro Requerido :0,0211214", " ro maximo : 0,0159375",
                    " ro minimo : 0,0033333", " ro Balanceado : 0,0212500", " K maximo : 0,049",
                    " M Maximo : 4,89 Tn-m ", " Area de Refuerzo : 20,81 cm2",
                    " SECCION DOBLEMENTE REFORZADA ", " Area acero superior :4,87 cm2"})}),
    [](const testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.name); });

TEST(ReportValues, CompressionSteelTextOnlyWhenDoubly) {
    const engine::nsr98::ReportValues singly =
        engine::nsr98::reportValues(designed({100, 15, 5, 210, 4200, 1, 5}), '.');
    EXPECT_EQ(singly.kind, SectionKind::Singly);
    EXPECT_TRUE(singly.asPrime.empty());
    const engine::nsr98::ReportValues doubly =
        engine::nsr98::reportValues(designed({100, 15, 5, 210, 4200, 5, 5}), '.');
    EXPECT_EQ(doubly.kind, SectionKind::Doubly);
    EXPECT_EQ(doubly.asPrime, "0.56");
    EXPECT_EQ(doubly.as, "16.49");
}

TEST(ReportValues, MinimumRatioIsRoundedTwice) {
    // 0.000000045 shows as 0.0000001 after passing through eight decimals (0.00000005).
    DesignResult r;
    r.rhoMin = 0.000000045;
    r.rho = 0.000000045;
    const engine::nsr98::ReportValues v = engine::nsr98::reportValues(r, '.');
    EXPECT_EQ(v.rhoMin, "0.0000001");
    EXPECT_EQ(v.rho, "0.0000000");
}

TEST(ReportValues, NegativeValuesThatRoundToZeroShowNoSign) {
    DesignResult r;
    r.mMax = -0.004;
    r.kMax = -0.0004;
    r.ku = -1e-12;
    const engine::nsr98::ReportValues v = engine::nsr98::reportValues(r, ',');
    EXPECT_EQ(v.mMax, "0,00");
    EXPECT_EQ(v.kMax, "0,000");
    EXPECT_EQ(v.ku, "0,00000000");
}

TEST(ResultsReport, BuiltFromStoredValuesAlone) {
    engine::nsr98::ReportValues v;
    v.d = "D";
    v.ku = "KU";
    v.alfa = "A";
    v.beta = "B";
    v.rho = "R";
    v.rhoMax = "RX";
    v.rhoMin = "RN";
    v.rhoB = "RB";
    v.kMax = "KX";
    v.mMax = "MX";
    v.as = "AS";
    v.asPrime = "AP";
    v.kind = SectionKind::Doubly;
    const std::string text = engine::nsr98::resultsReport(v);
    EXPECT_EQ(text, joined({"********  DISEÑO DE VIGA DE CONCRETO ********", "", " d : D cm",
                            " Ku : KU Tn/cm2", " Alfa : A", " Beta : B", "      Cuantias   ",
                            " Ro Requerido :R", " ro maximo : RX", " ro minimo : RN",
                            " ro Balanceado : RB", " K maximo : KX", " M Maximo : MX Tn-m ",
                            " Area de Refuerzo : AS cm2", " SECCION DOBLEMENTE REFORZADA ",
                            " Area acero superior :AP cm2"}));
    v.kind = SectionKind::Singly;
    const std::string singly = engine::nsr98::resultsReport(v);
    EXPECT_TRUE(singly.ends_with("\r\n SECCION SIMPLEMENTE REFORZADA "));
    EXPECT_EQ(singly.find("AP"), std::string::npos);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

// The printed report holds the results report's lines without the ratios heading, with the
// balanced ratio before the minimum ratio.
TEST(PrintedReport, ResultsLinesInPrintedOrder) {
    for (const auto& [in, separator] : {std::pair{DesignInput{100, 15, 5, 210, 4200, 1, 5}, '.'},
                                        std::pair{DesignInput{100, 15, 5, 210, 4200, 6, 4}, ','},
                                        std::pair{DesignInput{30, 50, 5, 350, 4200, 40, 5}, '.'}}) {
        const engine::nsr98::ReportValues values = engine::nsr98::reportValues(designed(in), separator);
        std::vector<std::string> expected = linesOf(engine::nsr98::resultsReport(values));
        ASSERT_EQ(expected[6], engine::reportText::ratiosHeading);
        expected.erase(expected.begin() + 6);
        std::swap(expected[8], expected[9]);  // minimum ratio, balanced ratio
        EXPECT_EQ(linesOf(engine::nsr98::printedReport(&values)), expected) << in.mu;
    }
}

TEST(PrintedReport, BareFormWithoutARun) {
    const std::vector<std::string> lines = linesOf(engine::nsr98::printedReport(nullptr));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[0], engine::reportText::title);
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], " d :  cm");
    EXPECT_EQ(lines[8], " ro Balanceado : ");
    EXPECT_EQ(lines[12], " Area de Refuerzo :  cm2");
}

}  // namespace
