#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "engine/design.h"

namespace engine {

// The literals both codes' reports share. Every blank belongs to them.
namespace reportText {
inline constexpr std::string_view title = "********  DISEÑO DE VIGA DE CONCRETO ********";
inline constexpr std::string_view ratiosHeading = "      Cuantias   ";
inline constexpr std::string_view singly = " SECCION SIMPLEMENTE REFORZADA ";
inline constexpr std::string_view doubly = " SECCION DOBLEMENTE REFORZADA ";
}  // namespace reportText

// " SECCION SIMPLEMENTE REFORZADA " or " SECCION DOBLEMENTE REFORZADA ".
std::string_view sectionKindText(SectionKind kind);

// One report line in pieces written one after the other: label, value text and unit, or a
// literal and two empty pieces.
using ReportPieces = std::array<std::string_view, 3>;

// A value line's pieces (a line of either code and their values); with no values, its label and
// unit only.
template <class Line, class Values>
ReportPieces linePieces(const Line& line, const Values* values) {
    return {line.label, values ? std::string_view(values->*line.value) : std::string_view(),
            line.unit};
}

// A line of literal text.
constexpr ReportPieces literalLine(std::string_view text) {
    return {text, {}, {}};
}

// The lines joined by CR LF, none after the last, written into one allocation. The reports of
// both codes are composed with it.
std::string joinReportLines(std::span<const ReportPieces> lines);

namespace nsr98 {

// The value texts of one completed design run, exactly as the results report shows them.
// The printed report is composed from the same texts.
struct ReportValues {
    std::string d;        // general format
    std::string ku;       // 8 decimals
    std::string alfa;     // general format
    std::string beta;     // general format
    std::string rho;      // 7 decimals
    std::string rhoMax;   // 7 decimals
    std::string rhoMin;   // 8 then 7 decimals
    std::string rhoB;     // 7 decimals
    std::string kMax;     // 3 decimals
    std::string mMax;     // 2 decimals
    std::string as;       // 2 decimals
    std::string asPrime;  // 2 decimals, doubly reinforced only (else empty)
    SectionKind kind = SectionKind::Singly;
};

ReportValues reportValues(const DesignResult& result, char decimalSeparator);

// A value line of the report: its label, the value text that follows it directly, its unit.
struct ReportLine {
    std::string_view label;
    std::string ReportValues::*value;
    std::string_view unit;
};

// The value lines of the report, shared by the results box and the printed report. Every
// blank belongs to them: " Ro Requerido :" and " Area acero superior :" end without one.
namespace line {
inline constexpr ReportLine d{" d : ", &ReportValues::d, " cm"};
inline constexpr ReportLine ku{" Ku : ", &ReportValues::ku, " Tn/cm2"};
inline constexpr ReportLine alfa{" Alfa : ", &ReportValues::alfa, ""};
inline constexpr ReportLine beta{" Beta : ", &ReportValues::beta, ""};
inline constexpr ReportLine rho{" Ro Requerido :", &ReportValues::rho, ""};
inline constexpr ReportLine rhoMax{" ro maximo : ", &ReportValues::rhoMax, ""};
inline constexpr ReportLine rhoMin{" ro minimo : ", &ReportValues::rhoMin, ""};
inline constexpr ReportLine rhoB{" ro Balanceado : ", &ReportValues::rhoB, ""};
inline constexpr ReportLine kMax{" K maximo : ", &ReportValues::kMax, ""};
inline constexpr ReportLine mMax{" M Maximo : ", &ReportValues::mMax, " Tn-m "};
inline constexpr ReportLine as{" Area de Refuerzo : ", &ReportValues::as, " cm2"};
inline constexpr ReportLine asPrime{" Area acero superior :", &ReportValues::asPrime, " cm2"};
}  // namespace line

// The results report: 15 lines (singly) or 16 (doubly), CR LF between lines, none after the last.
std::string resultsReport(const ReportValues& values);
std::string resultsReport(const DesignResult& result, char decimalSeparator);

// The printed report composed from the value texts of the last completed design run, or the
// bare form (labels and units only) when there is none. Unlike the results report it has no
// ratios heading, and the balanced ratio comes before the minimum ratio. CR LF between lines,
// none after the last.
std::string printedReport(const ReportValues* values);

}  // namespace nsr98

}  // namespace engine
