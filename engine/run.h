#pragma once

#include <string>
#include <variant>

#include "engine/code.h"
#include "engine/design.h"
#include "engine/nsr10.h"

// One design run under either code, for the callers that treat both codes alike: the windows,
// the printed and exported reports and the command line.
namespace engine {

struct DesignRun {
    std::variant<nsr98::DesignResult, nsr10::DesignResult> result;

    DesignCode code() const;
    const nsr98::DesignResult* nsr98() const { return std::get_if<nsr98::DesignResult>(&result); }
    const nsr10::DesignResult* nsr10() const { return std::get_if<nsr10::DesignResult>(&result); }
    double d() const;        // effective depth, cm
    double as() const;       // tension steel, cm2
    double asPrime() const;  // compression steel, cm2 (0 when singly reinforced)
    SectionKind kind() const;
};

using RunOutcome = std::variant<DesignRun, DesignError>;

// A completed design: what was designed and the run under the code then in force.
struct CompletedDesign {
    DesignInput input;
    DesignRun run;
};

// The design of the code. A design that asks for at least as much steel as there is concrete
// (As + A's >= b h), which no section can hold, gives DesignError::EffectiveDepth under either
// code: the section is too small for the moment.
RunOutcome runDesign(const DesignInput& input, DesignCode code);

// For inputs that inputError refuses (no section can have them): the first value that breaks a
// rule, named with its value and the rule, as "b = 0 cm: el ancho b debe ser mayor que cero".
// Empty for inputs that can be designed.
std::string inputRuleText(const DesignInput& input, char decimalSeparator);

// The results report of the run's code; under NSR-98 exactly nsr98::resultsReport(DesignResult).
std::string resultsReport(const DesignRun& run, char decimalSeparator);

// The printed report of the run's code.
std::string printedReport(const DesignRun& run, char decimalSeparator);
// The printed form before any run: title, blank line and the labelled value lines with no values.
std::string blankPrintedReport(DesignCode code);

// The figures of a run as numbers, one row of a results table. Under NSR-10 the largest ratio
// is the tension-controlled ratio and the largest singly reinforced moment is φMn at that ratio.
struct RunFigures {
    SectionKind kind = SectionKind::Singly;
    double d = 0;       // cm
    double ku = 0;      // Tn/cm2
    double rho = 0;     // required ratio
    double rhoMax = 0;  // NSR-98: 0.75 rho balanced; NSR-10: rho tension-controlled
    double rhoMin = 0;
    double mMax = 0;     // Tn-m
    double as = 0;       // cm2
    double asPrime = 0;  // cm2
};

RunFigures runFigures(const DesignRun& run);

}  // namespace engine
