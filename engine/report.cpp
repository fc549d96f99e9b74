#include "engine/report.h"

#include <cstring>
#include <string>
#include <utility>

namespace engine {

std::string_view sectionKindText(SectionKind kind) {
    return kind == SectionKind::Doubly ? reportText::doubly : reportText::singly;
}

void ReportText::grow(std::size_t size) {
    const auto used = static_cast<std::size_t>(end_ - begin_);
    std::string larger(2 * (used + size), '\0');
    std::memcpy(larger.data(), begin_, used);
    heap_ = std::move(larger);
    begin_ = heap_.data();
    end_ = begin_ + used;
    limit_ = begin_ + heap_.size();
}

namespace nsr98 {

ReportValues reportValues(const DesignResult& r, char sep) {
    return reportValuesOf<ReportValues, DesignResult>(reportRows, r, sep);
}

std::string resultsReport(const ReportValues& v) {
    return composeReport<ReportLine>(
        reportRows, ReportForm::Window, &v.kind,
        [&v](ReportText& text, const ReportLine& line) { text.append(v.*line.text); });
}

// Composed straight from the numbers, without the value texts in between: the window shows a
// report at every change of an input.
std::string resultsReport(const DesignResult& r, char sep) {
    return composeReport<ReportLine>(reportRows, ReportForm::Window, &r.kind,
                                     [&r, sep](ReportText& text, const ReportLine& line) {
                                         text.appendNumber(r.*line.number, line.format, sep);
                                     });
}

std::string printedReport(const ReportValues* v) {
    return composeReport<ReportLine>(reportRows, ReportForm::Printed, v ? &v->kind : nullptr,
                                     [v](ReportText& text, const ReportLine& line) {
                                         if (v) text.append(v->*line.text);
                                     });
}

}  // namespace nsr98

}  // namespace engine
