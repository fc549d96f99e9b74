#include "engine/report.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "engine/numbers.h"

namespace engine {

std::string_view sectionKindText(SectionKind kind) {
    return kind == SectionKind::Doubly ? reportText::doubly : reportText::singly;
}

std::string joinReportLines(std::span<const ReportPieces> lines) {
    constexpr std::string_view eol = "\r\n";
    std::size_t size = lines.empty() ? 0 : (lines.size() - 1) * eol.size();
    for (const ReportPieces& line : lines) {
        for (std::string_view piece : line) size += piece.size();
    }
    std::string out(size, ' ');
    char* p = out.data();
    bool first = true;
    for (const ReportPieces& line : lines) {
        if (!first) p = std::copy(eol.begin(), eol.end(), p);
        first = false;
        for (std::string_view piece : line) p = std::copy(piece.begin(), piece.end(), p);
    }
    return out;
}

namespace nsr98 {

ReportValues reportValues(const DesignResult& r, char sep) {
    ReportValues v;
    v.d = formatGeneral(r.d, sep);
    v.ku = formatFixed(r.ku, 8, sep);
    v.alfa = formatGeneral(r.alfa, sep);
    v.beta = formatGeneral(r.beta, sep);
    v.rho = formatFixed(r.rho, 7, sep);
    v.rhoMax = formatFixed(r.rhoMax, 7, sep);
    // The minimum ratio is brought to eight decimals first and that text shown with seven.
    v.rhoMin = formatFixedTwice(r.rhoMin, 8, 7, sep);
    v.rhoB = formatFixed(r.rhoB, 7, sep);
    v.kMax = formatFixed(r.kMax, 3, sep);
    v.mMax = formatFixed(r.mMax, 2, sep);
    v.as = formatFixed(r.as, 2, sep);
    if (r.kind == SectionKind::Doubly) v.asPrime = formatFixed(r.asPrime, 2, sep);
    v.kind = r.kind;
    return v;
}

std::string resultsReport(const ReportValues& v) {
    return composeReport(reportRows, ReportForm::Window, &v);
}

std::string resultsReport(const DesignResult& r, char sep) {
    return resultsReport(reportValues(r, sep));
}

std::string printedReport(const ReportValues* v) {
    return composeReport(reportRows, ReportForm::Printed, v);
}

}  // namespace nsr98

}  // namespace engine
