#include "engine/nsr10.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <span>

#include "engine/code.h"
#include "engine/numbers.h"
#include "engine/report.h"

namespace engine {

namespace nsr10 {

double phiForStrain(double strain) {
    if (strain >= tensionControlledStrain) return 0.9;
    if (strain <= 0.002) return 0.65;
    return 0.65 + (strain - 0.002) * 250 / 3;
}

namespace {

bool allFinite(const DesignResult& r) {
    for (double value : {r.d, r.m, r.ku, r.beta1, r.rho, r.rhoTc, r.rhoMin, r.rhoB, r.phi, r.strain,
                         r.depthRatio, r.phiMnTc, r.deltaM, r.as, r.asPrime, r.fsPrime}) {
        if (!std::isfinite(value)) return false;
    }
    return true;
}

}  // namespace

DesignOutcome design(const DesignInput& in) {
    if (const auto error = inputError(in)) return *error;
    const double b = in.b;
    const double fc = in.fc;
    const double fy = in.fy;

    DesignResult r;
    r.d = in.h - in.dPrime;
    const double d = r.d;
    r.m = fy / 0.85 / fc;
    r.ku = in.mu / (b / 100) / (d * d);
    r.beta1 = beta1(DesignCode::Nsr10, fc);
    r.rhoTc = 0.85 * r.beta1 * (fc / fy) * ultimateConcreteStrain /
              (ultimateConcreteStrain + tensionControlledStrain);
    r.rhoMin = minimumSteelRatio(DesignCode::Nsr10, fc, fy);
    const double es = steelModulus(DesignCode::Nsr10);
    const double yieldStrain = fy / es;
    r.rhoB = 0.85 * r.beta1 * (fc / fy) * ultimateConcreteStrain /
             (ultimateConcreteStrain + yieldStrain);

    // The required ratio with φ = 0.90, as for NSR-98; 1000 turns Tn/cm2 into kg/cm2.
    const double disc = 1 - 2 * r.m * r.ku * 1000 / phi / fy;
    r.rho = disc < 0 ? r.rhoTc : (1 / r.m) * (1 - std::sqrt(disc));

    // The largest moment a singly reinforced, tension-controlled section carries.
    const double kTc = phi * r.rhoTc * fy * (1 - r.rhoTc * r.m / 2) / 1000;
    r.phiMnTc = kTc * b * d * d / 100;
    r.deltaM = in.mu - r.phiMnTc;

    // Ku above the Ku of rhoTc is rho above rhoTc (rho grows with Ku), and keeps deltaM > 0.
    if (r.ku > kTc) {
        r.kind = SectionKind::Doubly;
        r.phi = phi;
        r.strain = tensionControlledStrain;
        r.depthRatio = tensionControlledDepthRatio;
        const double c = tensionControlledDepthRatio * d;
        if (c <= in.dSecond) return DesignError::EffectiveDepth;
        const double strainPrime = ultimateConcreteStrain * (c - in.dSecond) / c;
        const double fsPrime = es * strainPrime;
        r.fsPrime = std::min(fsPrime, fy);
        // The compression bars take the place of concrete that works at 0.85 f'c.
        const double fsNet = r.fsPrime - 0.85 * fc;
        if (fsNet <= 0) return DesignError::EffectiveDepth;
        const double lever = d - in.dSecond;
        const double deltaMkgCm = r.deltaM * 1000 * 100;
        r.asPrime = deltaMkgCm / (phi * fsNet * lever);
        r.as = r.rhoTc * b * d + deltaMkgCm / (phi * fy * lever);
    } else {
        const double provided = std::max(r.rho, r.rhoMin);
        r.as = provided * b * d;
        // Equilibrium of the provided steel at Fy with the stress block 0.85 f'c over beta1 c.
        r.depthRatio = provided * r.m / r.beta1;
        r.strain = ultimateConcreteStrain * (1 - r.depthRatio) / r.depthRatio;
        r.phi = phiForStrain(r.strain);
    }
    if (!allFinite(r)) return DesignError::Arithmetic;
    return r;
}

ReportValues reportValues(const DesignResult& r, char sep) {
    return reportValuesOf<ReportValues, DesignResult>(reportRows, r, sep);
}

std::string resultsReport(const ReportValues& v) {
    return composeReport<ReportLine>(
        reportRows, ReportForm::Window, &v.kind,
        [&v](ReportText& text, const ReportLine& line) { text.append(v.*line.text); });
}

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

}  // namespace nsr10

}  // namespace engine
