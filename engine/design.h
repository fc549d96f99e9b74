#pragma once

#include <variant>

// Ultimate-strength flexural design of a rectangular reinforced-concrete section,
// units kg, cm and tonne-force.
namespace engine {

// Strength reduction factor for flexure.
inline constexpr double phi = 0.9;

struct DesignInput {
    double b = 0;        // width, cm
    double h = 0;        // total height, cm
    double dPrime = 0;   // tension face to tension steel centroid (cover), cm
    double fc = 0;       // concrete compressive strength f'c, kg/cm2
    double fy = 0;       // steel yield stress, kg/cm2
    double mu = 0;       // factored moment, Tn-m
    double dSecond = 0;  // compression face to compression steel centroid, cm
};

enum class SectionKind { Singly, Doubly };

struct DesignResult {
    double d = 0;   // effective depth, cm
    double m = 0;   // Fy / (0.85 f'c)
    double ku = 0;  // Mu / (b d^2), Tn/cm2
    double alfa = 0;
    double beta = 0;
    double rho = 0;  // required steel ratio
    double rhoMax = 0;
    double rhoB = 0;  // balanced
    double rhoMin = 0;
    double kMax = 0;    // Tn/cm2
    double mMax = 0;    // Tn-m
    double deltaM = 0;  // Mu - Mmax, Tn-m
    SectionKind kind = SectionKind::Singly;
    double as = 0;       // tension steel area, cm2
    double asPrime = 0;  // compression steel area, cm2 (doubly reinforced only, else 0)
};

enum class DesignError {
    Cover,           // h - d' <= 0
    EffectiveDepth,  // doubly reinforced with d - d' <= 0 or d - d'' <= 0
    Arithmetic,      // the inputs break the arithmetic (zero width, f'c or Fy, negative f'c, ...)
};

using DesignOutcome = std::variant<DesignResult, DesignError>;

DesignOutcome design(const DesignInput& input);

}  // namespace engine
