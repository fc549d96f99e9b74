#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/beam/rules.h"
#include "engine/beam/search.h"
#include "engine/beam/tolerance.h"

namespace engine::beam {

// Top bars lap in the middle third of a span, bottom bars near the supports but outside 2h of
// the faces; in DES never within 2h of a face.
std::optional<std::vector<Lap>> planLaps(const Beam& beam, const Bar& bar, bool topFace) {
    const double lap = roundUpTo5cm(lapLength(beam.ld(bar, topFace)));
    const double tails = hookCutAllowance(bar) / 100;
    const double stock = beam.in.stockLength;
    const double twoH = lapClearance(beam.in.h);
    const bool des = beam.in.seismicClass == SeismicClass::Des;
    const double hookEndX = beam.hookEndX;
    auto floorTo5cm = [](double m) { return std::floor(m / gridStep + onGrid) * gridStep; };
    // A piece as cut never exceeds the stock once its straight part is rounded up.
    auto lastFits = [&](double start, double startTail) {
        if (startTail > 0) return roundUpTo5cm(hookEndX - start + 2 * tails) <= stock + tiny;
        return roundUpTo5cm(hookEndX - start) + tails <= stock + tiny;
    };
    // Zones in each span, 5 cm kept at both ends for the rounding of the pieces. First where
    // the rules prefer (top: the middle third; bottom: clear of 2h from the faces, as near a
    // support as the stock allows); when no plan fits there, anywhere in the spans clear of
    // 2h from the faces (top) or, outside DES, anywhere in the spans (bottom).
    for (int tier = 0; tier < 2; ++tier) {
        std::vector<std::pair<double, double>> zones;
        for (int i = 0; i < beam.spans; ++i) {
            const double a = beam.xL[static_cast<std::size_t>(i)];
            const double b = beam.xR[static_cast<std::size_t>(i)];
            double margin = 0;
            if (topFace) {
                margin = tier == 0 ? std::max((b - a) / 3, des ? twoH : 0.0) : twoH;
            } else {
                margin = tier == 0 || des ? twoH : 0.0;
            }
            const double lo = a + margin + gridStep, hi = b - margin - gridStep;
            if (hi - lo >= lap - tiny) zones.push_back({lo, hi});
        }
        std::vector<Lap> laps;
        double start = beam.hookStartX;
        double startTail = tails;
        bool planned = true;
        while (!lastFits(start, startTail)) {
            const double reach = start + floorTo5cm(stock - startTail) - lap;
            double best = -std::numeric_limits<double>::infinity();
            for (const auto& [lo, hi] : zones) {
                double p = std::min(hi - lap, reach);
                if (!topFace && tier == 0 && hi - lap > reach && lo <= reach) p = lo;
                p = floorTo5cm(p);
                // The next lap starts past the end of the one before: never three bars at a point.
                const double after = laps.empty() ? start : start + lap + gridStep;
                if (p >= lo - tiny && p > after + coarse) best = std::max(best, p);
            }
            if (best == -std::numeric_limits<double>::infinity()) {
                planned = false;
                break;
            }
            laps.push_back({best, best + lap});
            start = best;
            startTail = 0;
        }
        if (planned) return laps;
    }
    return std::nullopt;
}

}  // namespace engine::beam
