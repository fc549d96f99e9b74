#pragma once

#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "engine/design.h"
#include "engine/numbers.h"

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

// Where a row of a report table appears: in the results report the window shows, in the
// printed report, and whether only for a doubly reinforced section.
enum ReportPlace : unsigned {
    inWindow = 1,
    inPrinted = 2,
    inBoth = inWindow | inPrinted,
    doublyOnly = 4,
};

// A value line of a code's report: its label, the value that follows it directly, its unit.
// The value is a number of the code's design result in its format, kept as text in the code's
// report values.
template <class Values, class Result>
struct ValueLine {
    std::string_view label;
    std::string Values::*text;
    double Result::*number;
    NumberFormat format;
    std::string_view unit;
};

// What a row holds: a literal text, a value line, or the section kind, which needs a design and
// so is left out of the bare printed form.
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

// A report's text as it is written: in a buffer on the stack, which holds any report with
// numbers of everyday size, moving to the heap only past it.
class ReportText {
  public:
    ReportText() = default;
    ReportText(const ReportText&) = delete;
    ReportText& operator=(const ReportText&) = delete;

    void append(std::string_view text) {
        if (text.empty()) return;  // an empty view may hold no pointer, which memcpy refuses
        char* at = room(text.size());
        std::memcpy(at, text.data(), text.size());
        end_ = at + text.size();
    }
    void appendNumber(double value, NumberFormat format, char decimalSeparator) {
        end_ = writeNumber(room(numberTextRoom(format)), value, format, decimalSeparator);
    }
    std::string str() const { return std::string(begin_, end_); }

  private:
    char* room(std::size_t size) {
        if (static_cast<std::size_t>(limit_ - end_) < size) grow(size);
        return end_;
    }
    void grow(std::size_t size);

    char local_[2048];
    std::string heap_;
    char* begin_ = local_;
    char* end_ = local_;
    char* limit_ = local_ + sizeof local_;
};

// The report of one form composed from a code's table: the rows of that form, in table order,
// CR LF between lines and none after the last. The kind (none for the bare printed form) picks
// the doubly reinforced rows and gives the section kind's line; `writeValue(text, line)`
// appends a value row's value.
template <class Line, class WriteValue>
std::string composeReport(std::span<const ReportRow<Line>> rows, ReportForm form,
                          const SectionKind* kind, WriteValue writeValue) {
    const unsigned place = form == ReportForm::Window ? inWindow : inPrinted;
    const bool doubly = kind && *kind == SectionKind::Doubly;
    ReportText text;
    bool first = true;
    for (const ReportRow<Line>& row : rows) {
        if (!(row.places & place) || ((row.places & doublyOnly) && !doubly)) continue;
        if (row.kind == ReportRowKind::SectionKind && !kind) continue;
        if (!first) text.append("\r\n");
        first = false;
        switch (row.kind) {
            case ReportRowKind::Literal:
                text.append(row.literal);
                break;
            case ReportRowKind::Value:
                text.append(row.line.label);
                writeValue(text, row.line);
                text.append(row.line.unit);
                break;
            case ReportRowKind::SectionKind:
                text.append(sectionKindText(*kind));
                break;
        }
    }
    return text.str();
}

// The value texts of a code's report values from its design result, each as its line shows it:
// the value rows of the table, the doubly reinforced ones only for a doubly reinforced section.
template <class Values, class Result>
Values reportValuesOf(std::span<const ReportRow<ValueLine<Values, Result>>> rows,
                      const Result& result, char decimalSeparator) {
    Values values;
    for (const auto& row : rows) {
        if (row.kind != ReportRowKind::Value) continue;
        if ((row.places & doublyOnly) && result.kind != SectionKind::Doubly) continue;
        values.*row.line.text =
            formatNumber(result.*row.line.number, row.line.format, decimalSeparator);
    }
    values.kind = result.kind;
    return values;
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
using ReportLine = ValueLine<ReportValues, DesignResult>;

// The value lines of the report, shared by the results box and the printed report. Every
// blank belongs to them: " Ro Requerido :" and " Area acero superior :" end without one.
namespace line {
inline constexpr ReportLine d{" d : ", &ReportValues::d, &DesignResult::d, generalFormat, " cm"};
inline constexpr ReportLine ku{" Ku : ", &ReportValues::ku, &DesignResult::ku, fixedFormat(8),
                               " Tn/cm2"};
inline constexpr ReportLine alfa{" Alfa : ", &ReportValues::alfa, &DesignResult::alfa,
                                 generalFormat, ""};
inline constexpr ReportLine beta{" Beta : ", &ReportValues::beta, &DesignResult::beta,
                                 generalFormat, ""};
inline constexpr ReportLine rho{" Ro Requerido :", &ReportValues::rho, &DesignResult::rho,
                                fixedFormat(7), ""};
inline constexpr ReportLine rhoMax{" ro maximo : ", &ReportValues::rhoMax, &DesignResult::rhoMax,
                                   fixedFormat(7), ""};
// The minimum ratio is brought to eight decimals first and that text shown with seven.
inline constexpr ReportLine rhoMin{" ro minimo : ", &ReportValues::rhoMin, &DesignResult::rhoMin,
                                   fixedTwiceFormat(8, 7), ""};
inline constexpr ReportLine rhoB{" ro Balanceado : ", &ReportValues::rhoB, &DesignResult::rhoB,
                                 fixedFormat(7), ""};
inline constexpr ReportLine kMax{" K maximo : ", &ReportValues::kMax, &DesignResult::kMax,
                                 fixedFormat(3), ""};
inline constexpr ReportLine mMax{" M Maximo : ", &ReportValues::mMax, &DesignResult::mMax,
                                 fixedFormat(2), " Tn-m "};
inline constexpr ReportLine as{" Area de Refuerzo : ", &ReportValues::as, &DesignResult::as,
                               fixedFormat(2), " cm2"};
inline constexpr ReportLine asPrime{" Area acero superior :", &ReportValues::asPrime,
                                    &DesignResult::asPrime, fixedFormat(2), " cm2"};
}  // namespace line

using Row = ReportRow<ReportLine>;

// The report table: the results report shows the ratios heading and the minimum ratio before the
// balanced one; the printed report has no heading and the balanced ratio first.
inline constexpr Row reportRows[] = {
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
};

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
