#include "engine/beam/rules.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "engine/beam/tolerance.h"


namespace engine::beam {

namespace {

// Square root of f'c in MPa for the development expressions, never above 8.3 MPa.
double rootFcMpa(double fc) {
    return std::min(std::sqrt(fc * mpaPerKgCm2), 8.3);
}

}  // namespace

double developmentLength(double fc, double fy, int bar, bool topBar, double clearSpacing,
                         double clearCover) {
    const Bar* b = findBar(bar);
    if (b == nullptr || !(fc > 0) || !(fy > 0)) return 0;
    const double db = b->diameterCm();
    const bool favourable = clearCover >= db && clearSpacing >= db;
    double divisor = 0;
    if (bar <= 6) {
        divisor = favourable ? 2.1 : 1.4;
    } else {
        divisor = favourable ? 1.7 : 1.1;
    }
    const double psiT = topBar ? 1.3 : 1.0;
    const double ld = fy * mpaPerKgCm2 * psiT * db / (divisor * rootFcMpa(fc));
    return std::max(ld, 30.0);
}

double hookDevelopmentLength(double fc, double fy, int bar, SeismicClass seismicClass,
                             double factor) {
    const Bar* b = findBar(bar);
    if (b == nullptr || !(fc > 0) || !(fy > 0)) return 0;
    const double db = b->diameterCm();
    const double fyMpa = fy * mpaPerKgCm2;
    const double ldh = seismicClass == SeismicClass::Des ? fyMpa * db / (5.4 * rootFcMpa(fc))
                                                         : 0.24 * fyMpa * db / rootFcMpa(fc);
    return std::max({factor * ldh, 8 * db, 15.0});
}

double minimumDepthDivisor(int continuousEnds) {
    return continuousEnds <= 0 ? 16 : continuousEnds == 1 ? 18.5 : 21;
}

double lapLength(double ld) {
    return std::max(lapFactor * ld, shortestLap);
}

double lapClearance(double h) {
    return 2 * h / 100;
}

double hookTail(const Bar& bar) {
    return 12 * bar.diameterCm();
}

double bendDiameter(const Bar& bar) {
    const double db = bar.diameterCm();
    if (bar.designation <= 8) return 6 * db;
    if (bar.designation <= 11) return 8 * db;
    return 10 * db;
}

BentHook bentHook(const Bar& bar) {
    const double db = bar.diameterCm();
    BentHook hook;
    hook.bend = std::ceil(bendDiameter(bar) - tiny);
    hook.leg = std::ceil(hookTail(bar) + hook.bend / 2 + db - tiny);
    return hook;
}

double hookCutAllowance(const Bar& bar) {
    const double db = bar.diameterCm();
    const BentHook hook = bentHook(bar);
    return hook.leg - (hook.bend + 2 * db) + std::numbers::pi / 2 * (hook.bend / 2 + db / 2);
}

double cutOffExtension(double d, const Bar& bar) {
    return std::max(d, 12 * bar.diameterCm()) / 100;
}

double hookRoom(double supportWidth, double barSeat) {
    return supportWidth - barSeat;
}

bool hookFits(double ldh, double room) {
    return ldh <= room + tiny;
}

double columnWidth(const BeamInput& in, int support) {
    const auto j = static_cast<std::size_t>(support);
    const double given = j < in.columns.size() ? in.columns[j] : 0;
    return given > 0 ? given : in.supports[j];
}

HookAnchorage hookAnchorage(const BeamInput& in, double barSeat, const Bar& bar,
                            double supportWidth, double column) {
    HookAnchorage plain;
    plain.ldh = hookDevelopmentLength(in.fc, in.fy, bar.designation, in.seismicClass);
    plain.room = hookRoom(supportWidth, barSeat);
    // The beam centred on the column: the hook's side cover is the beam's own plus the column's
    // overhang on either side.
    const double sideCover = (column - in.b) / 2 + barSeat;
    if (in.seismicClass == SeismicClass::Des || bar.designation > hookFactorLargestBar ||
        sideCover < hookSideCover - tiny) {
        return plain;
    }
    HookAnchorage reduced;
    reduced.ldh = hookDevelopmentLength(in.fc, in.fy, bar.designation, in.seismicClass,
                                        hookCoverFactor);
    reduced.room = supportWidth - std::max(barSeat, hookTailCover);
    reduced.reduced = true;
    return plain.fits() && !reduced.fits() ? plain : reduced;
}

HookAnchorage hookAnchorage(const BeamInput& in, double barSeat, const Bar& bar, int support) {
    return hookAnchorage(in, barSeat, bar, in.supports[static_cast<std::size_t>(support)],
                         columnWidth(in, support));
}

HookRemedy hookRemedy(const BeamInput& in, double barSeat, const Bar& bar, int support) {
    HookRemedy remedy;
    for (int smaller = bar.designation - 1; smaller >= 3 && remedy.bar == 0; --smaller) {
        const Bar* b = findBar(smaller);
        if (b != nullptr && hookAnchorage(in, barSeat, *b, support).fits()) remedy.bar = smaller;
    }
    const auto j = static_cast<std::size_t>(support);
    const bool square = !(j < in.columns.size() && in.columns[j] > 0);
    const double column = columnWidth(in, support);
    for (double width = std::floor(in.supports[j]) + 1; width <= 1000; width += 1) {
        if (hookAnchorage(in, barSeat, bar, width, square ? width : column).fits()) {
            remedy.supportWidth = width;
            break;
        }
    }
    return remedy;
}

bool passesThroughSupport(double barDiameter, double supportWidth) {
    return supportBarDiameters * barDiameter <= supportWidth + tiny;
}

MomentShares momentShares(SeismicClass seismicClass) {
    if (seismicClass == SeismicClass::Des) return {2, 4};
    return {3, 5};
}

double beamDevelopment(const BeamInput& in, double barSeat, const Bar& bar, bool topFace) {
    const bool over30 = in.h - barSeat - bar.diameterCm() > 30;
    return developmentLength(in.fc, in.fy, bar.designation, topFace && over30,
                             requiredClearSpacing(in.settings, bar.diameterCm()), barSeat) /
           100;
}

bool cutOffAreaHolds(int bar, double goingOn, double need) {
    return bar <= 11 && goingOn >= 2 * need - tiny;
}

double extraStirrupsReach(double d) {
    return 0.75 * d / 100;
}

double extraStirrupSpacing(double av, double fyt, double d, double bw, double vs, double beta) {
    const double forArea = av * fyt / (std::max(vs, 0.0) * 1000 / d + 4.2 * bw);
    return beta > 0 ? std::min(forArea, d / (8 * beta)) : forArea;
}

double shearPhi(DesignCode code) {
    return code == DesignCode::Nsr10 ? 0.75 : 0.85;
}

double stirrupFy(double fy) {
    return std::min(fy, largestStirrupFy);
}

double concreteShear(double fc, double bw, double d) {
    return 0.53 * std::sqrt(fc) * bw * d / 1000;
}

double stirrupShear(double av, double fyt, double d, double s) {
    return av * fyt * d / s / 1000;
}

double sectionShearLimit(double fc, double bw, double d) {
    return 2.1 * std::sqrt(fc) * bw * d / 1000;
}

double halvedSpacingShear(double fc, double bw, double d) {
    return 1.1 * std::sqrt(fc) * bw * d / 1000;
}

double shearSpacingLimit(double vs, double fc, double bw, double d) {
    if (vs > halvedSpacingShear(fc, bw, d) * (1 + tiny)) return std::min(d / 4, 30.0);
    return std::min(d / 2, 60.0);
}

double minimumStirrupArea(DesignCode code, double fc, double bw, double s, double fyt) {
    const double factor = code == DesignCode::Nsr10 ? std::max(0.2 * std::sqrt(fc), 3.5) : 3.5;
    return factor * bw * s / fyt;
}

double strengthSpacing(double av, double fyt, double d, double vs) {
    if (!(vs > 0)) return std::numeric_limits<double>::infinity();
    return av * fyt * d / (vs * 1000);
}

double confinementLength(double h) {
    return 2 * h / 100;
}

double hoopZoneSpacing(DesignCode code, SeismicClass seismicClass, double d, double dbLongitudinal,
                       double dbHoop) {
    if (seismicClass == SeismicClass::Dmi) return 0;
    if (seismicClass == SeismicClass::Des && code == DesignCode::Nsr10)
        return std::min({d / 4, 6 * dbLongitudinal, 15.0});
    return std::min({d / 4, 8 * dbLongitudinal, 24 * dbHoop, 30.0});
}

double lapHoopSpacing(double d) {
    return std::min(d / 4, 10.0);
}

double wholeSpacing(double s) {
    return std::floor(s + onGrid);
}

CrosstieNeed crosstiesFor(int count, double sumDiameters, double width) {
    CrosstieNeed need;
    if (count <= 2) return need;
    const double mean = sumDiameters / count;
    const double gap = (width - sumDiameters) / (count - 1);
    // A bar k places from a held one lies k gaps and k - 1 bars clear of it.
    const int reach =
        static_cast<int>(std::floor((unsupportedBarClear + mean) / (gap + mean) + tiny));
    const int longest = 2 * reach + 1;  // places between two held bars
    need.crossties = (count - 1 + longest - 1) / longest - 1;
    const int run = (count - 1 + need.crossties) / (need.crossties + 1);
    const int worst = run / 2;
    need.worstClear = worst > 0 ? worst * gap + (worst - 1) * mean : 0;
    return need;
}

double seismicHookExtension(const Bar& bar) {
    return std::max(6 * bar.diameterCm(), 7.5);
}

double stirrupBendDiameter(const Bar& bar) {
    return 4 * bar.diameterCm();
}

double hoopCutLength(const Bar& bar, double width, double height) {
    const double db = bar.diameterCm();
    const double radius = stirrupBendDiameter(bar) / 2 + db / 2;  // of the centreline
    const double sides = 2 * (width - db - 2 * radius) + 2 * (height - db - 2 * radius);
    const double arcs = 3 * (std::numbers::pi / 2) * radius + 2 * (3 * std::numbers::pi / 4) * radius;
    return std::ceil(sides + arcs + 2 * seismicHookExtension(bar) - onGrid);
}

double crosstieCutLength(const Bar& bar, double height) {
    const double db = bar.diameterCm();
    const double radius = stirrupBendDiameter(bar) / 2 + db / 2;
    const double leg = height - db - 2 * radius;
    const double arcs = (3 * std::numbers::pi / 4 + std::numbers::pi / 2) * radius;
    return std::ceil(leg + arcs + seismicHookExtension(bar) + 6 * db - onGrid);
}

}  // namespace engine::beam
