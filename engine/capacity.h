#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/code.h"
#include "engine/layout.h"

// Flexural capacity of a rectangular section with its bars as placed, by strain compatibility:
// plane sections, concrete strain 0.003 at the compression face, rectangular block 0.85 f'c
// over a = beta1 c, elastic-perfectly plastic steel with the code's Es. Units kg, cm; moments in
// Tn-m.
namespace engine {

// Bars at one depth.
struct SteelLayer {
    double area = 0;   // cm2
    double depth = 0;  // centroid from the compression face, cm
    // Largest bar diameter, cm: the concrete the bars displace is counted over this height as
    // the block reaches them (0: all at once when the block passes the centroid).
    double barDiameter = 0;
};

struct CapacityInput {
    DesignCode code = DesignCode::Nsr98;
    double b = 0;                             // cm
    double h = 0;                             // cm
    double fc = 0;                            // kg/cm2
    double fy = 0;                            // kg/cm2
    double mu = 0;                            // Tn-m
    std::span<const SteelLayer> tension;      // one or more layers
    std::span<const SteelLayer> compression;  // empty for a singly reinforced section
};

enum class CheckOutcome { Passes, Fails, NotApplicable };

struct CapacityResult {
    double c = 0;  // neutral axis depth, cm
    double a = 0;  // block depth, cm (never more than h)
    double beta1 = 0;
    double tensionStrain = 0;    // at the deepest tension layer (positive = tension)
    bool tensionYields = false;  // every tension layer at Fy
    bool hasCompressionSteel = false;
    double compressionStress = 0;  // f's, kg/cm2, compression positive (gross, not net)
    bool compressionYields = false;  // |f's| at Fy (in compression, or in tension when negative)
    double d = 0;   // centroid of the tension steel, cm
    double mn = 0;  // Tn-m
    double phi = 0;
    double phiMn = 0;        // Tn-m
    double demandRatio = 0;  // Mu / phiMn
    double rho = 0;          // As / (b d)
    double rhoPrime = 0;     // A's / (b d)
    double rhoMin = 0;
    double rhoB = 0;          // balanced ratio
    double netRatio = 0;      // rho - rho' f's / Fy
    double rhoLimit = 0;      // 0.75 rhoB (NSR-98), 0 under NSR-10
    double forceBalance = 0;  // |compression - tension| / tension at the solution

    CheckOutcome strength = CheckOutcome::Fails;             // phiMn >= Mu
    CheckOutcome minimumSteel = CheckOutcome::Fails;         // rho >= rhoMin
    CheckOutcome ductility = CheckOutcome::NotApplicable;    // NSR-98: netRatio <= rhoLimit
    CheckOutcome strainLimit = CheckOutcome::NotApplicable;  // NSR-10: tension strain >= 0.004
    bool passes = false;                                     // every applicable check passes
};

// None for inputs no section can have: b, h, f'c or Fy not positive, Mu negative, no tension
// steel, a layer with negative area or outside the height, or more steel than concrete.
std::optional<CapacityResult> checkCapacity(const CapacityInput& input);

// The layers of a placed face, for the capacity check.
std::vector<SteelLayer> steelLayers(const Placement& placement);

// Strength reduction factor for the tension strain at the deepest layer.
double flexuralPhi(DesignCode code, double tensionStrain);

// The lines the window, the printed report and the command-line tool show for a result:
// The verdict of a check: "Cumple" or "No cumple".
std::string_view verdictText(bool passes);

// "Norma : NSR-98", "c : 14.08 cm", ..., "Cumple" or "No cumple".
std::vector<std::string> capacityLines(const CapacityResult& result, DesignCode code,
                                       char decimalSeparator);

}  // namespace engine
