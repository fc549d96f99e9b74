#include "engine/beam/cutoffs.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "engine/beam/rules.h"
#include "engine/beam/tolerance.h"

namespace engine::beam {

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// The stations where extras needed from station `firstDeficit` to `lastDeficit`, and reaching
// from a to b, may stop: outward from a and b to the first station where `clear` holds (at a
// hooked end, that end within lo..hi). The left one is below lo, or the right one above hi, when
// none lies within them.
template <typename Clear>
std::pair<int, int> stops(const Beam& beam, const Zone& zone, int lo, int hi, int firstDeficit,
                          int lastDeficit, double a, double b, Clear clear) {
    const auto& points = beam.points;
    int kb = lastDeficit;
    while (kb <= hi && points[static_cast<std::size_t>(kb)].x < b - tiny) ++kb;
    while (kb <= hi && !zone.hookRight && !clear(kb)) ++kb;
    int ka = firstDeficit;
    while (ka >= lo && points[static_cast<std::size_t>(ka)].x > a + tiny) --ka;
    while (ka >= lo && !zone.hookLeft && !clear(ka)) --ka;
    if (zone.hookRight) kb = std::min(kb, hi);
    if (zone.hookLeft) ka = std::max(ka, lo);
    return {ka, kb};
}

}  // namespace

std::optional<int> pastInflections(const Beam& beam, int region, const Bar& bar, double d,
                                   double& a, double& b) {
    const auto& points = beam.points;
    for (int side = 0; side < 2; ++side) {
        const int inSpan = side == 0 ? region - 1 : region;
        if (inSpan < 0 || inSpan >= beam.spans) continue;
        const int faceId = side == 0 ? 2 * inSpan + 1 : 2 * inSpan;
        int k = beam.faceIndex[static_cast<std::size_t>(faceId)];
        if (points[static_cast<std::size_t>(k)].muNeg <= 0) continue;
        const double ln = beam.in.spans[static_cast<std::size_t>(inSpan)].length;
        const double reach = std::max(cutOffExtension(d, bar), ln / 16);
        const int step = side == 0 ? -1 : 1;
        double inflection = infinity;
        for (; k >= 0 && k < static_cast<int>(points.size()) &&
               points[static_cast<std::size_t>(k)].span == inSpan;
             k += step) {
            if (points[static_cast<std::size_t>(k)].muNeg <= 0) {
                inflection = points[static_cast<std::size_t>(k)].x;
                break;
            }
        }
        if (inflection == infinity) return inSpan;
        if (side == 0)
            a = std::min(a, inflection - reach);
        else
            b = std::max(b, inflection + reach);
    }
    return std::nullopt;
}

bool stopWhereTwice(const Beam& beam, const std::vector<Need>& needs, const Zone& zone,
                    int firstDeficit, int lastDeficit, const std::vector<double>& contArea,
                    double& a, double& b) {
    const auto& points = beam.points;
    auto twice = [&](int k) {
        return contArea[static_cast<std::size_t>(k)] >=
               2 * needs[static_cast<std::size_t>(k)].strBot - tiny;
    };
    // Bars through a support may stop in either span beside it.
    int lo = zone.first, hi = zone.last;
    if (zone.atSupport) {
        lo = zone.support > 0 ? static_cast<int>(beam.spanFirst(zone.support - 1)) : 0;
        hi = zone.support < beam.spans ? static_cast<int>(beam.spanLast(zone.support))
                                        : static_cast<int>(points.size()) - 1;
    }
    const auto [ka, kb] = stops(beam, zone, lo, hi, firstDeficit, lastDeficit, a, b, twice);
    if (kb > hi || ka < lo) return false;
    a = points[static_cast<std::size_t>(ka)].x;
    b = points[static_cast<std::size_t>(kb)].x;
    return true;
}

bool topStopWhereTwice(const Beam& beam, const std::vector<Need>& needs, const Zone& zone,
                       int firstDeficit, int lastDeficit, const std::vector<double>& contArea,
                       double& a, double& b) {
    const auto& points = beam.points;
    auto clear = [&](int k) {
        const auto at = static_cast<std::size_t>(k);
        return points[at].muNeg <= 0 || contArea[at] >= 2 * needs[at].strTop - tiny;
    };
    const int lo = zone.support > 0 ? static_cast<int>(beam.spanFirst(zone.support - 1)) : 0;
    const int hi = zone.support < beam.spans ? static_cast<int>(beam.spanLast(zone.support))
                                             : static_cast<int>(points.size()) - 1;
    const auto [ka, kb] = stops(beam, zone, lo, hi, firstDeficit, lastDeficit, a, b, clear);
    // Where a span beside hogs all along, the bars cross it to the next interior support, over
    // whose centre they meet that support's extras and run on with them.
    const auto centre = [&](int support) {
        const auto j = static_cast<std::size_t>(support);
        return (beam.supL[j] + beam.supR[j]) / 2;
    };
    if (kb > hi) {
        if (zone.support + 1 >= beam.spans) return false;
        b = std::max(b, centre(zone.support + 1));
    } else {
        b = std::max(b, points[static_cast<std::size_t>(kb)].x);
    }
    if (ka < lo) {
        if (zone.support - 1 <= 0) return false;
        a = std::min(a, centre(zone.support - 1));
    } else {
        a = std::min(a, points[static_cast<std::size_t>(ka)].x);
    }
    return true;
}

}  // namespace engine::beam
