#include "engine/design.h"

#include <cmath>

namespace engine {

namespace {

bool allFinite(const DesignInput& in) {
    return std::isfinite(in.b) && std::isfinite(in.h) && std::isfinite(in.dPrime) &&
           std::isfinite(in.fc) && std::isfinite(in.fy) && std::isfinite(in.mu) &&
           std::isfinite(in.dSecond);
}

bool allFinite(const DesignResult& r) {
    return std::isfinite(r.d) && std::isfinite(r.m) && std::isfinite(r.ku) &&
           std::isfinite(r.alfa) && std::isfinite(r.beta) && std::isfinite(r.rho) &&
           std::isfinite(r.rhoMax) && std::isfinite(r.rhoB) && std::isfinite(r.rhoMin) &&
           std::isfinite(r.kMax) && std::isfinite(r.mMax) && std::isfinite(r.deltaM) &&
           std::isfinite(r.as) && std::isfinite(r.asPrime);
}

}  // namespace

// Every expression is evaluated left to right exactly as the design procedure writes it, so
// the results match the established figures to the last bit; do not "simplify" the algebra.
DesignOutcome design(const DesignInput& in) {
    if (!allFinite(in)) return DesignError::Arithmetic;
    const double b = in.b;
    const double fc = in.fc;
    const double fy = in.fy;
    const double mu = in.mu;

    if (in.h - in.dPrime <= 0) return DesignError::Cover;
    // Zero width, f'c or Fy divide by zero below; a negative f'c has no square root.
    if (b == 0 || fc <= 0 || fy == 0) return DesignError::Arithmetic;

    DesignResult r;
    r.d = in.h - in.dPrime;
    const double d = r.d;
    r.m = fy / 0.85 / fc;
    r.ku = mu / (b / 100) / (d * d);

    if (fc <= 280) {
        r.alfa = 0.7225;
        r.beta = 0.425;
    } else {
        r.alfa = 0.7225 - (fc - 280) * 0.04 / 70;
        r.beta = 0.425 - (fc - 280) * 0.025 / 70;
    }

    // The factor 1000 turns Tn/cm2 into kg/cm2.
    const double disc = 1 - 2 * r.m * r.ku * 1000 / phi / fy;

    r.rhoMax = 0.75 * r.alfa * fc / fy * 6000 / (6000 + fy);
    r.rho = disc < 0 ? r.rhoMax : (1 / r.m) * (1 - std::sqrt(disc));
    r.rhoB = r.rhoMax / 0.75;

    const double r1 = 0.8 * std::sqrt(fc) / fy;
    const double r2 = 14 / fy;
    r.rhoMin = r1 >= r2 ? r1 : r2;

    r.kMax = phi * r.rhoMax * fy * (1 - r.rhoMax * r.m / 2) / 1000;
    r.mMax = r.kMax * b * d * d / 100;
    r.deltaM = mu - r.mMax;

    if (r.ku > r.kMax) {
        r.kind = SectionKind::Doubly;
        // The compression steel must lie above the tension steel, else the lever arm d - d''
        // is zero or negative.
        if (d - in.dPrime <= 0 || d - in.dSecond <= 0) return DesignError::EffectiveDepth;
        // Tn-m to kg-cm; the compression steel works at Fy with lever arm d - d''.
        r.asPrime = r.deltaM / phi / fy / (d - in.dSecond) * 1000 * 100;
        r.as = r.rhoMax * b * d + r.asPrime;
    } else {
        r.kind = SectionKind::Singly;
        r.as = r.rho < r.rhoMin ? r.rhoMin * b * d : r.rho * b * d;
    }

    if (!allFinite(r)) return DesignError::Arithmetic;
    return r;
}

}  // namespace engine
