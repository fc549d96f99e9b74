#include "engine/run.h"

#include <cmath>
#include <type_traits>

#include "engine/numbers.h"
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
    const auto wrap = [&input](const auto& outcome) -> RunOutcome {
        return std::visit(
            [&input](const auto& value) -> RunOutcome {
                if constexpr (std::is_same_v<std::decay_t<decltype(value)>, DesignError>) {
                    return value;
                } else {
                    // Steel filling the whole section: no design, whatever the arithmetic gave.
                    if (value.as + value.asPrime >= input.b * input.h)
                        return DesignError::EffectiveDepth;
                    return DesignRun{value};
                }
            },
            outcome);
    };
    return code == DesignCode::Nsr10 ? wrap(nsr10::design(input)) : wrap(nsr98::design(input));
}

std::string inputRuleText(const DesignInput& in, char sep) {
    struct Rule {
        const char* symbol;
        double value;
        const char* unit;
        bool broken;
        std::string rule;
    };
    const auto text = [sep](double value) { return formatGeneral(value, sep); };
    // In the order inputError looks at them: values that are not numbers, the cover against
    // the height, then each value's own range.
    const Rule rules[] = {
        {"b", in.b, "cm", !std::isfinite(in.b), "no es un número finito"},
        {"h", in.h, "cm", !std::isfinite(in.h), "no es un número finito"},
        {"d'", in.dPrime, "cm", !std::isfinite(in.dPrime), "no es un número finito"},
        {"f'c", in.fc, "kg/cm2", !std::isfinite(in.fc), "no es un número finito"},
        {"Fy", in.fy, "kg/cm2", !std::isfinite(in.fy), "no es un número finito"},
        {"Mu", in.mu, "Tn-m", !std::isfinite(in.mu), "no es un número finito"},
        {"d''", in.dSecond, "cm", !std::isfinite(in.dSecond), "no es un número finito"},
        {"h", in.h, "cm", in.h <= 0, "la altura h debe ser mayor que cero"},
        {"d'", in.dPrime, "cm", in.h - in.dPrime <= 0,
         "el recubrimiento d' debe ser menor que la altura h = " + text(in.h) + " cm"},
        {"b", in.b, "cm", in.b <= 0, "el ancho b debe ser mayor que cero"},
        {"f'c", in.fc, "kg/cm2", in.fc <= 0,
         "la resistencia del concreto f'c debe ser mayor que cero"},
        {"Fy", in.fy, "kg/cm2", in.fy <= 0, "el esfuerzo de fluencia Fy debe ser mayor que cero"},
        {"d'", in.dPrime, "cm", in.dPrime < 0, "el recubrimiento d' no puede ser negativo"},
        {"d''", in.dSecond, "cm", in.dSecond < 0, "el recubrimiento d'' no puede ser negativo"},
        {"Mu", in.mu, "Tn-m", in.mu < 0, "el momento último Mu no puede ser negativo"},
    };
    for (const Rule& rule : rules) {
        if (rule.broken)
            return std::string(rule.symbol) + " = " + text(rule.value) + " " + rule.unit + ": " +
                   rule.rule;
    }
    return {};
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
