#include "engine/layout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "engine/numbers.h"

namespace engine {

namespace {

// Widths are compared with this allowance so that a layer exactly as wide as the space fits.
constexpr double fitTolerance = 1e-9;

// Sizes offered as candidates.
constexpr int smallestCandidateBar = 4;
constexpr int largestCandidateBar = 11;

// More bars than this on one face is not an arrangement anyone would build.
constexpr int maxBarsPerFace = 1000;

constexpr std::string_view example = "por ejemplo 2N6+1N5";

// Reads leading digits; false when there are none or the number is absurdly large.
bool readWholeNumber(std::string_view& text, int& value, bool& tooLarge) {
    std::size_t length = 0;
    while (length < text.size() && text[length] >= '0' && text[length] <= '9') ++length;
    if (length == 0) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + length, value);
    tooLarge = error != std::errc{} || value > maxBarsPerFace;
    text.remove_prefix(length);
    return true;
}

// The bar mark: 'N' or 'n' with an optional degree or ordinal sign, or '#'.
bool readBarMark(std::string_view& text) {
    if (text.empty()) return false;
    if (text.front() == '#') {
        text.remove_prefix(1);
        return true;
    }
    if (text.front() != 'N' && text.front() != 'n') return false;
    text.remove_prefix(1);
    if (text.starts_with("\u00B0") || text.starts_with("\u00BA")) text.remove_prefix(2);
    return true;
}

std::string quoted(std::string_view text) {
    return "«" + std::string(text) + "»";
}

std::string groupError(std::string_view group) {
    return "No se entiende " + quoted(group) +
           ": escriba cada grupo como cantidad, N y número de barra, " + std::string(example) + ".";
}

// Reads one "<count> N <designation>" group; returns the error text or an empty one.
std::string readGroup(std::string_view group, BarGroup& out) {
    std::string_view rest = group;
    int count = 0;
    int designation = 0;
    bool tooLarge = false;
    if (!readWholeNumber(rest, count, tooLarge)) return groupError(group);
    rest = trimBlanks(rest);
    if (!readBarMark(rest)) return groupError(group);
    rest = trimBlanks(rest);
    const std::string_view digits = rest.substr(0, rest.find_first_not_of("0123456789"));
    bool designationTooLarge = false;
    if (!readWholeNumber(rest, designation, designationTooLarge)) return groupError(group);
    if (!trimBlanks(rest).empty()) return groupError(group);
    if (tooLarge) return "Demasiadas barras en " + quoted(group) + ".";
    if (count == 0) return "La cantidad de barras debe ser al menos 1: " + quoted(group) + ".";
    const Bar* bar = designationTooLarge ? nullptr : findBar(designation);
    if (bar == nullptr) return "No hay barra N° " + std::string(digits) + " en el catálogo.";
    out = {count, bar};
    return {};
}

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

// Distance from the face to the outside of the bars of the lowest layer.
double barSeat(const LayoutSettings& settings) {
    return settings.clearCover + stirrupDiameter(settings);
}

// A layer of `large` bars of one size at the corners and `small` bars of another between.
struct LayerShape {
    const Bar* largeBar = nullptr;
    int large = 0;
    const Bar* smallBar = nullptr;
    int small = 0;
};

// The width `count` bars whose diameters add up to `sumDiameters` occupy at the clear spacing
// the largest of them needs.
double occupiedWidth(const LayoutSettings& settings, int count, double sumDiameters,
                     double largest) {
    return count == 0 ? 0 : sumDiameters + (count - 1) * requiredClearSpacing(settings, largest);
}

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

std::string cm(double value, char sep) {
    return formatFixed(value, 2, sep) + " cm";
}

}  // namespace

ParsedLayer parseLayer(std::string_view text) {
    ParsedLayer parsed;
    if (trimBlanks(text).empty()) {
        parsed.error = "Escriba las barras de la capa, " + std::string(example) + ".";
        return parsed;
    }
    while (true) {
        const std::size_t plus = text.find('+');
        const std::string_view group = trimBlanks(text.substr(0, plus));
        if (group.empty()) {
            parsed.error =
                "Falta un grupo de barras junto a un signo +, " + std::string(example) + ".";
            parsed.layer.clear();
            return parsed;
        }
        BarGroup read;
        parsed.error = readGroup(group, read);
        if (!parsed.ok()) {
            parsed.layer.clear();
            return parsed;
        }
        parsed.layer.push_back(read);
        if (plus == std::string_view::npos) break;
        text.remove_prefix(plus + 1);
    }
    return parsed;
}

std::string formatLayer(const Layer& layer) {
    std::string text;
    for (const BarGroup& group : layer) {
        if (!text.empty()) text += " + ";
        text += std::to_string(group.count) + " N° " + std::to_string(group.bar->designation);
    }
    return text;
}

std::string formatArrangement(const Arrangement& arrangement) {
    std::string text;
    for (const Layer& layer : arrangement.layers) {
        if (!text.empty()) text += " / ";
        text += formatLayer(layer);
    }
    return text;
}

int barCount(const Layer& layer) {
    int count = 0;
    for (const BarGroup& group : layer) count += group.count;
    return count;
}

double layerArea(const Layer& layer) {
    double area = 0;
    for (const BarGroup& group : layer) area += group.count * group.bar->supplyArea;
    return area;
}

double arrangementArea(const Arrangement& arrangement) {
    double area = 0;
    for (const Layer& layer : arrangement.layers) area += layerArea(layer);
    return area;
}

double availableWidth(const LayoutSettings& settings, double b) {
    return b - 2 * barSeat(settings);
}

double requiredClearSpacing(const LayoutSettings& settings, double largestBarDiameter) {
    return std::max({largestBarDiameter, minimumClearSpacing, 4.0 / 3.0 * settings.maxAggregate});
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
        layerBase += placed.largestDiameter + clearBetweenLayers;
    }
    placement.centroid = placement.area > 0 ? moment / placement.area : 0;
    return placement;
}

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

std::string noFitText(const CandidateSearch& search, char sep) {
    if (search.narrowest.layers.empty()) {
        return "Ninguna disposición de barras alcanza el área requerida.";
    }
    return "Ninguna disposición cabe en el ancho: la más angosta, " +
           formatArrangement(search.narrowest) +
           ", necesita b = " + cm(search.narrowestWidth, sep) + ".";
}

std::vector<std::string> placementLines(const Arrangement& arrangement, const Placement& placement,
                                        Face face, double designDepth, char sep) {
    const bool tension = face == Face::Tension;
    std::vector<std::string> lines;
    lines.push_back((tension ? "Barras a tensión : " : "Barras a compresión : ") +
                    formatArrangement(arrangement));
    lines.push_back("Área suministrada : " + formatFixed(placement.area, 2, sep) + " cm2");
    for (std::size_t i = 0; i < placement.layers.size(); ++i) {
        const PlacedLayer& layer = placement.layers[i];
        std::string line = "Capa " + std::to_string(i + 1) + " : ";
        if (barCount(arrangement.layers[i]) == 1) {
            line += "una barra al centro";
        } else {
            line += "espaciamiento libre " + cm(layer.clearSpacing, sep) + " (mínimo " +
                    cm(layer.requiredSpacing, sep) + ")";
        }
        if (!layer.fits) line += ", no cabe";
        lines.push_back(std::move(line));
    }
    lines.push_back("Ancho necesario : " + cm(placement.widthNeeded, sep));
    if (!placement.fits) lines.emplace_back("Las barras no caben en el ancho de la sección");
    const std::string depthLabel = tension ? "d" : "d''";
    lines.push_back(depthLabel + " real : " + cm(placement.centroid, sep) + " (diseño " +
                    cm(designDepth, sep) + ")");
    if (tension && realDepthShort(placement.centroid, designDepth)) {
        lines.emplace_back("El d real es menor que el del diseño");
    } else if (!tension && realDepthShort(designDepth, placement.centroid)) {
        lines.emplace_back("El d'' real es mayor que el del diseño");
    }
    return lines;
}

bool realDepthShort(double realDepth, double designDepth) {
    return realDepth < designDepth - 0.005;
}

double proposedCover(double cover) {
    return std::ceil(cover * 100 - 1e-6) / 100;
}

}  // namespace engine
