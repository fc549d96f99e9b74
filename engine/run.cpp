#include "engine/run.h"

#include <array>
#include <type_traits>

#include "engine/report.h"

namespace engine {

namespace {

// The printed NSR-98 report: the results report's lines without the ratios heading, and the
// balanced ratio before the minimum ratio.
constexpr std::array<const ReportLine*, 11> printedLines{{
    &reportText::d,
    &reportText::ku,
    &reportText::alfa,
    &reportText::beta,
    &reportText::rho,
    &reportText::rhoMax,
    &reportText::rhoB,
    &reportText::rhoMin,
    &reportText::kMax,
    &reportText::mMax,
    &reportText::as,
}};

std::string nsr98PrintedReport(const ReportValues* values) {
    std::string text(reportText::title);
    text += "\r\n";  // the empty second line
    for (const ReportLine* line : printedLines) {
        text += "\r\n";
        text += line->label;
        if (values) text += values->*(line->value);
        text += line->unit;
    }
    if (!values) return text;
    const bool doubly = values->kind == SectionKind::Doubly;
    text += "\r\n";
    text += doubly ? reportText::doubly : reportText::singly;
    if (doubly) {
        text += "\r\n";
        text += reportText::asPrime.label;
        text += values->asPrime;
        text += reportText::asPrime.unit;
    }
    return text;
}

}  // namespace

DesignCode DesignRun::code() const {
    return nsr10() ? DesignCode::Nsr10 : DesignCode::Nsr98;
}

double DesignRun::d() const {
    return std::visit([](const auto& r) { return r.d; }, result);
}

double DesignRun::as() const {
    return std::visit([](const auto& r) { return r.as; }, result);
}

double DesignRun::asPrime() const {
    return std::visit([](const auto& r) { return r.asPrime; }, result);
}

SectionKind DesignRun::kind() const {
    return std::visit([](const auto& r) { return r.kind; }, result);
}

RunOutcome runDesign(const DesignInput& input, DesignCode code) {
    const auto wrap = [](const auto& outcome) -> RunOutcome {
        return std::visit(
            [](const auto& value) -> RunOutcome {
                if constexpr (std::is_same_v<std::decay_t<decltype(value)>, DesignError>)
                    return value;
                else
                    return DesignRun{value};
            },
            outcome);
    };
    return code == DesignCode::Nsr10 ? wrap(designNsr10(input)) : wrap(design(input));
}

std::string resultsReport(const DesignRun& run, char sep) {
    if (const auto* r = run.nsr10()) return nsr10ResultsReport(*r, sep);
    return resultsReport(*run.nsr98(), sep);
}

std::string printedReport(const DesignRun& run, char sep) {
    if (const auto* r = run.nsr10()) {
        const Nsr10ReportValues values = nsr10ReportValues(*r, sep);
        return nsr10PrintedReport(&values);
    }
    const ReportValues values = reportValues(*run.nsr98(), sep);
    return nsr98PrintedReport(&values);
}

std::string blankPrintedReport(DesignCode code) {
    return code == DesignCode::Nsr10 ? nsr10PrintedReport(nullptr) : nsr98PrintedReport(nullptr);
}

RunFigures runFigures(const DesignRun& run) {
    if (const auto* r = run.nsr10()) {
        return {r->kind, r->d, r->ku, r->rho, r->rhoTc, r->rhoMin, r->phiMnTc, r->as, r->asPrime};
    }
    const DesignResult& r = *run.nsr98();
    return {r.kind, r.d, r.ku, r.rho, r.rhoMax, r.rhoMin, r.mMax, r.as, r.asPrime};
}

}  // namespace engine
