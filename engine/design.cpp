#include "engine/design.h"

#include <cmath>
#include <initializer_list>

#include "engine/code.h"

namespace engine {

std::string_view designErrorMessage(DesignError error) {
    switch (error) {
        case DesignError::Cover:
            return "Se ha generado un error, La altura de la viga debe ser mayor al Recubrimiento "
                   "( d' ) ";
        case DesignError::EffectiveDepth:
            return "Se ha generado un error, la altura efectiva es muy pequeña, Se recomienda "
                   "aumentar la altura la de seccion h ";
        case DesignError::Arithmetic:
        case DesignError::InvalidInput:
            break;
    }
    return "Se ha generado un error, los valores ingresados no permiten realizar el calculo ";
}

namespace {

// Every input finite and none impossible, in one branch: x * 0 is 0 for a finite x and NaN
// otherwise, and the comparisons are joined without short-circuits. The designs call this
// before anything else; only when it fails does inputError find out which message applies.
[[gnu::always_inline]] inline bool soundInput(const DesignInput& in) {
    const double zero =
        in.b * 0 + in.h * 0 + in.dPrime * 0 + in.fc * 0 + in.fy * 0 + in.mu * 0 + in.dSecond * 0;
    return (zero == 0) & (in.h - in.dPrime > 0) & (in.b > 0) & (in.fc > 0) & (in.fy > 0) &
           (in.dPrime >= 0) & (in.dSecond >= 0) & (in.mu >= 0);
}

}  // namespace

std::optional<DesignError> inputError(const DesignInput& in) {
    if (soundInput(in)) [[likely]]
        return std::nullopt;
    for (double value : {in.b, in.h, in.dPrime, in.fc, in.fy, in.mu, in.dSecond}) {
        if (!std::isfinite(value)) return DesignError::Arithmetic;
    }
    if (in.h - in.dPrime <= 0) return DesignError::Cover;
    return DesignError::InvalidInput;
}

namespace nsr98 {

namespace {

// Branch-free: x * 0 is 0 for a finite x and NaN otherwise.
bool allFinite(const DesignResult& r) {
    const double zero = r.d * 0 + r.m * 0 + r.ku * 0 + r.alfa * 0 + r.beta * 0 + r.rho * 0 +
                        r.rhoMax * 0 + r.rhoB * 0 + r.rhoMin * 0 + r.kMax * 0 + r.mMax * 0 +
                        r.deltaM * 0 + r.as * 0 + r.asPrime * 0;
    return zero == 0;
}

}  // namespace

// Every expression is evaluated left to right exactly as the design procedure writes it, so
// the results match the established figures to the last bit; do not "simplify" the algebra.
DesignOutcome design(const DesignInput& in) {
    if (!soundInput(in)) [[unlikely]]
        return *inputError(in);
    const double b = in.b;
    const double fc = in.fc;
    const double fy = in.fy;
    const double mu = in.mu;

    // Locals first and the result built once at the end: cheaper than filling a zeroed struct.
    const double d = in.h - in.dPrime;
    const double m = fy / 0.85 / fc;
    const double ku = mu / (b / 100) / (d * d);

    // Beta 1 reaches its floor of 0.65 at 560 kg/cm2: stronger concrete keeps the 560 factors.
    const double alfa = blockFactor(fc);
    const double beta = beta1(DesignCode::Nsr98, fc) / 2;

    // The factor 1000 turns Tn/cm2 into kg/cm2.
    const double disc = 1 - 2 * m * ku * 1000 / phi / fy;

    const double rhoMax = 0.75 * alfa * fc / fy * ultimateSteelStress / (ultimateSteelStress + fy);
    const double rho = disc < 0 ? rhoMax : (1 / m) * (1 - std::sqrt(disc));
    const double rhoB = rhoMax / 0.75;

    const double rhoMin = minimumSteelRatio(DesignCode::Nsr98, fc, fy);

    const double kMax = phi * rhoMax * fy * (1 - rhoMax * m / 2) / 1000;
    const double mMax = kMax * b * d * d / 100;
    const double deltaM = mu - mMax;

    SectionKind kind = SectionKind::Singly;
    double as = 0;
    double asPrime = 0;
    if (ku > kMax) {
        kind = SectionKind::Doubly;
        // The compression steel must lie above the tension steel, else the lever arm d - d''
        // is zero or negative.
        if (d - in.dPrime <= 0 || d - in.dSecond <= 0) return DesignError::EffectiveDepth;
        // Tn-m to kg-cm; the compression steel works at Fy with lever arm d - d''.
        asPrime = deltaM / phi / fy / (d - in.dSecond) * 1000 * 100;
        as = rhoMax * b * d + asPrime;
    } else {
        as = rho < rhoMin ? rhoMin * b * d : rho * b * d;
    }

    const DesignResult r{.d = d,
                         .m = m,
                         .ku = ku,
                         .alfa = alfa,
                         .beta = beta,
                         .rho = rho,
                         .rhoMax = rhoMax,
                         .rhoB = rhoB,
                         .rhoMin = rhoMin,
                         .kMax = kMax,
                         .mMax = mMax,
                         .deltaM = deltaM,
                         .kind = kind,
                         .as = as,
                         .asPrime = asPrime};
    if (!allFinite(r)) return DesignError::Arithmetic;
    return r;
}

}  // namespace nsr98

}  // namespace engine
