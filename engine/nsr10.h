#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "engine/design.h"
#include "engine/report.h"

// Flexural design of a rectangular section under NSR-10 (strain limits of ACI 318-08), with the
// same inputs and units as the NSR-98 design: kg, cm and tonne-force. The expressions the code
// writes in MPa take f'c and Fy converted with engine::mpaPerKgCm2.
namespace engine {

namespace nsr10 {
inline constexpr double tensionControlledStrain = 0.005;
inline constexpr double minimumStrain = 0.004;  // least εt of a flexural member
// Neutral axis depth over d when εt = 0.005: 0.003 / (0.003 + 0.005).
inline constexpr double tensionControlledDepthRatio = 0.375;

// Strength reduction factor for a net tensile strain εt: 0.90 from 0.005 up, 0.65 at 0.002 and
// below, linear between.
double phiForStrain(double strain);

struct DesignResult {
    double d = 0;      // effective depth, cm
    double m = 0;      // Fy / (0.85 f'c)
    double ku = 0;     // Mu / (b d^2), Tn/cm2
    double beta1 = 0;  // stress-block depth factor
    // Required ratio with φ = 0.90; when no singly reinforced section can carry Mu it is
    // taken as rhoTc, as the NSR-98 report takes the maximum ratio.
    double rho = 0;
    double rhoTc = 0;   // tension-controlled ratio, εt = 0.005
    double rhoMin = 0;  // minimum ratio
    double rhoB = 0;    // balanced ratio, with steelModulus(DesignCode::Nsr10)
    // Strain state of the section as designed. Singly reinforced: the provided ratio
    // max(rho, rhoMin) with no compression steel; doubly reinforced: c = 0.375 d, εt = 0.005.
    double phi = 0;
    double strain = 0;      // εt, net tensile strain of the tension steel
    double depthRatio = 0;  // c / d
    double phiMnTc = 0;     // φ Mn of the singly reinforced section at rhoTc, Tn-m
    double deltaM = 0;      // Mu - phiMnTc, Tn-m (carried by the steel couple when doubly)
    SectionKind kind = SectionKind::Singly;
    double as = 0;       // tension steel area, cm2
    double asPrime = 0;  // compression steel area, cm2 (doubly reinforced only, else 0)
    double fsPrime = 0;  // compression steel stress, kg/cm2 (doubly reinforced only, else 0)
};

using DesignOutcome = std::variant<DesignResult, DesignError>;

// The inputs are checked as for NSR-98 (inputError). A doubly reinforced section whose
// compression steel lies at or below the neutral axis (c <= d'') or works at no more than
// 0.85 f'c gives EffectiveDepth.
DesignOutcome design(const DesignInput& input);

// The value texts of an NSR-10 run, as its reports show them.
struct ReportValues {
    std::string d;           // general format
    std::string ku;          // 8 decimals
    std::string beta1;       // 4 decimals
    std::string rho;         // 7 decimals
    std::string rhoTc;       // 7 decimals
    std::string rhoMin;      // 7 decimals
    std::string rhoB;        // 7 decimals
    std::string phi;         // 3 decimals
    std::string strain;      // 5 decimals
    std::string depthRatio;  // 3 decimals
    std::string phiMnTc;     // 2 decimals
    std::string as;          // 2 decimals
    std::string asPrime;     // 2 decimals, doubly reinforced only (else empty)
    std::string fsPrime;     // 1 decimal, doubly reinforced only (else empty)
    SectionKind kind = SectionKind::Singly;
};

ReportValues reportValues(const DesignResult& result, char decimalSeparator);

using ReportLine = ValueLine<ReportValues, DesignResult>;

// The NSR-10 value lines; the lines whose meaning is the same under both codes take the labels
// and units of the NSR-98 lines. The title, the ratios heading and the section kinds are those of
// reportText.
namespace line {
constexpr ReportLine sameAs(const nsr98::ReportLine& line, std::string ReportValues::*text,
                            double DesignResult::*number, NumberFormat format) {
    return {line.label, text, number, format, line.unit};
}
inline constexpr std::string_view code = " Norma : NSR-10";
inline constexpr ReportLine d =
    sameAs(nsr98::line::d, &ReportValues::d, &DesignResult::d, generalFormat);
inline constexpr ReportLine ku =
    sameAs(nsr98::line::ku, &ReportValues::ku, &DesignResult::ku, fixedFormat(8));
inline constexpr ReportLine beta1{" Beta 1 : ", &ReportValues::beta1, &DesignResult::beta1,
                                  fixedFormat(4), ""};
inline constexpr ReportLine rho =
    sameAs(nsr98::line::rho, &ReportValues::rho, &DesignResult::rho, fixedFormat(7));
inline constexpr ReportLine rhoTc{" ro tensión controlada : ", &ReportValues::rhoTc,
                                  &DesignResult::rhoTc, fixedFormat(7), ""};
inline constexpr ReportLine rhoMin =
    sameAs(nsr98::line::rhoMin, &ReportValues::rhoMin, &DesignResult::rhoMin, fixedFormat(7));
inline constexpr ReportLine rhoB =
    sameAs(nsr98::line::rhoB, &ReportValues::rhoB, &DesignResult::rhoB, fixedFormat(7));
inline constexpr ReportLine phi{" Phi : ", &ReportValues::phi, &DesignResult::phi, fixedFormat(3),
                                ""};
inline constexpr ReportLine strain{" Deformación unitaria et : ", &ReportValues::strain,
                                   &DesignResult::strain, fixedFormat(5), ""};
inline constexpr ReportLine depthRatio{" c / d : ", &ReportValues::depthRatio,
                                       &DesignResult::depthRatio, fixedFormat(3), ""};
inline constexpr ReportLine phiMnTc{" Phi Mn con ro tensión controlada : ", &ReportValues::phiMnTc,
                                    &DesignResult::phiMnTc, fixedFormat(2), " Tn-m"};
inline constexpr ReportLine as =
    sameAs(nsr98::line::as, &ReportValues::as, &DesignResult::as, fixedFormat(2));
inline constexpr ReportLine asPrime =
    sameAs(nsr98::line::asPrime, &ReportValues::asPrime, &DesignResult::asPrime, fixedFormat(2));
inline constexpr ReportLine fsPrime{" Esfuerzo acero superior f's : ", &ReportValues::fsPrime,
                                    &DesignResult::fsPrime, fixedFormat(1), " kg/cm2"};
}  // namespace line

using Row = ReportRow<ReportLine>;

// The report table, in the order of the NSR-98 table: the results report shows the ratios
// heading and the minimum ratio before the balanced one; the printed report has no heading and
// the balanced ratio first.
inline constexpr Row reportRows[] = {
    Row::text(reportText::title, inBoth),
    Row::text({}, inBoth),
    Row::text(line::code, inBoth),
    Row::value(line::d, inBoth),
    Row::value(line::ku, inBoth),
    Row::value(line::beta1, inBoth),
    Row::text(reportText::ratiosHeading, inWindow),
    Row::value(line::rho, inBoth),
    Row::value(line::rhoTc, inBoth),
    Row::value(line::rhoMin, inWindow),
    Row::value(line::rhoB, inBoth),
    Row::value(line::rhoMin, inPrinted),
    Row::value(line::phi, inBoth),
    Row::value(line::strain, inBoth),
    Row::value(line::depthRatio, inBoth),
    Row::value(line::phiMnTc, inBoth),
    Row::value(line::as, inBoth),
    Row::sectionKind(inBoth),
    Row::value(line::asPrime, inBoth | doublyOnly),
    Row::value(line::fsPrime, inBoth | doublyOnly),
};

// The results report: the NSR-98 title and blank line, the code line, then d, Ku, beta 1, the
// ratios heading, the ratios, φ, εt, c/d, φMn at rhoTc, As and the section kind; a doubly
// reinforced section adds A's and f's. 17 or 19 lines, CR LF between lines, none after the last.
std::string resultsReport(const ReportValues& values);
std::string resultsReport(const DesignResult& result, char decimalSeparator);

// The printed report: as the results report without the ratios heading and with the balanced
// ratio before the minimum ratio, the order of the printed NSR-98 report. With no values, the
// bare form: title, blank line, code line and the value lines with labels and units only.
std::string printedReport(const ReportValues* values);

}  // namespace nsr10

}  // namespace engine
