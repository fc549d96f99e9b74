#include "engine/capacity.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/nsr10.h"
#include "engine/numbers.h"

namespace engine {

namespace {

// Everything the force sum needs, fixed for one section.
struct Section {
    double blockStress = 0;  // 0.85 f'c
    double b = 0;
    double h = 0;
    double beta1 = 0;
    double fy = 0;
    double es = 0;  // kg/cm2
    std::span<const SteelLayer> tension;
    std::span<const SteelLayer> compression;
};

// Stress in bars at `depth` for neutral axis `c`, compression positive, limited to +-Fy.
double steelStress(const Section& s, double c, double depth) {
    const double stress = s.es * ultimateConcreteStrain * (c - depth) / c;
    return std::clamp(stress, -s.fy, s.fy);
}

// Fraction of a layer's bars inside a block of depth a: the block reaches them gradually over
// their diameter, so the force sum stays continuous.
double displacedFraction(const SteelLayer& layer, double a) {
    if (layer.barDiameter <= 0) return a > layer.depth ? 1 : 0;
    const double top = layer.depth - layer.barDiameter / 2;
    return std::clamp((a - top) / layer.barDiameter, 0.0, 1.0);
}

double displacedDepth(const SteelLayer& layer, double a) {
    if (layer.barDiameter <= 0) return layer.depth;
    const double top = layer.depth - layer.barDiameter / 2;
    return (top + std::min(a, layer.depth + layer.barDiameter / 2)) / 2;
}

double blockDepth(const Section& s, double c) {
    return std::min(s.beta1 * c, s.h);
}

// Net force of one layer: the bars' stress less the block stress they displace.
double layerForce(const Section& s, const SteelLayer& layer, double c, double a) {
    return layer.area *
           (steelStress(s, c, layer.depth) - s.blockStress * displacedFraction(layer, a));
}

// Sum of the horizontal forces for neutral axis c, compression positive. It grows with c:
// the concrete gains 0.85 f'c b per unit of a while bars that fit in the width displace less.
double netForce(const Section& s, double c) {
    const double a = blockDepth(s, c);
    double force = s.blockStress * s.b * a;
    for (const SteelLayer& layer : s.tension) force += layerForce(s, layer, c, a);
    for (const SteelLayer& layer : s.compression) force += layerForce(s, layer, c, a);
    return force;
}

// Moment of the forces about the compression face, taken so that tension deeper than the
// compression gives a positive couple; kg-cm.
double layerMoment(const Section& s, const SteelLayer& layer, double c, double a) {
    const double steel = layer.area * steelStress(s, c, layer.depth) * layer.depth;
    const double displaced =
        layer.area * s.blockStress * displacedFraction(layer, a) * displacedDepth(layer, a);
    return displaced - steel;
}

// Neutral axis depth where the forces balance. netForce is continuous and grows from -Fy
// times all the steel (c -> 0) to a positive value once the block covers enough of the
// section, so a bracket always exists; the Illinois variant of false position keeps it and
// converges quickly over the piecewise-smooth sum.
double solveNeutralAxis(const Section& s, double totalSteelForce, bool& solved) {
    double lo = 0;
    double fLo = -totalSteelForce;
    double hi = s.h / s.beta1;
    double fHi = netForce(s, hi);
    for (int i = 0; i < 200 && fHi <= 0; ++i) {
        lo = hi;
        fLo = fHi;
        hi *= 2;
        fHi = netForce(s, hi);
    }
    solved = fHi > 0;
    if (!solved) return hi;
    int side = 0;
    double c = hi;
    for (int i = 0; i < 400; ++i) {
        c = (lo * fHi - hi * fLo) / (fHi - fLo);
        if (!(c > lo && c < hi)) c = lo + (hi - lo) / 2;
        const double f = netForce(s, c);
        if (f == 0) return c;
        if (f < 0) {
            lo = c;
            fLo = f;
            if (side == -1) fHi /= 2;
            side = -1;
        } else {
            hi = c;
            fHi = f;
            if (side == 1) fLo /= 2;
            side = 1;
        }
        if (hi - lo <= 4 * std::numeric_limits<double>::epsilon() * hi) break;
    }
    return std::abs(fLo) < std::abs(fHi) ? lo : hi;
}

// Balanced steel ratio. NSR-98 uses the design's block factor and 0.003 Es.
double balancedRatio(DesignCode code, double fc, double fy, double beta1) {
    if (code == DesignCode::Nsr10) {
        return 0.85 * beta1 * fc / fy * ultimateConcreteStrain /
               (ultimateConcreteStrain + fy / steelModulus(code));
    }
    return nsr98::blockFactor(fc) * fc / fy * nsr98::ultimateSteelStress /
           (nsr98::ultimateSteelStress + fy);
}

bool validLayers(std::span<const SteelLayer> layers, double h, double& area) {
    for (const SteelLayer& layer : layers) {
        if (!(layer.area >= 0) || !(layer.depth > 0) || !(layer.depth < h) ||
            !(layer.barDiameter >= 0) || !std::isfinite(layer.area + layer.barDiameter)) {
            return false;
        }
        area += layer.area;
    }
    return true;
}

CheckOutcome outcome(bool passes) {
    return passes ? CheckOutcome::Passes : CheckOutcome::Fails;
}

std::string checkWord(CheckOutcome check) {
    return check == CheckOutcome::Passes ? "cumple" : "no cumple";
}

// Mu/φMn with three decimals. A failing ratio (above 1) is rounded up at the third decimal, so
// that a section that fails never reads 1.000: 1.0004 shows 1.001.
std::string demandRatioText(const CapacityResult& r, char sep) {
    double ratio = r.demandRatio;
    if (r.strength == CheckOutcome::Fails && std::isfinite(ratio)) {
        const double thousandths = ratio * 1000;
        const double nearest = std::nearbyint(thousandths);
        // A ratio that is a whole number of thousandths but for the last bits stays as it is.
        double shown = std::abs(thousandths - nearest) <= 1e-9 * thousandths
                           ? nearest
                           : std::ceil(thousandths);
        if (shown <= 1000) shown = 1001;
        ratio = shown / 1000;
    }
    return formatFixed(ratio, 3, sep);
}

}  // namespace

double flexuralPhi(DesignCode code, double tensionStrain) {
    return code == DesignCode::Nsr98 ? 0.9 : nsr10::phiForStrain(tensionStrain);
}

std::optional<CapacityResult> checkCapacity(const CapacityInput& in) {
    const bool positive = in.b > 0 && in.h > 0 && in.fc > 0 && in.fy > 0 && in.mu >= 0;
    if (!positive || !std::isfinite(in.b * in.h * in.fc * in.fy * in.mu)) return std::nullopt;
    double as = 0;
    double asPrime = 0;
    if (!validLayers(in.tension, in.h, as) || !validLayers(in.compression, in.h, asPrime)) {
        return std::nullopt;
    }
    if (!(as > 0) || as + asPrime >= in.b * in.h) return std::nullopt;

    CapacityResult r;
    r.beta1 = beta1(in.code, in.fc);
    const Section s{.blockStress = 0.85 * in.fc,
                    .b = in.b,
                    .h = in.h,
                    .beta1 = r.beta1,
                    .fy = in.fy,
                    .es = steelModulus(in.code),
                    .tension = in.tension,
                    .compression = in.compression};
    bool solved = false;
    const double c = solveNeutralAxis(s, (as + asPrime) * in.fy, solved);
    if (!solved) return std::nullopt;
    const double a = blockDepth(s, c);
    r.c = c;
    r.a = a;

    const double yieldStrain = in.fy / s.es;
    double tensionForce = 0;
    double compressionForce = s.blockStress * s.b * a;
    double moment = -compressionForce * a / 2;
    double deepest = 0;
    double centroidMoment = 0;
    r.tensionYields = true;
    auto account = [&](const SteelLayer& layer) {
        const double force = layerForce(s, layer, c, a);
        (force < 0 ? tensionForce : compressionForce) += std::abs(force);
        moment += layerMoment(s, layer, c, a);
    };
    for (const SteelLayer& layer : in.tension) {
        account(layer);
        deepest = std::max(deepest, layer.depth);
        centroidMoment += layer.area * layer.depth;
        const double strain = ultimateConcreteStrain * (layer.depth - c) / c;
        if (layer.area > 0 && strain < yieldStrain) r.tensionYields = false;
    }
    for (const SteelLayer& layer : in.compression) account(layer);
    r.forceBalance = std::abs(compressionForce - tensionForce) / tensionForce;
    r.tensionStrain = ultimateConcreteStrain * (deepest - c) / c;

    r.hasCompressionSteel = asPrime > 0;
    if (r.hasCompressionSteel) {
        double stressArea = 0;
        for (const SteelLayer& layer : in.compression) {
            stressArea += layer.area * steelStress(s, c, layer.depth);
        }
        r.compressionStress = stressArea / asPrime;
        r.compressionYields = std::abs(r.compressionStress) >= in.fy;
    }

    r.d = centroidMoment / as;
    r.mn = moment / 1e5;
    r.phi = flexuralPhi(in.code, r.tensionStrain);
    r.phiMn = r.phi * r.mn;
    r.demandRatio = in.mu / r.phiMn;
    r.rho = as / (in.b * r.d);
    r.rhoPrime = asPrime / (in.b * r.d);
    r.rhoMin = minimumSteelRatio(in.code, in.fc, in.fy);
    r.rhoB = balancedRatio(in.code, in.fc, in.fy, r.beta1);
    r.netRatio = r.rho - r.rhoPrime * r.compressionStress / in.fy;

    r.strength = outcome(r.phiMn >= in.mu);
    r.minimumSteel = outcome(r.rho >= r.rhoMin);
    if (in.code == DesignCode::Nsr98) {
        r.rhoLimit = 0.75 * r.rhoB;
        r.ductility = outcome(r.netRatio <= r.rhoLimit);
    } else {
        r.strainLimit = outcome(r.tensionStrain >= nsr10::minimumStrain);
    }
    r.passes = r.strength == CheckOutcome::Passes && r.minimumSteel == CheckOutcome::Passes &&
               r.ductility != CheckOutcome::Fails && r.strainLimit != CheckOutcome::Fails;
    return r;
}

std::vector<SteelLayer> steelLayers(const Placement& placement) {
    std::vector<SteelLayer> layers;
    layers.reserve(placement.layers.size());
    for (const PlacedLayer& layer : placement.layers) {
        layers.push_back({layer.area, layer.depth, layer.largestDiameter});
    }
    return layers;
}

std::vector<std::string> capacityLines(const CapacityResult& r, DesignCode code, char sep) {
    auto fixed = [sep](double value, int decimals) { return formatFixed(value, decimals, sep); };
    auto yields = [](bool yes) { return std::string(yes ? "fluye" : "no fluye"); };
    std::vector<std::string> lines;
    lines.push_back("Norma : " + std::string(codeName(code)));
    lines.push_back("c : " + fixed(r.c, 2) + " cm");
    lines.push_back("a : " + fixed(r.a, 2) + " cm");
    lines.push_back("εt : " + fixed(r.tensionStrain, 5));
    lines.push_back("Acero a tensión : " + yields(r.tensionYields));
    if (r.hasCompressionSteel) {
        lines.push_back("f's : " + fixed(r.compressionStress, 0) + " kg/cm²");
        // Compression bars near the neutral axis can end in tension (f's negative): said so,
        // and yielding at -Fy is yielding.
        lines.push_back(
            "Acero a compresión : " + std::string(r.compressionStress < 0 ? "en tensión, " : "") +
            yields(r.compressionYields));
    }
    lines.push_back("φ : " + fixed(r.phi, 3));
    lines.push_back("Mn : " + fixed(r.mn, 2) + " Tn-m");
    lines.push_back("φMn : " + fixed(r.phiMn, 2) + " Tn-m");
    lines.push_back("Mu/φMn : " + demandRatioText(r, sep) + " (" + checkWord(r.strength) + ")");
    lines.push_back("ρ : " + fixed(r.rho, 5));
    lines.push_back("ρmin : " + fixed(r.rhoMin, 5) + " (" + checkWord(r.minimumSteel) + ")");
    if (r.ductility != CheckOutcome::NotApplicable) {
        if (r.hasCompressionSteel) {
            lines.push_back("ρ' : " + fixed(r.rhoPrime, 5));
            lines.push_back("ρ - ρ' f's/Fy : " + fixed(r.netRatio, 5));
        }
        lines.push_back(fixed(0.75, 2) + " ρb : " + fixed(r.rhoLimit, 5) + " (" +
                        checkWord(r.ductility) + ")");
    }
    if (r.strainLimit != CheckOutcome::NotApplicable) {
        lines.push_back("εt mínimo " + fixed(nsr10::minimumStrain, 3) + " : " +
                        checkWord(r.strainLimit));
    }
    lines.emplace_back(verdictText(r.passes));
    return lines;
}

std::string_view verdictText(bool passes) {
    return passes ? "Cumple" : "No cumple";
}

}  // namespace engine
