#include "engine/layout/candidates.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace engine {

namespace {

// Sizes offered as candidates.
constexpr int smallestCandidateBar = 4;
constexpr int largestCandidateBar = 11;

// A layer of `large` bars of one size at the corners and `small` bars of another between.
struct LayerShape {
    const Bar* largeBar = nullptr;
    int large = 0;
    const Bar* smallBar = nullptr;
    int small = 0;
};

double shapeWidth(const LayoutSettings& settings, const LayerShape& shape) {
    double sum = 0;
    double largest = 0;
    if (shape.large > 0) {
        sum += shape.large * shape.largeBar->diameterCm();
        largest = shape.largeBar->diameterCm();
    }
    if (shape.small > 0) {
        sum += shape.small * shape.smallBar->diameterCm();
        largest = std::max(largest, shape.smallBar->diameterCm());
    }
    return occupiedWidth(settings, shape.large + shape.small, sum, largest);
}

bool shapeFits(const LayoutSettings& settings, const LayerShape& shape, double available) {
    return shapeWidth(settings, shape) <= available + fitTolerance;
}

Layer shapeLayer(const LayerShape& shape) {
    Layer layer;
    if (shape.large > 0) layer.push_back({shape.large, shape.largeBar});
    if (shape.small > 0) layer.push_back({shape.small, shape.smallBar});
    return layer;
}

// One kind of candidate: bars of one size (small == nullptr), or two neighbouring sizes with
// two of the larger at the corners.
struct Kind {
    const Bar* large = nullptr;
    const Bar* small = nullptr;
};

// Fewest bars of the kind reaching the area (at least two; a mix at least one small bar);
// 0 when the kind is not worth offering or cannot reach it sensibly.
int fewestBars(const Kind& kind, double required) {
    const double slack = 1e-9;
    if (kind.small == nullptr) {
        const double n = std::ceil(required / kind.large->supplyArea - slack);
        if (!(n <= maxBarsPerFace)) return 0;
        return std::max(2, static_cast<int>(n));
    }
    const double corners = 2 * kind.large->supplyArea;
    // When the two corner bars reach the area alone, the one-size candidate already says so.
    if (corners >= required - slack) return 0;
    const double n = std::ceil((required - corners) / kind.small->supplyArea - slack);
    if (!(n <= maxBarsPerFace)) return 0;
    return 2 + std::max(1, static_cast<int>(n));
}

// The layers of `count` bars of a kind with `lowest` bars in the lowest layer.
std::vector<LayerShape> kindShapes(const Kind& kind, int count, int lowest) {
    if (kind.small == nullptr) {
        std::vector<LayerShape> shapes{{kind.large, lowest, nullptr, 0}};
        if (count > lowest) shapes.push_back({kind.large, count - lowest, nullptr, 0});
        return shapes;
    }
    std::vector<LayerShape> shapes{{kind.large, 2, kind.small, lowest - 2}};
    if (count > lowest) shapes.push_back({nullptr, 0, kind.small, count - lowest});
    return shapes;
}

// Splits `count` bars into layers that fit: all in one, else (when allowed) as many as fit in
// the lowest layer and at least two above. Empty when they do not fit.
std::vector<LayerShape> fittingShapes(const Kind& kind, int count, int maxLayers,
                                      const LayoutSettings& settings, double available) {
    auto fits = [&](const std::vector<LayerShape>& shapes) {
        for (const LayerShape& shape : shapes) {
            if (!shapeFits(settings, shape, available)) return false;
        }
        return true;
    };
    std::vector<LayerShape> one = kindShapes(kind, count, count);
    if (fits(one)) return one;
    if (maxLayers < 2 || count < 4) return {};
    // Largest lowest layer that fits, leaving two bars above; a mix keeps its corners below.
    const int least = 2;
    int lowest = count - 2;
    while (lowest >= least && !shapeFits(settings, kindShapes(kind, count, lowest)[0], available))
        --lowest;
    if (lowest < least) return {};
    std::vector<LayerShape> two = kindShapes(kind, count, lowest);
    if (fits(two)) return two;
    return {};
}

// Width b needed by the fewest-bar arrangement of a kind, splitting evenly when two layers are
// allowed; the narrowest such arrangement is the limit named when nothing fits.
double kindWidth(const Kind& kind, int count, int maxLayers, const LayoutSettings& settings,
                 std::vector<LayerShape>& shapes) {
    const double edges = 2 * barSeat(settings);
    shapes = kindShapes(kind, count, count);
    double best = shapeWidth(settings, shapes[0]) + edges;
    if (maxLayers >= 2 && count >= 4) {
        std::vector<LayerShape> two = kindShapes(kind, count, (count + 1) / 2);
        const double width =
            std::max(shapeWidth(settings, two[0]), shapeWidth(settings, two[1])) + edges;
        if (width < best) {
            best = width;
            shapes = std::move(two);
        }
    }
    return best;
}

Arrangement shapesArrangement(const std::vector<LayerShape>& shapes) {
    Arrangement arrangement;
    for (const LayerShape& shape : shapes) arrangement.layers.push_back(shapeLayer(shape));
    return arrangement;
}

std::vector<Kind> candidateKinds() {
    std::vector<Kind> kinds;
    const Bar* previous = nullptr;
    for (const Bar& bar : bars()) {
        if (bar.designation < smallestCandidateBar || bar.designation > largestCandidateBar) {
            continue;
        }
        kinds.push_back({&bar, nullptr});
        if (previous != nullptr) kinds.push_back({&bar, previous});
        previous = &bar;
    }
    return kinds;
}

}  // namespace

CandidateSearch findCandidates(double requiredArea, Face face, const LayoutSettings& settings,
                               double b, double h) {
    CandidateSearch search;
    if (!(requiredArea > 0) || !std::isfinite(requiredArea)) return search;
    const int maxLayers = face == Face::Tension ? settings.maxTensionLayers : 1;
    const double available = availableWidth(settings, b);
    static const std::vector<Kind> kinds = candidateKinds();

    std::vector<LayerShape> narrowestShapes;
    for (const Kind& kind : kinds) {
        const int count = fewestBars(kind, requiredArea);
        if (count == 0) continue;
        std::vector<LayerShape> shapes;
        const double width = kindWidth(kind, count, maxLayers, settings, shapes);
        if (search.narrowestWidth == 0 || width < search.narrowestWidth) {
            search.narrowestWidth = width;
            narrowestShapes = std::move(shapes);
        }
        const std::vector<LayerShape> fitting =
            fittingShapes(kind, count, maxLayers, settings, available);
        if (fitting.empty()) continue;
        Candidate candidate;
        candidate.arrangement = shapesArrangement(fitting);
        candidate.area = arrangementArea(candidate.arrangement);
        candidate.excess = candidate.area / requiredArea - 1;
        candidate.bars = count;
        candidate.layers = static_cast<int>(fitting.size());
        search.candidates.push_back(std::move(candidate));
    }
    search.narrowest = shapesArrangement(narrowestShapes);

    constexpr double acceptedExcess = 0.25 + 1e-12;
    auto better = [&](const Candidate& x, const Candidate& y) {
        const bool xNear = x.excess <= acceptedExcess;
        const bool yNear = y.excess <= acceptedExcess;
        if (xNear != yNear) return xNear;
        if (xNear) {
            if (x.layers != y.layers) return x.layers < y.layers;
            if (x.bars != y.bars) return x.bars < y.bars;
            return x.excess < y.excess;
        }
        if (x.excess != y.excess) return x.excess < y.excess;
        if (x.layers != y.layers) return x.layers < y.layers;
        return x.bars < y.bars;
    };
    std::stable_sort(search.candidates.begin(), search.candidates.end(), better);
    if (search.candidates.size() > maxCandidates) search.candidates.resize(maxCandidates);

    for (Candidate& candidate : search.candidates) {
        candidate.placement = placeBars(candidate.arrangement, face, settings, b, h);
        candidate.clearSpacing = std::numeric_limits<double>::infinity();
        for (const PlacedLayer& layer : candidate.placement.layers) {
            candidate.clearSpacing = std::min(candidate.clearSpacing, layer.clearSpacing);
        }
    }
    return search;
}

}  // namespace engine
