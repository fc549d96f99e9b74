#include "engine/run.h"

#include <type_traits>

#include "engine/report.h"

namespace engine {

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
    return code == DesignCode::Nsr10 ? wrap(nsr10::design(input)) : wrap(nsr98::design(input));
}

std::string resultsReport(const DesignRun& run, char sep) {
    if (const auto* r = run.nsr10()) return nsr10::resultsReport(*r, sep);
    return nsr98::resultsReport(*run.nsr98(), sep);
}

std::string printedReport(const DesignRun& run, char sep) {
    if (const auto* r = run.nsr10()) {
        const nsr10::ReportValues values = nsr10::reportValues(*r, sep);
        return nsr10::printedReport(&values);
    }
    const nsr98::ReportValues values = nsr98::reportValues(*run.nsr98(), sep);
    return nsr98::printedReport(&values);
}

std::string blankPrintedReport(DesignCode code) {
    return code == DesignCode::Nsr10 ? nsr10::printedReport(nullptr)
                                     : nsr98::printedReport(nullptr);
}

RunFigures runFigures(const DesignRun& run) {
    if (const auto* r = run.nsr10()) {
        return {r->kind, r->d, r->ku, r->rho, r->rhoTc, r->rhoMin, r->phiMnTc, r->as, r->asPrime};
    }
    const nsr98::DesignResult& r = *run.nsr98();
    return {r.kind, r.d, r.ku, r.rho, r.rhoMax, r.rhoMin, r.mMax, r.as, r.asPrime};
}

}  // namespace engine
