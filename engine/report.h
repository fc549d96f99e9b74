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

// The lines joined by CR LF, none after the last, written into one allocation. The reports of
// both codes are composed with it.
std::string joinReportLines(std::span<const ReportPieces> lines);

// Where a row of a report table appears: in the results report the window shows, in the
// printed report, and whether only for a doubly reinforced section.
enum ReportPlace : unsigned {
    inWindow = 1,
    inPrinted = 2,
    inBoth = inWindow | inPrinted,
    doublyOnly = 4,
};

// What a row holds: a literal text, a value line (label, value text, unit), or the section kind,
// which needs a design and so is left out of the bare printed form.
enum class ReportRowKind { Literal, Value, SectionKind };

// One row of a code's report table; `Line` is that code's value line.
template <class Line>
struct ReportRow {
    ReportRowKind kind = ReportRowKind::Literal;
    std::string_view literal;  // Literal rows
    Line line{};               // Value rows
    unsigned places = inBoth;

    static constexpr ReportRow text(std::string_view text, unsigned places) {
        return {ReportRowKind::Literal, text, {}, places};
    }
    static constexpr ReportRow value(const Line& line, unsigned places) {
        return {ReportRowKind::Value, {}, line, places};
    }
    static constexpr ReportRow sectionKind(unsigned places) {
        return {ReportRowKind::SectionKind, {}, {}, places};
    }
};

enum class ReportForm { Window, Printed };

// The report of one form composed from a code's table: the rows of that form, in table order.
// With no values (the printed form before any design) the value rows give labels and units only.
template <class Line, class Values, std::size_t N>
std::string composeReport(const std::array<ReportRow<Line>, N>& rows, ReportForm form,
                          const Values* values) {
    const unsigned place = form == ReportForm::Window ? inWindow : inPrinted;
    const bool doubly = values && values->kind == SectionKind::Doubly;
    std::array<ReportPieces, N> lines;
    std::size_t count = 0;
    for (const ReportRow<Line>& row : rows) {
        if (!(row.places & place) || ((row.places & doublyOnly) && !doubly)) continue;
        switch (row.kind) {
            case ReportRowKind::Literal:
                lines[count++] = {row.literal, {}, {}};
                break;
            case ReportRowKind::Value:
                lines[count++] = {
                    row.line.label,
                    values ? std::string_view(values->*row.line.value) : std::string_view(),
                    row.line.unit};
                break;
            case ReportRowKind::SectionKind:
                if (values) lines[count++] = {sectionKindText(values->kind), {}, {}};
                break;
        }
    }
    return joinReportLines(std::span<const ReportPieces>(lines.data(), count));
}

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

using Row = ReportRow<ReportLine>;

// The report table: the results report shows the ratios heading and the minimum ratio before the
// balanced one; the printed report has no heading and the balanced ratio first.
inline constexpr std::array<Row, 17> reportRows{{
    Row::text(reportText::title, inBoth),
    Row::text({}, inBoth),
    Row::value(line::d, inBoth),
    Row::value(line::ku, inBoth),
    Row::value(line::alfa, inBoth),
    Row::value(line::beta, inBoth),
    Row::text(reportText::ratiosHeading, inWindow),
    Row::value(line::rho, inBoth),
    Row::value(line::rhoMax, inBoth),
    Row::value(line::rhoMin, inWindow),
    Row::value(line::rhoB, inBoth),
    Row::value(line::rhoMin, inPrinted),
    Row::value(line::kMax, inBoth),
    Row::value(line::mMax, inBoth),
    Row::value(line::as, inBoth),
    Row::sectionKind(inBoth),
    Row::value(line::asPrime, inBoth | doublyOnly),
}};

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
