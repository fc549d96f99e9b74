#include "engine/layout/placement.h"

#include <algorithm>

namespace engine {

namespace {

// Bars of a layer in their places from left to right: the largest at the left corner, the
// second largest at the right corner, the others between them in the order written.
std::vector<const Bar*> barsLeftToRight(const Layer& layer) {
    std::vector<const Bar*> bars;
    for (const BarGroup& group : layer) bars.insert(bars.end(), group.count, group.bar);
    if (bars.size() < 2) return bars;
    auto larger = [](const Bar* a, const Bar* b) { return a->diameterMm > b->diameterMm; };
    std::stable_sort(bars.begin(), bars.end(), larger);
    const Bar* second = bars[1];
    bars.erase(bars.begin() + 1);
    bars.push_back(second);
    return bars;
}

double stirrupDiameter(const LayoutSettings& settings) {
    const Bar* stirrup = findBar(settings.stirrupDesignation);
    return stirrup != nullptr ? stirrup->diameterCm() : 0;
}

}  // namespace

double barSeat(const LayoutSettings& settings) {
    return settings.clearCover + stirrupDiameter(settings);
}

double availableWidth(const LayoutSettings& settings, double b) {
    return b - 2 * barSeat(settings);
}

double layerWidth(const LayoutSettings& settings, const Layer& layer) {
    double sum = 0;
    double largest = 0;
    for (const BarGroup& group : layer) {
        sum += group.count * group.bar->diameterCm();
        largest = std::max(largest, group.bar->diameterCm());
    }
    return occupiedWidth(settings, barCount(layer), sum, largest);
}

Placement placeBars(const Arrangement& arrangement, Face face, const LayoutSettings& settings,
                    double b, double h) {
    Placement placement;
    const double seat = barSeat(settings);
    const double available = availableWidth(settings, b);
    double layerBase = seat;  // from the face to the underside of the current layer
    double moment = 0;
    placement.fits = !arrangement.layers.empty();
    for (std::size_t index = 0; index < arrangement.layers.size(); ++index) {
        const Layer& layer = arrangement.layers[index];
        const std::vector<const Bar*> row = barsLeftToRight(layer);
        PlacedLayer placed;
        double sumDiameters = 0;
        double layerMoment = 0;
        for (const Bar* bar : row) {
            sumDiameters += bar->diameterCm();
            placed.largestDiameter = std::max(placed.largestDiameter, bar->diameterCm());
        }
        placed.requiredSpacing = requiredClearSpacing(settings, placed.largestDiameter);
        placed.width = layerWidth(settings, layer);
        placed.fits = !row.empty() && placed.width <= available + fitTolerance;
        placed.clearSpacing =
            row.size() > 1 ? (available - sumDiameters) / static_cast<double>(row.size() - 1) : 0;
        double left = seat;
        for (const Bar* bar : row) {
            const double radius = bar->diameterCm() / 2;
            const double fromFace = layerBase + radius;
            PlacedBar out;
            out.bar = bar;
            out.layer = static_cast<int>(index);
            out.x = row.size() == 1 ? b / 2 : left + radius;
            out.depth = face == Face::Tension ? h - fromFace : fromFace;
            left += bar->diameterCm() + placed.clearSpacing;
            placed.area += bar->supplyArea;
            layerMoment += bar->supplyArea * out.depth;
            placement.bars.push_back(out);
        }
        placed.depth = placed.area > 0 ? layerMoment / placed.area : 0;
        placement.area += placed.area;
        moment += layerMoment;
        placement.widthNeeded = std::max(placement.widthNeeded, placed.width + 2 * seat);
        placement.fits = placement.fits && placed.fits;
        placement.layers.push_back(placed);
        layerBase = nextLayerBase(layerBase, placed.largestDiameter);
    }
    placement.centroid = placement.area > 0 ? moment / placement.area : 0;
    return placement;
}

}  // namespace engine
