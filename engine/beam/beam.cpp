#include "engine/beam/beam.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <variant>

#include "engine/capacity.h"
#include "engine/catalogue.h"
#include "engine/numbers.h"
#include "engine/run.h"

namespace engine::beam {

std::string_view className(SeismicClass seismicClass) {
    switch (seismicClass) {
        case SeismicClass::Des:
            return "DES";
        case SeismicClass::Dmo:
            return "DMO";
        case SeismicClass::Dmi:
            return "DMI";
    }
    return "DES";
}

std::optional<SeismicClass> classFromName(std::string_view name) {
    for (const SeismicClass c : {SeismicClass::Des, SeismicClass::Dmo, SeismicClass::Dmi}) {
        if (name == className(c)) return c;
    }
    return std::nullopt;
}

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

double hookDevelopmentLength(double fc, double fy, int bar, SeismicClass seismicClass) {
    const Bar* b = findBar(bar);
    if (b == nullptr || !(fc > 0) || !(fy > 0)) return 0;
    const double db = b->diameterCm();
    const double fyMpa = fy * mpaPerKgCm2;
    const double ldh = seismicClass == SeismicClass::Des ? fyMpa * db / (5.4 * rootFcMpa(fc))
                                                         : 0.24 * fyMpa * db / rootFcMpa(fc);
    return std::max({ldh, 8 * db, 15.0});
}

namespace {

constexpr double gridStep = 0.05;  // m
constexpr double tiny = 1e-9;
constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double rhoLimit = 0.025;  // largest steel ratio of a face in DES and DMO

double roundUpTo5cm(double metres) {
    return std::ceil(metres / gridStep - 1e-7) * gridStep;
}

// One point of the profile: a station every 5 cm along the beam and every support face.
struct Point {
    double x = 0;
    int span = -1;     // index of the span it lies in (faces included), -1 over a support
    int support = -1;  // index of the support it lies over, -1 inside a span
    int face = -1;     // 2 span + side when the point is a support face, else -1
    double muNeg = 0, muPos = 0;
    double baseTop = 0, baseBot = 0;  // the section design's areas for the envelope moments
    double reqTop = 0, reqBot = 0;    // with minimum steel, the ratio rules and corrections
    // The bottom need split between the extras of a span (positive moment, minimum steel and
    // the span's ratio rule; none at the faces) and those through or hooked in a support (all
    // of it at the faces and over the support, the compression steel of Mu- inside the span).
    double reqBotSpan = 0, reqBotSupport = 0;
    double posBot = 0, compBot = 0;  // the section design's As for Mu+ and A's for Mu-
    double strTop = 0, strBot = 0;    // area the moment alone needs (no minimum), for cuts
};

// A face's bars as searched: continuous bars plus extras per region.
struct Extra {
    const Bar* bar = nullptr;
    int count = 0;
    int inFirstLayer = 0;
    double start = 0, end = 0;  // straight part, m
    bool hookStart = false, hookEnd = false;
    double mass = 0;
};

struct Lap {
    double start = 0, end = 0;  // overlap of two pieces, m
};

struct FaceChoice {
    bool found = false;
    const Bar* bar = nullptr;  // continuous bars
    int count = 0;
    std::vector<Lap> laps;
    double mass = 0;
    int marks = 0;
    std::vector<Extra> extras;  // per region (count 0: none)
};

struct Envelope {
    // Typed moments, or a polyline of (x, most negative, most positive) from a station table.
    bool typed = true;
    SpanMoments moments;
    double length = 0;
    std::vector<double> xs, lows, highs;

    std::pair<double, double> at(double u) const {  // (muNeg, muPos) magnitudes
        if (typed) {
            if (length <= 0) return {0, 0};
            const double xi = std::clamp(u / length, 0.0, 1.0);
            const double left = moments.left, right = moments.right;
            const double midMin = moments.midMin ? *moments.midMin : moments.mid / 2;
            const double c = midMin + (left + right) / 2;
            const double m = -(left * (1 - xi) + right * xi) + 4 * c * xi * (1 - xi);
            return {std::max(0.0, -m), std::max(0.0, moments.mid * 4 * xi * (1 - xi))};
        }
        if (xs.empty()) return {0, 0};
        double low = lows.front(), high = highs.front();
        if (u >= xs.back()) {
            low = lows.back();
            high = highs.back();
        } else if (u > xs.front()) {
            const auto it = std::upper_bound(xs.begin(), xs.end(), u);
            const std::size_t k = static_cast<std::size_t>(it - xs.begin());
            const double t = (u - xs[k - 1]) / (xs[k] - xs[k - 1]);
            low = lows[k - 1] + t * (lows[k] - lows[k - 1]);
            high = highs[k - 1] + t * (highs[k] - highs[k - 1]);
        }
        return {std::max(0.0, -low), std::max(0.0, high)};
    }
};

std::string spanPlace(int span) {
    return "Vano " + std::to_string(span + 1);
}

std::string facePlace(int face) {
    return spanPlace(face / 2) + (face % 2 == 0 ? ", apoyo izquierdo" : ", apoyo derecho");
}

class Designer {
  public:
    explicit Designer(const BeamInput& input) : in(input) {}
    BeamOutcome run();

  private:
    const BeamInput& in;
    int spans = 0;
    std::vector<double> xL, xR, supL, supR;
    double length = 0;
    double coverToBar = 0;                // cm, face to the outside of the longitudinal bars
    double hookStartX = 0, hookEndX = 0;  // straight ends of hooked bars, m
    double available = 0;                 // width for the bars, cm
    double dTop = 0, dBot = 0;            // effective depths of the design, cm
    double rhoMin = 0;
    bool seismic = false;  // DES or DMO
    std::vector<const Bar*> sizes;
    std::vector<Envelope> envelopes;
    std::vector<Point> points;
    std::vector<int> faceIndex;                            // point index of each face
    std::vector<double> floorTop, floorBot, faceFloorBot;  // areas from the ratio rules
    std::vector<double> bumpTop, bumpBot;                  // strength corrections per point
    mutable std::string failure;  // why the last arrangement tried could not be used
    mutable bool explain = false;
    mutable double crowdedAt = 0;  // where the last extras that shared the layers did not fit
    bool sectionsDesigned = false;  // compose `failure` (a second search, after one failed)

    FaceChoice top, bottom;
    std::vector<BarMark> marks;

    // Capacity at the points, from the last verification.
    std::vector<double> mnNeg, mnPos, phiNeg, phiPos, areaTop, areaBot;

    std::optional<std::string> validate() const;
    // A figure of the texts, with the decimal separator of the input.
    std::string fixed(double value, int decimals) const {
        return formatFixed(value, decimals, in.decimalSeparator);
    }
    std::string pointPlace(const Point& p) const;
    // The index of the first point at x or past it (the last point past them all).
    std::size_t pointAt(double x) const {
        const auto at = std::lower_bound(points.begin(), points.end(), x - 1e-7,
                                         [](const Point& p, double v) { return p.x < v; });
        return std::min(static_cast<std::size_t>(at - points.begin()), points.size() - 1);
    }
    // The place of the point nearest x.
    std::string placeAt(double x) const { return pointPlace(points[pointAt(x)]); }
    // A steel ratio above the limit: three decimals, four where three would show the limit.
    std::string ratioText(double rho) const {
        return fixed(rho, fixed(rho, 3) == fixed(rhoLimit, 3) ? 4 : 3);
    }
    void buildGeometry();
    std::optional<std::string> buildEnvelopes();
    void buildPoints();
    std::optional<std::string> requirements();
    double ld(const Bar& bar, bool topBar) const;
    double ldh(const Bar& bar) const;
    double tail(const Bar& bar) const { return 12 * bar.diameterCm() / 100; }
    std::optional<std::vector<Lap>> planLaps(const Bar& bar, bool topFace) const;
    double contFraction(const Bar& bar, double x) const;
    std::pair<int, int> regionRange(bool topFace, int region) const;
    std::vector<std::pair<int, int>> topRegions, bottomRegions;
    // Bottom extras are searched in regions ordered along the beam: support 0, span 0,
    // support 1, span 1, ..., support n. A support's region is its points and its two faces.
    std::vector<std::pair<int, int>> bottomSupportRegions;
    std::size_t spanFirst(int span) const {
        return static_cast<std::size_t>(bottomRegions[static_cast<std::size_t>(span)].first);
    }
    std::size_t spanLast(int span) const {
        return static_cast<std::size_t>(bottomRegions[static_cast<std::size_t>(span)].second);
    }
    bool searchFace(bool topFace, FaceChoice& choice) const;
    std::optional<Extra> bestExtra(bool topFace, int region, const Bar& cont, int count,
                                   const std::vector<double>& contArea,
                                   const std::vector<Lap>& laps) const;
    bool splitLayers(Extra& extra, const Bar& cont, int count, const std::vector<Lap>& laps) const;
    bool shareLayers(std::vector<Extra>& extras, const Bar& cont, int count,
                     const std::vector<Lap>& laps) const;
    bool mergeMeeting(std::vector<Extra>& extras, bool topFace, const Bar& cont, int count,
                      const std::vector<Lap>& laps) const;
    void joinSameBars(std::vector<Extra>& extras, const Bar& cont, int count,
                      const std::vector<Lap>& laps) const;
    static int marksOf(const Extra& e) {
        return e.count == 0 ? 0 : e.inFirstLayer > 0 && e.inFirstLayer < e.count ? 2 : 1;
    }
    bool hookFits(const Bar& bar, int support) const;
    int firstLayerRoom(const Bar& cont, int count, const Bar& extra) const;
    void detail();
    void verify();
    double steelAt(BeamFace face, double x, std::vector<SteelLayer>& layers,
                   const std::vector<std::size_t>* active = nullptr, bool quartered = false) const;
    std::optional<CapacityResult> capacityOf(const std::vector<SteelLayer>& tension,
                                             const std::vector<SteelLayer>& compression,
                                             double fy) const;
    std::optional<CapacityResult> capacityAt(double x, bool negative, double fy) const;
    std::vector<std::pair<double, double>> markDev;  // ld and ldh of each mark, m
    std::vector<const Bar*> markBars;
    double areaForMn(double mn, bool topTension) const;
    bool adjust();
    BeamDesign result() const;
    void addChecks(BeamDesign& design) const;
    double barCentre(const BarMark& mark) const;
};

std::optional<std::string> Designer::validate() const {
    auto positive = [](double v) { return std::isfinite(v) && v > 0; };
    if (in.spans.empty()) return "La viga no tiene vanos";
    if (in.supports.size() != in.spans.size() + 1) {
        return "Se necesitan " + std::to_string(in.spans.size() + 1) + " apoyos para " +
               std::to_string(in.spans.size()) + " vanos";
    }
    if (!positive(in.b) || !positive(in.h) || !positive(in.fc) || !positive(in.fy)) {
        return "b, h, f'c y Fy deben ser mayores que cero";
    }
    if (!std::isfinite(in.dPrime) || !std::isfinite(in.dSecond) || in.dPrime <= 0 ||
        in.dSecond <= 0 || in.dPrime + in.dSecond >= in.h) {
        return "Los recubrimientos d' y d'' deben ser positivos y menores que h";
    }
    if (findBar(in.smallestBar) == nullptr || findBar(in.largestBar) == nullptr ||
        in.smallestBar > in.largestBar || in.smallestBar < 3) {
        return "Las barras permitidas deben ir de un N° del catálogo a otro mayor o igual";
    }
    if (!positive(in.stockLength)) return "La longitud comercial de las barras debe ser positiva";
    if (findBar(in.settings.stirrupDesignation) == nullptr || !(in.settings.clearCover >= 0) ||
        !(in.settings.maxAggregate >= 0) || in.settings.maxTensionLayers < 1) {
        return "Los datos de colocación de las barras no son válidos";
    }
    for (std::size_t j = 0; j < in.supports.size(); ++j) {
        if (!positive(in.supports[j])) {
            return "Apoyo " + std::to_string(j + 1) + ": el ancho debe ser mayor que cero";
        }
    }
    for (std::size_t i = 0; i < in.spans.size(); ++i) {
        const Span& s = in.spans[i];
        const std::string place = spanPlace(static_cast<int>(i));
        if (!positive(s.length)) return place + ": la luz libre debe ser mayor que cero";
        if (in.stations.empty()) {
            const SpanMoments& m = s.moments;
            for (double v : {m.left, m.mid, m.right, m.midMin.value_or(0.0)}) {
                if (!std::isfinite(v) || v < 0) {
                    return place + ": los momentos se dan como magnitudes (no negativas)";
                }
            }
        }
    }
    for (std::size_t k = 0; k < in.stations.size(); ++k) {
        const Station& st = in.stations[k];
        const std::string row = "Estación " + std::to_string(k + 1);
        if (st.span < 1 || st.span > static_cast<int>(in.spans.size())) {
            return row + ": el vano " + std::to_string(st.span) + " no existe";
        }
        if (!std::isfinite(st.x) || !std::isfinite(st.mu)) return row + ": valor no numérico";
        const double ln = in.spans[static_cast<std::size_t>(st.span - 1)].length;
        if (!in.stationsFromCentreline && (st.x < -1e-9 || st.x > ln + 1e-9)) {
            return row + ": x = " + fixed(st.x, 2) + " m fuera del vano " +
                   std::to_string(st.span) + " (0 a " + fixed(ln, 2) + " m)";
        }
    }
    return std::nullopt;
}

void Designer::buildGeometry() {
    spans = static_cast<int>(in.spans.size());
    double x = 0;
    for (int j = 0; j <= spans; ++j) {
        supL.push_back(x);
        x += in.supports[static_cast<std::size_t>(j)] / 100;
        supR.push_back(x);
        if (j < spans) {
            xL.push_back(x);
            x += in.spans[static_cast<std::size_t>(j)].length;
            xR.push_back(x);
        }
    }
    length = x;
    const Bar* stirrup = findBar(in.settings.stirrupDesignation);
    coverToBar = in.settings.clearCover + stirrup->diameterCm();
    hookStartX = coverToBar / 100;
    hookEndX = length - coverToBar / 100;
    available = availableWidth(in.settings, in.b);
    dTop = in.h - in.dSecond;
    dBot = in.h - in.dPrime;
    rhoMin = minimumSteelRatio(in.code, in.fc, in.fy);
    seismic = in.seismicClass != SeismicClass::Dmi;
    for (const Bar& bar : bars()) {
        if (bar.designation >= in.smallestBar && bar.designation <= in.largestBar) {
            sizes.push_back(&bar);
        }
    }
}

std::optional<std::string> Designer::buildEnvelopes() {
    envelopes.resize(static_cast<std::size_t>(spans));
    for (int i = 0; i < spans; ++i) {
        Envelope& e = envelopes[static_cast<std::size_t>(i)];
        e.length = in.spans[static_cast<std::size_t>(i)].length;
        e.moments = in.spans[static_cast<std::size_t>(i)].moments;
        e.typed = in.stations.empty();
    }
    if (in.stations.empty()) return std::nullopt;
    std::vector<std::vector<std::pair<double, double>>> rows(static_cast<std::size_t>(spans));
    for (const Station& st : in.stations) {
        double x = st.x;
        if (in.stationsFromCentreline)
            x -= in.supports[static_cast<std::size_t>(st.span - 1)] / 200;
        rows[static_cast<std::size_t>(st.span - 1)].push_back({x, st.mu});
    }
    for (int i = 0; i < spans; ++i) {
        auto& r = rows[static_cast<std::size_t>(i)];
        if (r.empty()) return spanPlace(i) + ": no hay estaciones de momento";
        std::sort(r.begin(), r.end());
        Envelope& e = envelopes[static_cast<std::size_t>(i)];
        for (const auto& [x, mu] : r) {
            if (!e.xs.empty() && std::abs(x - e.xs.back()) < 1e-9) {
                e.lows.back() = std::min(e.lows.back(), mu);
                e.highs.back() = std::max(e.highs.back(), mu);
            } else {
                e.xs.push_back(x);
                e.lows.push_back(mu);
                e.highs.push_back(mu);
            }
        }
    }
    return std::nullopt;
}

void Designer::buildPoints() {
    const long last = std::lround(std::floor(length / gridStep + 1e-9));
    std::vector<double> xs;
    xs.reserve(static_cast<std::size_t>(last) + 2 * static_cast<std::size_t>(spans) + 2);
    for (long k = 0; k <= last; ++k) xs.push_back(static_cast<double>(k) * gridStep);
    if (length - xs.back() > 1e-9) xs.push_back(length);
    for (int i = 0; i < spans; ++i) {
        xs.push_back(xL[static_cast<std::size_t>(i)]);
        xs.push_back(xR[static_cast<std::size_t>(i)]);
    }
    std::sort(xs.begin(), xs.end());
    faceIndex.assign(2 * static_cast<std::size_t>(spans), -1);
    int span = 0;
    for (const double x : xs) {
        if (!points.empty() && x - points.back().x < 1e-7) continue;
        Point p;
        p.x = x;
        while (span < spans - 1 && x > xR[static_cast<std::size_t>(span)] + 1e-7) ++span;
        const auto s = static_cast<std::size_t>(span);
        if (x >= xL[s] - 1e-7 && x <= xR[s] + 1e-7) {
            p.span = span;
            if (std::abs(x - xL[s]) < 1e-7) p.face = 2 * span;
            if (std::abs(x - xR[s]) < 1e-7) p.face = 2 * span + 1;
        } else {
            p.support = x < xL[s] ? span : span + 1;
        }
        if (p.face >= 0) {
            p.x = p.face % 2 == 0 ? xL[s] : xR[s];
            faceIndex[static_cast<std::size_t>(p.face)] = static_cast<int>(points.size());
        }
        if (p.span >= 0) {
            std::tie(p.muNeg, p.muPos) = envelopes[s].at(p.x - xL[s]);
        }
        points.push_back(p);
    }
    // Over an interior support the demand is the larger of its two faces'.
    for (Point& p : points) {
        if (p.support <= 0 || p.support >= spans) continue;
        const Point& left = points[static_cast<std::size_t>(
            faceIndex[2 * static_cast<std::size_t>(p.support) - 1])];
        const Point& right =
            points[static_cast<std::size_t>(faceIndex[2 * static_cast<std::size_t>(p.support)])];
        p.muNeg = std::max(left.muNeg, right.muNeg);
        p.muPos = std::max(left.muPos, right.muPos);
    }
    for (int j = 0; j <= spans; ++j) topRegions.push_back(regionRange(true, j));
    for (int i = 0; i < spans; ++i) bottomRegions.push_back(regionRange(false, i));
    // A support's bottom region: from the middle of the span on its left to the middle of the
    // span on its right.
    auto middle = [&](int i) {
        const auto s = static_cast<std::size_t>(i);
        const double x = (xL[s] + xR[s]) / 2;
        return static_cast<int>(pointAt(x));
    };
    for (int j = 0; j <= spans; ++j) {
        const int first = j == 0 ? 0 : middle(j - 1);
        const int last = j == spans ? static_cast<int>(points.size()) - 1 : middle(j);
        bottomSupportRegions.push_back({first, last});
    }
    bumpTop.assign(points.size(), 1.0);
    bumpBot.assign(points.size(), 1.0);
    floorTop.assign(static_cast<std::size_t>(spans), 0.0);
    floorBot.assign(static_cast<std::size_t>(spans), 0.0);
    faceFloorBot.assign(2 * static_cast<std::size_t>(spans), 0.0);
}

// The place of a point in the texts.
std::string Designer::pointPlace(const Point& p) const {
    if (p.face >= 0) return facePlace(p.face);
    if (p.span >= 0) return spanPlace(p.span) + ", x = " + fixed(p.x, 2) + " m";
    return "Apoyo " + std::to_string(p.support + 1) + ", x = " + fixed(p.x, 2) + " m";
}

struct SectionNeed {
    double as = 0, asPrime = 0, strength = 0;
};

std::variant<SectionNeed, DesignError> sectionNeed(const BeamInput& in, double mu,
                                                   bool topTension) {
    if (!(mu > 0)) return SectionNeed{};
    const DesignInput di{.b = in.b,
                         .h = in.h,
                         .dPrime = topTension ? in.dSecond : in.dPrime,
                         .fc = in.fc,
                         .fy = in.fy,
                         .mu = mu,
                         .dSecond = topTension ? in.dPrime : in.dSecond};
    const RunOutcome outcome = runDesign(di, in.code);
    if (const DesignError* e = std::get_if<DesignError>(&outcome)) return *e;
    const DesignRun& run = std::get<DesignRun>(outcome);
    SectionNeed need;
    need.as = run.as();
    need.asPrime = run.asPrime();
    need.strength =
        run.kind() == SectionKind::Doubly ? run.as() : runFigures(run).rho * in.b * run.d();
    return need;
}

std::optional<std::string> Designer::requirements() {
    const double minTop = rhoMin * in.b * dTop, minBot = rhoMin * in.b * dBot;
    double worstRho = 0;
    std::size_t worstAt = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
        Point& p = points[k];
        if (p.span < 0 && (p.support == 0 || p.support == spans)) {
            p.reqTop = p.reqBot = p.reqBotSpan = p.reqBotSupport = p.baseTop = p.baseBot = 0;
            p.strTop = p.strBot = 0;
            continue;
        }
        if (!sectionsDesigned) {  // the envelopes do not change between iterations
            const auto neg = sectionNeed(in, p.muNeg, true);
            const auto pos = sectionNeed(in, p.muPos, false);
            for (const auto* outcome : {&neg, &pos}) {
                if (const DesignError* e = std::get_if<DesignError>(outcome)) {
                    return pointPlace(p) + ": " + std::string(designErrorMessage(*e));
                }
            }
            const SectionNeed& n = std::get<SectionNeed>(neg);
            const SectionNeed& s = std::get<SectionNeed>(pos);
            p.baseTop = std::max(n.as, s.asPrime);
            p.baseBot = std::max(s.as, n.asPrime);
            p.strTop = std::max(n.strength, s.asPrime);
            p.strBot = std::max(s.strength, n.asPrime);
            p.posBot = s.as;
            p.compBot = n.asPrime;
        }
        double top = p.baseTop, bot = p.baseBot;
        if (seismic) {
            top = std::max(top, minTop);
            bot = std::max(bot, minBot);
        }
        std::vector<int> spansHere;
        if (p.span >= 0)
            spansHere.push_back(p.span);
        else
            spansHere = {p.support - 1, p.support};
        double spanBot = std::max(p.posBot, seismic ? minBot : 0.0);
        for (int i : spansHere) {
            top = std::max(top, floorTop[static_cast<std::size_t>(i)]);
            bot = std::max(bot, floorBot[static_cast<std::size_t>(i)]);
            spanBot = std::max(spanBot, floorBot[static_cast<std::size_t>(i)]);
        }
        const bool inside = p.span >= 0 && p.face < 0;
        p.reqBotSpan = inside ? spanBot * bumpBot[k] : 0;
        if (p.face >= 0) bot = std::max(bot, faceFloorBot[static_cast<std::size_t>(p.face)]);
        if (p.span < 0) {
            bot = std::max({bot, faceFloorBot[2 * static_cast<std::size_t>(p.support) - 1],
                            faceFloorBot[2 * static_cast<std::size_t>(p.support)]});
        }
        p.reqTop = top * bumpTop[k];
        p.reqBot = bot * bumpBot[k];
        p.reqBotSupport = inside ? p.compBot * bumpBot[k] : p.reqBot;
        if (seismic) {
            for (const auto& [area, d] : {std::pair{p.reqTop, dTop}, std::pair{p.reqBot, dBot}}) {
                const double rho = area / (in.b * d);
                if (rho > rhoLimit + 1e-12 && rho > worstRho) {
                    worstRho = rho;
                    worstAt = k;
                }
            }
        }
    }
    sectionsDesigned = true;
    if (worstRho > 0) {
        return pointPlace(points[worstAt]) + ": ρ = " + ratioText(worstRho) +
               " > " + fixed(rhoLimit, 3) + "; aumente b o h";
    }
    return std::nullopt;
}

double Designer::ld(const Bar& bar, bool topBar) const {
    const bool below30 = in.h - coverToBar - bar.diameterCm() > 30;
    return developmentLength(in.fc, in.fy, bar.designation, topBar && below30,
                             requiredClearSpacing(in.settings, bar.diameterCm()), coverToBar) /
           100;
}

double Designer::ldh(const Bar& bar) const {
    return hookDevelopmentLength(in.fc, in.fy, bar.designation, in.seismicClass) / 100;
}

// Where the continuous bars of one size lap: top bars in the middle third of a span, bottom
// bars near the supports but outside 2h of the faces; in DES never within 2h of a face.
std::optional<std::vector<Lap>> Designer::planLaps(const Bar& bar, bool topFace) const {
    const double lap = roundUpTo5cm(std::max(1.3 * ld(bar, topFace), 0.30));
    const double tails = tail(bar);
    const double stock = in.stockLength;
    const double twoH = 2 * in.h / 100;
    const bool des = in.seismicClass == SeismicClass::Des;
    auto floorTo5cm = [](double m) { return std::floor(m / gridStep + 1e-7) * gridStep; };
    // A piece as cut never exceeds the stock once its straight part is rounded up.
    auto lastFits = [&](double start, double startTail) {
        if (startTail > 0) return roundUpTo5cm(hookEndX - start + 2 * tails) <= stock + 1e-9;
        return roundUpTo5cm(hookEndX - start) + tails <= stock + 1e-9;
    };
    // Zones in each span, 5 cm kept at both ends for the rounding of the pieces. First where
    // the rules prefer (top: the middle third; bottom: clear of 2h from the faces, as near a
    // support as the stock allows); when no plan fits there, anywhere in the spans clear of
    // 2h from the faces (top) or, outside DES, anywhere in the spans (bottom).
    for (int tier = 0; tier < 2; ++tier) {
        std::vector<std::pair<double, double>> zones;
        for (int i = 0; i < spans; ++i) {
            const double a = xL[static_cast<std::size_t>(i)], b = xR[static_cast<std::size_t>(i)];
            double margin = 0;
            if (topFace) {
                margin = tier == 0 ? std::max((b - a) / 3, des ? twoH : 0.0) : twoH;
            } else {
                margin = tier == 0 || des ? twoH : 0.0;
            }
            const double lo = a + margin + gridStep, hi = b - margin - gridStep;
            if (hi - lo >= lap - 1e-9) zones.push_back({lo, hi});
        }
        std::vector<Lap> laps;
        double start = hookStartX;
        double startTail = tails;
        bool planned = true;
        while (!lastFits(start, startTail)) {
            const double reach = start + floorTo5cm(stock - startTail) - lap;
            double best = -infinity;
            for (const auto& [lo, hi] : zones) {
                double p = std::min(hi - lap, reach);
                if (!topFace && tier == 0 && hi - lap > reach && lo <= reach) p = lo;
                p = floorTo5cm(p);
                // The next lap starts past the end of the one before: never three bars at a point.
                const double after = laps.empty() ? start : start + lap + gridStep;
                if (p >= lo - 1e-9 && p > after + 1e-6) best = std::max(best, p);
            }
            if (best == -infinity) {
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

// Share of a continuous bar developed at x: from 0 at a hooked end to 1 at ldh from it.
double Designer::contFraction(const Bar& bar, double x) const {
    const double h = ldh(bar);
    return std::clamp(std::min(x - hookStartX, hookEndX - x) / h, 0.0, 1.0);
}

std::pair<int, int> Designer::regionRange(bool topFace, int region) const {
    double lo = 0, hi = 0;
    if (topFace) {
        const auto r = static_cast<std::size_t>(region);
        lo = region == 0 ? -1.0 : (xL[r - 1] + xR[r - 1]) / 2;
        hi = region == spans ? length + 1 : (xL[r] + xR[r]) / 2;
    } else {
        lo = xL[static_cast<std::size_t>(region)] - 1e-7;
        hi = xR[static_cast<std::size_t>(region)] + 1e-7;
    }
    const double end = hi + (region == spans || !topFace ? 1e-9 : 0);
    auto below = [](const Point& p, double v) { return p.x < v; };
    const auto from = std::lower_bound(points.begin(), points.end(), lo, below);
    const auto to = std::lower_bound(from, points.end(), end, below);
    int first = -1, last = -1;
    if (from != to) {
        first = static_cast<int>(from - points.begin());
        last = static_cast<int>(to - points.begin()) - 1;
    }
    return {first, last};
}

int Designer::firstLayerRoom(const Bar& cont, int count, const Bar& extra) const {
    int room = 0;
    while (layerWidth(in.settings, Layer{{count, &cont}, {room + 1, &extra}}) <= available + 1e-9) {
        ++room;
        if (room > 40) break;
    }
    return room;
}

// The bars of a hooked end fit their development in the outer support.
bool Designer::hookFits(const Bar& bar, int support) const {
    return ldh(bar) * 100 <= in.supports[static_cast<std::size_t>(support)] - coverToBar + 1e-9;
}

// Puts the extras in the first layer when all fit beside the continuous bars (beside contact
// laps where the extras run past one), else in the second when all fit there, else as many as
// fit in the first and the rest in the second; false when they do not fit.
bool Designer::splitLayers(Extra& extra, const Bar& cont, int count,
                           const std::vector<Lap>& laps) const {
    const bool lapped = std::any_of(laps.begin(), laps.end(), [&](const Lap& lap) {
        return lap.start < extra.end + gridStep && lap.end > extra.start - gridStep;
    });
    const double pairs = lapped ? count * cont.diameterCm() : 0;
    int room = 0;
    while (room < extra.count &&
           layerWidth(in.settings, Layer{{count, &cont}, {room + 1, extra.bar}}) + pairs <=
               available + 1e-9) {
        ++room;
    }
    extra.inFirstLayer = room;
    if (room == extra.count) return true;
    if (in.settings.maxTensionLayers < 2) return false;
    // Bars of one mark that do not all fit beside the continuous bars stay one mark in the
    // second layer when they fit there; split between the layers only when they must be.
    if (layerWidth(in.settings, Layer{{extra.count, extra.bar}}) <= available + 1e-9) {
        extra.inFirstLayer = 0;
        return true;
    }
    return layerWidth(in.settings, Layer{{extra.count - room, extra.bar}}) <= available + 1e-9;
}

// Extras that overlap along the beam share the layers with the continuous bars (and the second
// bar of each contact lap): where the first layer overflows, bars of the extra with the most
// there move to the second, all of its bars when they fit there together. False when the second
// layer overflows too.
bool Designer::shareLayers(std::vector<Extra>& extras, const Bar& cont, int count,
                           const std::vector<Lap>& laps) const {
    std::vector<double> places;
    for (const Extra& e : extras) {
        if (e.count > 0) places.push_back(e.start);
    }
    for (const Lap& lap : laps) places.push_back(lap.start);
    // A move to the second layer at one place can crowd it at another: sweep until none moves.
    for (bool moved = true; moved;) {
    moved = false;
    for (const double x : places) {
        std::vector<Extra*> here;
        for (Extra& e : extras) {
            if (e.count > 0 && x >= e.start - 1e-9 && x <= e.end + 1e-9) here.push_back(&e);
        }
        if (here.empty()) continue;
        const bool lapped = std::any_of(laps.begin(), laps.end(), [&](const Lap& lap) {
            return x >= lap.start - gridStep && x <= lap.end + gridStep;
        });
        const double pairs = lapped ? count * cont.diameterCm() : 0;
        auto width = [&](bool first) {
            Layer layer;
            if (first) layer.push_back({count, &cont});
            for (const Extra* e : here) {
                const int n = first ? e->inFirstLayer : e->count - e->inFirstLayer;
                if (n > 0) layer.push_back({n, e->bar});
            }
            return layer.empty() ? 0.0 : layerWidth(in.settings, layer) + (first ? pairs : 0.0);
        };
        while (width(true) > available + 1e-9) {
            Extra* most = nullptr;
            for (Extra* e : here) {
                if (e->inFirstLayer > 0 && (!most || e->inFirstLayer > most->inFirstLayer)) most = e;
            }
            if (most == nullptr || in.settings.maxTensionLayers < 2) {
                crowdedAt = x;
                return false;
            }
            --most->inFirstLayer;
            moved = true;
            // One mark rather than two when the whole group fits the second layer.
            const int kept = most->inFirstLayer;
            most->inFirstLayer = 0;
            if (width(false) > available + 1e-9) most->inFirstLayer = kept;
        }
        if (width(false) > available + 1e-9) {
            crowdedAt = x;
            return false;
        }
    }
    }
    return true;
}

std::optional<Extra> Designer::bestExtra(bool topFace, int region, const Bar& cont, int count,
                                         const std::vector<double>& contArea,
                                         const std::vector<Lap>& laps) const {
    // Bottom regions alternate along the beam: support 0, span 0, support 1, ...
    const bool atSupport = topFace || region % 2 == 0;
    const int support = topFace ? region : region / 2;
    const int span = topFace ? -1 : (region - 1) / 2;
    const auto [first, last] =
        topFace ? topRegions[static_cast<std::size_t>(region)]
        : atSupport ? bottomSupportRegions[static_cast<std::size_t>(support)]
                    : bottomRegions[static_cast<std::size_t>(span)];
    struct Deficit {
        double x, need;
        int index;
    };
    std::vector<Deficit> deficits;
    for (int k = first; k <= last && k >= 0; ++k) {
        const Point& p = points[static_cast<std::size_t>(k)];
        const double req = topFace ? p.reqTop : atSupport ? p.reqBotSupport : p.reqBotSpan;
        const double need = req - contArea[static_cast<std::size_t>(k)];
        if (need > 1e-9) deficits.push_back({p.x, need, k});
    }
    Extra none;
    if (deficits.empty()) return none;
    const std::string place = !explain ? std::string()
                              : atSupport
                                  ? "Apoyo " + std::to_string(support + 1) +
                                        (topFace ? ", barras superiores" : ", barras inferiores")
                                  : spanPlace(span) + ", barras inferiores";
    if (explain) failure = place + ": no alcanzan a desarrollarse en el espacio disponible";
    const double contA = count * cont.supplyArea;
    const double d = topFace ? dTop : dBot;
    // Bars at an outer support hook into it (top bars down, bottom bars up); bottom bars at an
    // interior support run through it into both spans.
    const bool hookLeft = atSupport && support == 0;
    const bool hookRight = atSupport && support == spans;
    double lowLimit = hookStartX, highLimit = hookEndX;
    if (!topFace) {
        if (atSupport) {
            if (support > 0) lowLimit = xL[static_cast<std::size_t>(support) - 1];
            if (support < spans) highLimit = xR[static_cast<std::size_t>(support)];
        } else {
            lowLimit = xL[static_cast<std::size_t>(span)];
            highLimit = xR[static_cast<std::size_t>(span)];
        }
    }
    std::optional<Extra> best;
    const double supportWidth =
        atSupport ? in.supports[static_cast<std::size_t>(support)] : infinity;
    const bool interior = atSupport && support > 0 && support < spans;
    for (const Bar* e : sizes) {
        if (in.seismicClass == SeismicClass::Des && interior &&
            20 * e->diameterCm() > supportWidth + 1e-9 && e != sizes.front()) {
            continue;
        }
        if ((hookLeft || hookRight) && !hookFits(*e, support) && e != sizes.front()) {
            // Say why the larger bars were not tried, once, after the smaller bars' reason.
            if (explain && failure.find("gancho") == std::string::npos)
                failure += "; el gancho del N° " + std::to_string(e->designation) +
                           " y mayores no se desarrolla en el apoyo " +
                           std::to_string(support + 1) + " (ldh = " + fixed(ldh(*e) * 100, 1) +
                           " cm > " + fixed(in.supports[static_cast<std::size_t>(support)] -
                                                coverToBar, 1) +
                           " cm)";
            continue;
        }
        const double ldE = ld(*e, topFace), ldhE = ldh(*e);
        double maxNeed = 0;
        bool reachable = true;
        for (const Deficit& df : deficits) {
            double f = 1;
            if (hookLeft) f = std::min(f, (df.x - hookStartX) / ldhE);
            if (hookRight) f = std::min(f, (hookEndX - df.x) / ldhE);
            if (f <= 1e-9) {
                reachable = false;
                break;
            }
            maxNeed = std::max(maxNeed, df.need / (e->supplyArea * f));
        }
        if (!reachable) continue;
        const int kmin = std::max(1, static_cast<int>(std::ceil(maxNeed - 1e-9)));
        const int room = firstLayerRoom(cont, count, *e);
        for (int k = kmin; k <= kmin + 1; ++k) {
            Extra x;
            x.bar = e;
            x.count = k;
            x.inFirstLayer = std::min(k, room);
            const int second = k - x.inFirstLayer;
            if (second > 0 && (in.settings.maxTensionLayers < 2 ||
                               layerWidth(in.settings, Layer{{second, e}}) > available + 1e-9)) {
                if (explain)
                    failure = place + ": " + std::to_string(contA > 0 ? count : 0) + " N° " +
                              std::to_string(cont.designation) + " y " + std::to_string(k) +
                              " N° " + std::to_string(e->designation) + " no caben en " +
                              std::to_string(in.settings.maxTensionLayers) + " capas; aumente b";
                continue;
            }
            const double area = k * e->supplyArea;
            if (seismic && (contA + area) / (in.b * d) > rhoLimit + 1e-12) {
                if (explain)
                    failure = place + ": ρ = " + ratioText((contA + area) / (in.b * d)) +
                              " > " + fixed(rhoLimit, 3) + " con las barras comerciales; aumente b o h";
                continue;
            }
            if (!topFace && area > 3 * contA + 1e-9) continue;
            double a = infinity, b = -infinity;
            const Deficit* peak = &deficits.front();
            for (const Deficit& df : deficits) {
                const double t = ldE * std::min(1.0, df.need / area);
                a = std::min(a, df.x - t);
                b = std::max(b, df.x + t);
                if (df.need > peak->need) peak = &df;
            }
            // The theoretical cut-off lies between the last station with a deficit and the next
            // one without: measured from the latter, on the safe side of the 5 cm stations.
            const double ext = std::max(d, 12 * e->diameterCm()) / 100;
            const double firstNeed =
                deficits.front().index > 0
                    ? points[static_cast<std::size_t>(deficits.front().index - 1)].x
                    : deficits.front().x;
            const double lastNeed =
                deficits.back().index + 1 < static_cast<int>(points.size())
                    ? points[static_cast<std::size_t>(deficits.back().index + 1)].x
                    : deficits.back().x;
            a = std::min({a, firstNeed - ext, peak->x - ldE});
            b = std::max({b, lastNeed + ext, peak->x + ldE});
            bool feasible = true;
            if (topFace) {
                // A third of the negative steel at a face runs past the inflection point.
                const double total = contA + area;
                if (contA < total / 3 - 1e-9) {
                    for (int side = 0; side < 2 && feasible; ++side) {
                        const int span = side == 0 ? region - 1 : region;
                        if (span < 0 || span >= spans) continue;
                        const int faceId = side == 0 ? 2 * span + 1 : 2 * span;
                        const Point& face = points[static_cast<std::size_t>(
                            faceIndex[static_cast<std::size_t>(faceId)])];
                        if (face.muNeg <= 0) continue;
                        const double ln = in.spans[static_cast<std::size_t>(span)].length;
                        const double reach =
                            std::max({d / 100, 12 * e->diameterCm() / 100, ln / 16});
                        int k2 = faceIndex[static_cast<std::size_t>(faceId)];
                        const int step = side == 0 ? -1 : 1;
                        double inflection = infinity;
                        for (; k2 >= 0 && k2 < static_cast<int>(points.size()) &&
                               points[static_cast<std::size_t>(k2)].span == span;
                             k2 += step) {
                            if (points[static_cast<std::size_t>(k2)].muNeg <= 0) {
                                inflection = points[static_cast<std::size_t>(k2)].x;
                                break;
                            }
                        }
                        if (inflection == infinity) {
                            feasible = false;
                            if (explain)
                                failure = place + ": el momento negativo no se anula en el " +
                                          spanPlace(span) +
                                          " y las barras continuas son menos de un "
                                          "tercio del acero superior de la cara";
                        } else if (side == 0) {
                            a = std::min(a, inflection - reach);
                        } else {
                            b = std::max(b, inflection + reach);
                        }
                    }
                }
            } else {
                // A bottom bar stops only where the bars that go on give twice the area needed.
                auto twice = [&](int k2) {
                    const Point& p = points[static_cast<std::size_t>(k2)];
                    return contArea[static_cast<std::size_t>(k2)] >= 2 * p.strBot - 1e-9;
                };
                // Bars through a support may stop in either span beside it.
                int lo = first, hi = last;
                if (atSupport) {
                    lo = support > 0 ? static_cast<int>(spanFirst(support - 1)) : 0;
                    hi = support < spans ? static_cast<int>(spanLast(support))
                                         : static_cast<int>(points.size()) - 1;
                }
                int kb = deficits.back().index;
                while (kb <= hi && points[static_cast<std::size_t>(kb)].x < b - 1e-9) ++kb;
                while (kb <= hi && !hookRight && !twice(kb)) ++kb;
                int ka = deficits.front().index;
                while (ka >= lo && points[static_cast<std::size_t>(ka)].x > a + 1e-9) --ka;
                while (ka >= lo && !hookLeft && !twice(ka)) --ka;
                if (hookRight) kb = std::min(kb, hi);
                if (hookLeft) ka = std::max(ka, lo);
                if (kb > hi || ka < lo) {
                    feasible = false;
                    if (explain)
                        failure = place +
                                  ": las barras continuas no dan el doble del área requerida "
                                  "donde podrían cortarse las adicionales";
                } else {
                    a = points[static_cast<std::size_t>(ka)].x;
                    b = points[static_cast<std::size_t>(kb)].x;
                }
            }
            if (hookLeft) a = hookStartX;
            if (hookRight) b = hookEndX;
            if (!feasible || a < lowLimit - 1e-9 || b > highLimit + 1e-9) continue;
            if (roundUpTo5cm(b - a) + (hookLeft + hookRight) * tail(*e) > in.stockLength + 1e-9) {
                if (explain)
                    failure = place + ": las barras adicionales exceden la longitud comercial de " +
                              fixed(in.stockLength, 2) + " m";
                continue;
            }
            x.start = a;
            x.end = b;
            if (!splitLayers(x, cont, count, laps)) {
                if (explain)
                    failure = place + ": " + std::to_string(count) + " N° " +
                              std::to_string(cont.designation) + " y " + std::to_string(k) +
                              " N° " + std::to_string(e->designation) + " no caben en " +
                              std::to_string(in.settings.maxTensionLayers) +
                              " capas junto a los traslapos; aumente b";
                continue;
            }
            x.start = a;
            x.end = b;
            x.hookStart = hookLeft;
            x.hookEnd = hookRight;
            const double tails = (hookLeft + hookRight) * tail(*e);
            x.mass = k * (b - a + tails) * e->mass;
            if (!best || x.mass < best->mass - 1e-9) best = x;
        }
    }
    return best;
}

// Extras of neighbouring regions that meet run on as one mark: the larger bar, as many as
// either needed, ends moved out by the longer development. False when a merged mark does not
// fit its layers or the stock length.
// Neighbouring extras of one bar size that nearly meet become one mark when that costs at
// most 1 % more steel than the two apart: one bar to cut and place instead of two end to end.
void Designer::joinSameBars(std::vector<Extra>& extras, const Bar& cont, int count,
                            const std::vector<Lap>& laps) const {
    for (std::size_t j = 0; j + 1 < extras.size(); ++j) {
        Extra& left = extras[j];
        Extra& right = extras[j + 1];
        if (left.count == 0 || right.count == 0 || left.bar != right.bar ||
            right.start - left.end > 0.5) {
            continue;
        }
        Extra joined = left;
        joined.count = std::max(left.count, right.count);
        joined.end = std::max(left.end, right.end);
        joined.hookEnd = right.hookEnd;
        const double tails = (joined.hookStart + joined.hookEnd) * tail(*joined.bar);
        joined.mass = joined.count * (joined.end - joined.start + tails) * joined.bar->mass;
        if (joined.mass > 1.01 * (left.mass + right.mass) ||
            roundUpTo5cm(joined.end - joined.start) + tails > in.stockLength + 1e-9 ||
            !splitLayers(joined, cont, count, laps)) {
            continue;
        }
        left = Extra{};
        right = joined;
    }
}

bool Designer::mergeMeeting(std::vector<Extra>& extras, bool topFace, const Bar& cont, int count,
                            const std::vector<Lap>& laps) const {
    const int regions = static_cast<int>(extras.size());
    for (int j = 0; j + 1 < regions; ++j) {
        Extra& left = extras[static_cast<std::size_t>(j)];
        Extra& right = extras[static_cast<std::size_t>(j) + 1];
        if (left.count == 0 || right.count == 0 || left.end < right.start - gridStep)
            continue;
        Extra merged;
        merged.hookStart = left.hookStart;
        merged.hookEnd = right.hookEnd;
        // The larger bar, unless it is too large for a support it crosses (20 db in DES) or
        // for the hook of an outer one; then the smaller.
        const double from = left.start, to = right.end;
        auto allowed = [&](const Bar& bar) {
            if (merged.hookStart && !hookFits(bar, 0)) return false;
            if (merged.hookEnd && !hookFits(bar, spans)) return false;
            if (in.seismicClass != SeismicClass::Des) return true;
            for (int j = 1; j < spans; ++j) {
                const auto k = static_cast<std::size_t>(j);
                if (from < supR[k] && to > supL[k] &&
                    20 * bar.diameterCm() > in.supports[k] + 1e-9) {
                    return false;
                }
            }
            return true;
        };
        const Bar* larger = left.bar->diameterMm >= right.bar->diameterMm ? left.bar : right.bar;
        const Bar* smaller = larger == left.bar ? right.bar : left.bar;
        if (!allowed(*larger) && !allowed(*smaller)) {
            if (explain)
                failure = std::string(topFace ? "Barras superiores" : "Barras inferiores") +
                          ": las adicionales se juntan y su barra no cabe 20 db en un apoyo "
                          "que cruzan ni desarrolla su gancho";
            return false;
        }
        merged.bar = allowed(*larger) ? larger : smaller;
        const double a = merged.bar->supplyArea;
        merged.count = static_cast<int>(
            std::max(std::ceil(left.count * left.bar->supplyArea / a - 1e-9),
                     std::ceil(right.count * right.bar->supplyArea / a - 1e-9)));
        const double ldMerged = ld(*merged.bar, topFace);
        merged.start =
            merged.hookStart
                ? left.start
                : std::max(hookStartX,
                           left.start - std::max(0.0, ldMerged - ld(*left.bar, topFace)));
        merged.end =
            merged.hookEnd
                ? right.end
                : std::min(hookEndX,
                           right.end + std::max(0.0, ldMerged - ld(*right.bar, topFace)));
        const double tails = (merged.hookStart + merged.hookEnd) * tail(*merged.bar);
        merged.mass = merged.count * (merged.end - merged.start + tails) * merged.bar->mass;
        if (roundUpTo5cm(merged.end - merged.start) + tails > in.stockLength + 1e-9 ||
            !splitLayers(merged, cont, count, laps)) {
            if (explain)
                failure =
                    topFace
                        ? "Apoyos " + std::to_string(j + 1) + " y " +
                              std::to_string(j + 2) +
                              ", barras superiores: las adicionales se juntan y no caben "
                              "o exceden la longitud comercial"
                        : spanPlace(j / 2) +
                              ", barras inferiores: las adicionales del vano y las del "
                              "apoyo se juntan y no caben o exceden la longitud comercial; "
                              "aumente b";
            return false;
        }
        left = Extra{};
        right = merged;
    }
    return true;
}

bool Designer::searchFace(bool topFace, FaceChoice& choice) const {
    const int regions = topFace ? spans + 1 : 2 * spans + 1;
    double smallestInterior = infinity;
    for (int j = 1; j < spans; ++j) {
        smallestInterior = std::min(smallestInterior, in.supports[static_cast<std::size_t>(j)]);
    }
    FaceChoice best;
    failure.clear();
    std::vector<double> contArea(points.size()), fraction(points.size());
    for (const Bar* s : sizes) {
        if (in.seismicClass == SeismicClass::Des &&
            20 * s->diameterCm() > smallestInterior + 1e-9 && s != sizes.front()) {
            continue;
        }
        if ((!hookFits(*s, 0) || !hookFits(*s, spans)) && s != sizes.front()) continue;
        const auto laps = planLaps(*s, topFace);
        if (!laps) {
            if (!failure.empty()) continue;  // a reason of a smaller bar says more
            if (explain)
                failure = "Barras continuas N° " + std::to_string(s->designation) +
                          ": no hay dónde traslaparlas dentro de la longitud comercial de " +
                          fixed(in.stockLength, 2) + " m";
            continue;
        }
        double barLength = hookEndX - hookStartX + 2 * tail(*s);
        for (std::size_t k = 0; k < points.size(); ++k) fraction[k] = contFraction(*s, points[k].x);
        for (const Lap& lap : *laps) barLength += lap.end - lap.start;
        for (int n = 2;; ++n) {
            if (layerWidth(in.settings, Layer{{n, s}}) > available + 1e-9) break;
            // Lapped bars are tied in contact: each pair takes two diameters, spaced as one bar.
            if (!laps->empty() &&
                layerWidth(in.settings, Layer{{n, s}}) + n * s->diameterCm() > available + 1e-9) {
                break;
            }
            FaceChoice c;
            c.bar = s;
            c.count = n;
            c.laps = *laps;
            c.mass = n * barLength * s->mass;
            c.marks = static_cast<int>(laps->size()) + 1;
            if (best.found && c.mass > best.mass + 1e-9) break;
            for (std::size_t k = 0; k < points.size(); ++k)
                contArea[k] = n * s->supplyArea * fraction[k];
            bool ok = true;
            bool anyExtra = false;
            for (int r = 0; r < regions && ok; ++r) {
                const auto extra = bestExtra(topFace, r, *s, n, contArea, *laps);
                if (!extra) {
                    ok = false;
                    break;
                }
                c.extras.push_back(*extra);
                c.mass += extra->mass;
                anyExtra = anyExtra || extra->count > 0;
            }
            // Extras that meet either stay apart, sharing the layers where they overlap, or
            // run on as one mark; the lighter, and of nearly equal masses (within 1 %) the one
            // of fewer marks. Top extras of neighbouring supports that meet always run on.
            if (ok) {
                std::vector<Extra> apart = c.extras, joined = c.extras;
                bool apartFits = false;
                if (!topFace) {
                    joinSameBars(apart, *s, n, *laps);
                    apartFits = shareLayers(apart, *s, n, *laps);
                    if (!apartFits) {
                        apart = c.extras;
                        apartFits = shareLayers(apart, *s, n, *laps);
                    }
                }
                const bool joinedFits = mergeMeeting(joined, topFace, *s, n, *laps) &&
                                        (topFace || shareLayers(joined, *s, n, *laps));
                auto massOf = [](const std::vector<Extra>& extras) {
                    double m = 0;
                    for (const Extra& e : extras) m += e.mass;
                    return m;
                };
                auto marksIn = [](const std::vector<Extra>& extras) {
                    int m = 0;
                    for (const Extra& e : extras) m += marksOf(e);
                    return m;
                };
                const double extrasMass = massOf(c.extras);
                if (apartFits && joinedFits) {
                    const bool joinBetter =
                        massOf(joined) < massOf(apart) - 1e-9 ||
                        (massOf(joined) <= massOf(apart) * 1.01 && marksIn(joined) < marksIn(apart));
                    c.extras = joinBetter ? joined : apart;
                } else if (apartFits || joinedFits) {
                    c.extras = apartFits ? apart : joined;
                } else {
                    ok = false;
                    if (explain && !topFace)
                        failure = placeAt(crowdedAt) + ", barras inferiores: " +
                                  std::to_string(n) + " N° " +
                                  std::to_string(s->designation) +
                                  " continuas y las adicionales no caben juntas en " +
                                  std::to_string(in.settings.maxTensionLayers) +
                                  " capas; aumente b";
                }
                c.mass += massOf(c.extras) - extrasMass;
            }
            for (const Extra& e : c.extras) c.marks += marksOf(e);
            if (ok) {
                c.found = true;
                if (!best.found || c.mass < best.mass - 1e-6 ||
                    (c.mass < best.mass + 1e-6 && c.marks < best.marks)) {
                    best = c;
                }
                if (!anyExtra) break;
            }
            if (n > 12) break;
        }
    }
    choice = best;
    return best.found;
}

double Designer::barCentre(const BarMark& mark) const {
    const Bar* bar = findBar(mark.bar);
    if (mark.layer == 1) return coverToBar + bar->diameterCm() / 2;
    const FaceChoice& f = mark.face == BeamFace::Top ? top : bottom;
    double below = f.bar->diameterCm();
    for (const BarMark& other : marks) {
        if (other.face == mark.face && other.layer == 1 && other.start < mark.end &&
            other.end > mark.start) {
            below = std::max(below, findBar(other.bar)->diameterCm());
        }
    }
    return coverToBar + below + clearBetweenLayers + bar->diameterCm() / 2;
}

void Designer::detail() {
    marks.clear();
    for (const bool topFace : {true, false}) {
        const FaceChoice& f = topFace ? top : bottom;
        const BeamFace face = topFace ? BeamFace::Top : BeamFace::Bottom;
        // Continuous bars, one mark per piece between laps.
        double start = hookStartX;
        for (std::size_t k = 0; k <= f.laps.size(); ++k) {
            BarMark m;
            m.face = face;
            m.bar = f.bar->designation;
            m.count = f.count;
            m.start = start;
            m.end = k < f.laps.size() ? f.laps[k].end : hookEndX;
            m.hookStart = k == 0;
            m.hookEnd = k == f.laps.size();
            m.continuous = true;
            if (k < f.laps.size()) start = f.laps[k].start;
            marks.push_back(m);
        }
        for (const Extra& e : f.extras) {
            if (e.count == 0) continue;
            for (int layer = 1; layer <= 2; ++layer) {
                const int count = layer == 1 ? e.inFirstLayer : e.count - e.inFirstLayer;
                if (count == 0) continue;
                BarMark m;
                m.face = face;
                m.bar = e.bar->designation;
                m.count = count;
                m.start = e.start;
                m.end = e.end;
                m.hookStart = e.hookStart;
                m.hookEnd = e.hookEnd;
                m.layer = layer;
                marks.push_back(m);
            }
        }
    }
    // Lengths as cut: the straight part rounded up to 5 cm at a free end, or into the tails
    // when both ends are hooked.
    for (BarMark& m : marks) {
        const Bar* bar = findBar(m.bar);
        const double straight = m.end - m.start;
        const int hooks = m.hookStart + m.hookEnd;
        m.hookTail = hooks > 0 ? 12 * bar->diameterCm() : 0;
        if (hooks == 2) {
            const double cut = straight + 2 * m.hookTail / 100;
            const double rounded = roundUpTo5cm(cut);
            m.hookTail += (rounded - cut) / 2 * 100;
        } else {
            const double rounded = roundUpTo5cm(straight);
            const double extra = rounded - straight;
            if (m.hookEnd || (!m.hookStart && m.end + extra > hookEndX + 1e-9)) {
                m.start -= extra;
            } else {
                m.end += extra;
            }
        }
        m.length = m.end - m.start + hooks * m.hookTail / 100;
        m.mass = m.count * m.length * bar->mass;
    }
    for (BarMark& m : marks) m.depth = barCentre(m);
    std::stable_sort(marks.begin(), marks.end(), [](const BarMark& a, const BarMark& b) {
        if (a.face != b.face) return a.face == BeamFace::Top;
        if (std::abs(a.start - b.start) > 1e-9) return a.start < b.start;
        return a.layer < b.layer;
    });
    int topCount = 0, bottomCount = 0;
    for (BarMark& m : marks) {
        m.mark = m.face == BeamFace::Top ? "S" + std::to_string(++topCount)
                                         : "I" + std::to_string(++bottomCount);
    }
    markDev.clear();
    markBars.clear();
    for (const BarMark& m : marks) {
        const Bar* bar = findBar(m.bar);
        markBars.push_back(bar);
        markDev.push_back({ld(*bar, m.face == BeamFace::Top), ldh(*bar)});
    }
}

// The developed steel of one face at x, in layers whose depth is measured from that face.
// `quartered`: the share developed rounded down to quarters, as the compression steel is counted
// (less compression steel never gives more strength, and equal sections recur more often).
double Designer::steelAt(BeamFace face, double x, std::vector<SteelLayer>& layers,
                         const std::vector<std::size_t>* active, bool quartered) const {
    layers.clear();
    double area = 0;
    const std::size_t count = active ? active->size() : marks.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t k = active ? (*active)[i] : i;
        const BarMark& m = marks[k];
        if (m.face != face || x < m.start - 1e-9 || x > m.end + 1e-9) continue;
        const auto [ldM, ldhM] = markDev[k];
        const double fromStart = (x - m.start) / (m.hookStart ? ldhM : ldM);
        const double fromEnd = (m.end - x) / (m.hookEnd ? ldhM : ldM);
        double f = std::clamp(std::min(fromStart, fromEnd), 0.0, 1.0);
        if (quartered) f = std::floor(f * 4 + 1e-9) / 4;
        const Bar* bar = markBars[k];
        const double a = m.count * bar->supplyArea * f;
        if (a <= 0) continue;
        area += a;
        auto it = std::find_if(layers.begin(), layers.end(), [&](const SteelLayer& l) {
            return std::abs(l.depth - m.depth) < 1e-9;
        });
        if (it == layers.end()) {
            layers.push_back({a, m.depth, bar->diameterCm()});
        } else {
            it->area += a;
            it->barDiameter = std::max(it->barDiameter, bar->diameterCm());
        }
    }
    std::sort(layers.begin(), layers.end(),
              [](const SteelLayer& a, const SteelLayer& b) { return a.depth < b.depth; });
    return area;
}

// Strength at x for the moment of one sign with the bars there, both faces at their depths.
std::optional<CapacityResult> Designer::capacityAt(double x, bool negative, double fy) const {
    std::vector<SteelLayer> t, c;
    steelAt(negative ? BeamFace::Top : BeamFace::Bottom, x, t);
    steelAt(negative ? BeamFace::Bottom : BeamFace::Top, x, c);
    if (t.empty()) return std::nullopt;
    for (SteelLayer& l : t) l.depth = in.h - l.depth;
    return capacityOf(t, c, fy);
}

// Strength of the beam's section with these layers, tension and compression, at this Fy.
std::optional<CapacityResult> Designer::capacityOf(const std::vector<SteelLayer>& tension,
                                                   const std::vector<SteelLayer>& compression,
                                                   double fy) const {
    CapacityInput ci;
    ci.code = in.code;
    ci.b = in.b;
    ci.h = in.h;
    ci.fc = in.fc;
    ci.fy = fy;
    ci.tension = tension;
    ci.compression = compression;
    return checkCapacity(ci);
}

void Designer::verify() {
    const std::size_t count = points.size();
    mnNeg.assign(count, 0);
    mnPos.assign(count, 0);
    phiNeg.assign(count, 0);
    phiPos.assign(count, 0);
    areaTop.assign(count, 0);
    areaBot.assign(count, 0);
    std::vector<SteelLayer> topLayers, botLayers, topCompression, botCompression, tension, lastT,
        lastC;
    CapacityResult lastResult{};
    bool haveLast = false;
    auto sameLayers = [](const std::vector<SteelLayer>& a, const std::vector<SteelLayer>& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t k = 0; k < a.size(); ++k) {
            if (a[k].area != b[k].area || a[k].depth != b[k].depth) return false;
        }
        return true;
    };
    std::vector<SteelLayer> lastTB, lastCB;
    std::map<std::vector<double>, CapacityResult> cache;
    std::vector<double> key;
    CapacityResult lastResultB{};
    bool haveLastB = false;
    // The marks present at each point, swept along the beam (marks are sorted by face and start).
    std::vector<std::size_t> order(marks.size());
    for (std::size_t k = 0; k < marks.size(); ++k) order[k] = k;
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return marks[a].start < marks[b].start; });
    std::vector<std::size_t> active;
    std::size_t next = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const double x = points[k].x;
        while (next < order.size() && marks[order[next]].start <= x + 1e-9)
            active.push_back(order[next++]);
        std::erase_if(active, [&](std::size_t m) { return marks[m].end < x - 1e-9; });
        areaTop[k] = steelAt(BeamFace::Top, x, topLayers, &active);
        areaBot[k] = steelAt(BeamFace::Bottom, x, botLayers, &active);
        steelAt(BeamFace::Top, x, topCompression, &active, true);
        steelAt(BeamFace::Bottom, x, botCompression, &active, true);
        for (const bool negative : {true, false}) {
            const std::vector<SteelLayer>& t = negative ? topLayers : botLayers;
            const std::vector<SteelLayer>& c = negative ? botCompression : topCompression;
            if (t.empty()) continue;
            tension.clear();
            for (const SteelLayer& l : t)
                tension.push_back({l.area, in.h - l.depth, l.barDiameter});
            std::vector<SteelLayer>& prevT = negative ? lastT : lastTB;
            std::vector<SteelLayer>& prevC = negative ? lastC : lastCB;
            CapacityResult& prev = negative ? lastResult : lastResultB;
            bool& have = negative ? haveLast : haveLastB;
            if (!(have && sameLayers(tension, prevT) && sameLayers(c, prevC))) {
                // Equal sections recur along a beam (symmetric spans, equal supports).
                key.clear();
                for (const SteelLayer& l : tension)
                    key.insert(key.end(), {l.area, l.depth, l.barDiameter});
                key.push_back(-1);
                for (const SteelLayer& l : c)
                    key.insert(key.end(), {l.area, l.depth, l.barDiameter});
                const auto found = cache.find(key);
                if (found != cache.end()) {
                    prev = found->second;
                } else {
                    const auto r = capacityOf(tension, c, in.fy);
                    prev = r ? *r : CapacityResult{};
                    cache.emplace(key, prev);
                }
                prevT = tension;
                prevC = c;
                have = true;
            }
            (negative ? mnNeg : mnPos)[k] = prev.mn;
            (negative ? phiNeg : phiPos)[k] = prev.phiMn;
        }
    }
}

double Designer::areaForMn(double mn, bool topTension) const {
    const auto need = sectionNeed(in, mn * phi, topTension);
    if (const SectionNeed* n = std::get_if<SectionNeed>(&need)) return n->as;
    return 0;
}

// After a verification: raise the areas where the bars as placed fall short of the demand or
// of the ratio rules. True when something changed.
bool Designer::adjust() {
    bool changed = false;
    // Strength: the capacity of the real bars, at their real depth, against the demand.
    const int regionsTop = spans + 1;
    std::vector<double> topFactor(static_cast<std::size_t>(regionsTop), 1.0),
        botFactor(static_cast<std::size_t>(spans) + 1, 1.0);
    auto topRegion = [&](double x) {
        for (int j = 0; j < spans; ++j) {
            if (x < (xL[static_cast<std::size_t>(j)] + xR[static_cast<std::size_t>(j)]) / 2)
                return j;
        }
        return spans;
    };
    for (std::size_t k = 0; k < points.size(); ++k) {
        const Point& p = points[k];
        if (p.muNeg > 0 && phiNeg[k] < p.muNeg * (1 - 1e-9)) {
            const double f = std::min(1.5, p.muNeg / std::max(phiNeg[k], 1e-6) * 1.01);
            auto& t = topFactor[static_cast<std::size_t>(topRegion(p.x))];
            t = std::max(t, f);
        }
        if (p.muPos > 0 && phiPos[k] < p.muPos * (1 - 1e-9)) {
            const double f = std::min(1.5, p.muPos / std::max(phiPos[k], 1e-6) * 1.01);
            const int r = p.span >= 0 ? p.span : spans;
            auto& t = botFactor[static_cast<std::size_t>(r)];
            t = std::max(t, f);
        }
    }
    for (std::size_t k = 0; k < points.size(); ++k) {
        const Point& p = points[k];
        const double ft = topFactor[static_cast<std::size_t>(topRegion(p.x))];
        const double fb = botFactor[static_cast<std::size_t>(p.span >= 0 ? p.span : spans)];
        if (ft > 1) {
            bumpTop[k] *= ft;
            changed = true;
        }
        if (fb > 1) {
            bumpBot[k] *= fb;
            changed = true;
        }
    }
    if (!seismic) return changed;
    // Ratio rules on the nominal strengths.
    const double faceShare = in.seismicClass == SeismicClass::Des ? 0.5 : 1.0 / 3;
    const double anyShare = in.seismicClass == SeismicClass::Des ? 0.25 : 0.2;
    for (int i = 0; i < spans; ++i) {
        const auto s = static_cast<std::size_t>(i);
        double largest = 0;
        for (int side = 0; side < 2; ++side) {
            const auto f =
                static_cast<std::size_t>(faceIndex[2 * s + static_cast<std::size_t>(side)]);
            largest = std::max({largest, mnNeg[f], mnPos[f]});
            const double target = faceShare * mnNeg[f];
            if (mnPos[f] < target * (1 - 1e-9)) {
                const double grown = areaForMn(target, false) *
                                     std::max(1.0, target / std::max(mnPos[f], 1e-6) * 0.5 + 0.5) *
                                     1.01;
                auto& floor = faceFloorBot[2 * s + static_cast<std::size_t>(side)];
                floor = std::max(floor * 1.02, grown);
                changed = true;
            }
        }
        const double target = anyShare * largest;
        double lowNeg = infinity, lowPos = infinity;
        for (std::size_t k = spanFirst(i); k <= spanLast(i); ++k) {
            lowNeg = std::min(lowNeg, mnNeg[k]);
            lowPos = std::min(lowPos, mnPos[k]);
        }
        if (lowNeg < target * (1 - 1e-9)) {
            floorTop[s] = std::max(floorTop[s] * 1.02, areaForMn(target, true) * 1.01);
            changed = true;
        }
        if (lowPos < target * (1 - 1e-9)) {
            floorBot[s] = std::max(floorBot[s] * 1.02, areaForMn(target, false) * 1.01);
            changed = true;
        }
    }
    return changed;
}

BeamDesign Designer::result() const {
    BeamDesign design;
    design.code = in.code;
    design.seismicClass = in.seismicClass;
    design.length = length;
    for (int i = 0; i < spans; ++i) {
        design.faceX.push_back(xL[static_cast<std::size_t>(i)]);
        design.faceX.push_back(xR[static_cast<std::size_t>(i)]);
    }
    for (int f = 0; f < 2 * spans; ++f) {
        const auto k = static_cast<std::size_t>(faceIndex[static_cast<std::size_t>(f)]);
        const Point& p = points[k];
        FaceStation s;
        s.span = f / 2 + 1;
        s.side = f % 2 == 0 ? Side::Left : Side::Right;
        s.x = p.x;
        s.muNeg = p.muNeg;
        s.muPos = p.muPos;
        s.asTopRequired = p.reqTop;
        s.asBottomRequired = p.reqBot;
        s.asTop = areaTop[k];
        s.asBottom = areaBot[k];
        s.mnNeg = mnNeg[k];
        s.mnPos = mnPos[k];
        s.phiMnNeg = phiNeg[k];
        s.phiMnPos = phiPos[k];
        if (const auto r = capacityAt(p.x, true, 1.25 * in.fy)) s.mprNeg = r->mn;
        if (const auto r = capacityAt(p.x, false, 1.25 * in.fy)) s.mprPos = r->mn;
        design.faces.push_back(s);
    }
    design.bars = marks;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const Point& p = points[k];
        design.profile.push_back({p.x, p.muNeg, p.muPos, mnNeg[k], mnPos[k], phiNeg[k], phiPos[k]});
    }
    for (const BarMark& m : marks) {
        design.massByBar[m.bar] += m.mass;
        design.totalMass += m.mass;
    }
    double clear = 0;
    for (const Span& s : in.spans) clear += s.length;
    design.concrete = in.b / 100 * in.h / 100 * clear;
    design.steelPerConcrete = design.concrete > 0 ? design.totalMass / design.concrete : 0;
    addChecks(design);
    design.passes = std::all_of(design.checks.begin(), design.checks.end(),
                                [](const Check& c) { return c.passes; });
    design.notes.push_back(
        "ld en el caso favorable de separación y recubrimiento: se suponen estribos de al menos "
        "el mínimo del código a lo largo de ld de todas las barras.");
    design.notes.push_back(
        "El cortante donde se cortan barras inferiores dentro de un vano queda al diseño a "
        "cortante.");
    const bool laps = !top.laps.empty() || !bottom.laps.empty();
    if (laps) {
        std::string text = "Traslapos clase B (" + fixed(1.3, 1) +
                           " ld, al menos 30 cm), fuera de los apoyos";
        if (in.seismicClass == SeismicClass::Des) {
            const double spacing = std::min(std::min(dTop, dBot) / 4, 10.0);
            text += " y a más de 2h de sus caras; estribos cerrados a no más de " +
                    fixed(spacing, 1) + " cm a lo largo de cada traslapo";
        }
        design.notes.push_back(text + ".");
    }
    if (in.seismicClass == SeismicClass::Dmi) {
        design.notes.push_back(
            "Dos barras continuas arriba y abajo a lo largo de toda la viga también en DMI, "
            "más de lo que exige la NSR-98.");
    }
    design.notes.push_back("Mpr con " + fixed(1.25, 2) + " Fy y φ = 1, para el diseño a cortante.");
    if (in.code == DesignCode::Nsr98) {
        design.notes.push_back(
            "ld y ldh por las expresiones en MPa de la NSR-10 (C.12.2.2 y C.12.5) también bajo "
            "la NSR-98.");
    }
    return design;
}

void Designer::addChecks(BeamDesign& design) const {
    auto add = [&](std::string rule, std::optional<int> span, std::optional<double> x, bool passes,
                   std::string text) {
        design.checks.push_back({std::move(rule), span, x, passes, std::move(text)});
    };
    auto spanOf = [&](const Point& p) {
        if (p.span >= 0) return p.span;
        return p.support == 0 ? 0 : p.support - 1;
    };
    // Strength, minimum steel and the largest ratio, each face of each span at its worst point.
    for (int i = 0; i < spans; ++i) {
        for (const bool negative : {true, false}) {
            const char* sign = negative ? "−" : "+";
            double worst = infinity;
            std::size_t at = 0;
            double minWorst = infinity;
            std::size_t minAt = 0;
            double rhoWorst = 0;
            std::size_t rhoAt = 0;
            // The span's points and those over the interior support that follows it.
            const std::size_t through = i + 1 < spans ? spanFirst(i + 1) - 1 : spanLast(i);
            for (std::size_t k = spanFirst(i); k <= through; ++k) {
                const Point& p = points[k];
                if (spanOf(p) != i || (p.span < 0 && (p.support == 0 || p.support == spans))) {
                    continue;
                }
                const double mu = negative ? p.muNeg : p.muPos;
                const double cap = negative ? phiNeg[k] : phiPos[k];
                if (mu > 0 && cap - mu < worst) {
                    worst = cap - mu;
                    at = k;
                }
                const double area = negative ? areaTop[k] : areaBot[k];
                const double d = negative ? dTop : dBot;
                if (seismic || mu > 0) {
                    const double margin = area - rhoMin * in.b * d;
                    if (margin < minWorst) {
                        minWorst = margin;
                        minAt = k;
                    }
                }
                const double rho = area / (in.b * d);
                if (rho > rhoWorst) {
                    rhoWorst = rho;
                    rhoAt = k;
                }
            }
            if (worst < infinity) {
                const Point& p = points[at];
                const double mu = negative ? p.muNeg : p.muPos;
                const double cap = negative ? phiNeg[at] : phiPos[at];
                const bool ok = cap >= mu * (1 - 1e-9);
                add("resistencia", i + 1, p.x, ok,
                    pointPlace(p) + ": φMn" + sign + " = " + fixed(cap, 2) + (ok ? " ≥ " : " < ") +
                        "Mu" + sign + " = " + fixed(mu, 2) + " Tn-m");
            }
            if (minWorst < infinity) {
                const Point& p = points[minAt];
                const double area = negative ? areaTop[minAt] : areaBot[minAt];
                const double need = rhoMin * in.b * (negative ? dTop : dBot);
                const bool ok = minWorst >= -1e-9;
                add("acero-minimo", i + 1, p.x, ok,
                    pointPlace(p) + (negative ? ": As superior = " : ": As inferior = ") +
                        fixed(area, 2) + (ok ? " ≥ " : " < ") + "ρmín b d = " + fixed(need, 2) +
                        " cm²");
            }
            if (seismic) {
                const Point& p = points[rhoAt];
                const bool ok = rhoWorst <= rhoLimit + 1e-12;
                add("cuantia-maxima", i + 1, p.x, ok,
                    pointPlace(p) + (negative ? ": ρ superior = " : ": ρ inferior = ") +
                        fixed(rhoWorst, 4) + (ok ? " ≤ " : " > ") + fixed(rhoLimit, 3));
            }
        }
    }
    // Ratio rules on the nominal strengths.
    if (seismic) {
        const bool des = in.seismicClass == SeismicClass::Des;
        const double faceShare = des ? 0.5 : 1.0 / 3, anyShare = des ? 0.25 : 0.2;
        const std::string faceText = des ? "1/2" : "1/3", anyText = des ? "1/4" : "1/5";
        for (int i = 0; i < spans; ++i) {
            double largest = 0;
            for (int side = 0; side < 2; ++side) {
                const int f = 2 * i + side;
                const auto k = static_cast<std::size_t>(faceIndex[static_cast<std::size_t>(f)]);
                largest = std::max({largest, mnNeg[k], mnPos[k]});
                const bool ok = mnPos[k] >= faceShare * mnNeg[k] * (1 - 1e-9);
                add("momento-en-cara", i + 1, points[k].x, ok,
                    facePlace(f) + ": Mn+ = " + fixed(mnPos[k], 2) + (ok ? " ≥ " : " < ") +
                        faceText + " Mn− = " + fixed(faceShare * mnNeg[k], 2) + " Tn-m");
            }
            double low = infinity;
            std::size_t at = 0;
            for (std::size_t k = spanFirst(i); k <= spanLast(i); ++k) {
                const double m = std::min(mnNeg[k], mnPos[k]);
                if (m < low) {
                    low = m;
                    at = k;
                }
            }
            const bool ok = low >= anyShare * largest * (1 - 1e-9);
            add("momento-en-vano", i + 1, points[at].x, ok,
                pointPlace(points[at]) + ": Mn = " + fixed(low, 2) + (ok ? " ≥ " : " < ") +
                    anyText + " del mayor Mn en las caras = " + fixed(anyShare * largest, 2) +
                    " Tn-m");
        }
    }
    // Continuous bars.
    {
        const bool ok = top.count >= 2 && bottom.count >= 2;
        add("barras-continuas", std::nullopt, std::nullopt, ok,
            std::to_string(top.count) + " N° " + std::to_string(top.bar->designation) +
                " arriba y " + std::to_string(bottom.count) + " N° " +
                std::to_string(bottom.bar->designation) +
                " abajo corren a lo largo de toda la viga (al menos 2 en cada cara)");
    }
    for (int i = 0; i < spans; ++i) {
        double largest = 0;
        for (std::size_t k = spanFirst(i); k <= spanLast(i); ++k) {
            largest = std::max(largest, areaBot[k]);
        }
        const double cont = bottom.count * bottom.bar->supplyArea;
        const bool ok = cont >= largest / 4 - 1e-9;
        add("continuas-inferiores", i + 1, std::nullopt, ok,
            spanPlace(i) + ": barras inferiores continuas " + fixed(cont, 2) +
                (ok ? " ≥ " : " < ") +
                "1/4 del acero inferior del vano = " + fixed(largest / 4, 2) + " cm²");
    }
    // Geometry.
    if (in.seismicClass == SeismicClass::Des) {
        const double d = std::max(dTop, dBot);
        for (int i = 0; i < spans; ++i) {
            const double ln = in.spans[static_cast<std::size_t>(i)].length;
            const bool ok = ln * 100 >= 4 * d - 1e-9;
            add("geometria-luz", i + 1, std::nullopt, ok,
                spanPlace(i) + ": ln = " + fixed(ln, 2) + " m" + (ok ? " ≥ " : " < ") +
                    "4 d = " + fixed(4 * d / 100, 2) + " m");
        }
        const double least = std::min(0.3 * in.h, 25.0);
        const bool ok = in.b >= least - 1e-9;
        add("geometria-ancho", std::nullopt, std::nullopt, ok,
            "b = " + fixed(in.b, 1) + " cm" + (ok ? " ≥ " : " < ") +
                "mín(" + fixed(0.3, 1) + " h, 25 cm) = " + fixed(least, 1) + " cm");
        for (int j = 1; j < spans; ++j) {
            const double x =
                (supL[static_cast<std::size_t>(j)] + supR[static_cast<std::size_t>(j)]) / 2;
            double db = 0;
            for (const BarMark& m : marks) {
                if (m.start < x && m.end > x) db = std::max(db, findBar(m.bar)->diameterCm());
            }
            const double width = in.supports[static_cast<std::size_t>(j)];
            const bool fits = width >= 20 * db - 1e-9;
            add("apoyo-20db", j, x, fits,
                "Apoyo " + std::to_string(j + 1) + ": ancho " + fixed(width, 1) + " cm" +
                    (fits ? " ≥ " : " < ") + "20 db = " + fixed(20 * db, 1) + " cm");
        }
    } else if (in.seismicClass == SeismicClass::Dmo) {
        const bool ok = in.b >= 20 - 1e-9;
        add("geometria-ancho", std::nullopt, std::nullopt, ok,
            "b = " + fixed(in.b, 1) + " cm" + (ok ? " ≥ " : " < ") + "20 cm");
    }
    // Fit: the bars of each layer at every point, lapped pieces side by side.
    for (const BeamFace face : {BeamFace::Top, BeamFace::Bottom}) {
        double worst = -infinity;
        std::size_t at = 0;
        double worstWidth = 0;
        // The bars present change only at the ends of marks: look there.
        std::vector<double> places;
        for (const BarMark& m : marks) {
            if (m.face == face) places.insert(places.end(), {m.start, m.end});
        }
        for (const double x : places) {
            const std::size_t k = pointAt(x);
            for (int layer = 1; layer <= 2; ++layer) {
                Layer bars;
                double lapped = 0;  // the second bar of each contact lap
                bool continuousSeen = false;
                for (const BarMark& m : marks) {
                    if (m.face != face || m.layer != layer || x < m.start - 1e-9 ||
                        x > m.end + 1e-9) {
                        continue;
                    }
                    if (m.continuous && continuousSeen) {
                        lapped += m.count * findBar(m.bar)->diameterCm();
                        continue;
                    }
                    continuousSeen = continuousSeen || m.continuous;
                    bars.push_back({m.count, findBar(m.bar)});
                }
                if (bars.empty()) continue;
                const double width = layerWidth(in.settings, bars) + lapped;
                if (width - available > worst) {
                    worst = width - available;
                    at = k;
                    worstWidth = width;
                }
            }
        }
        const bool ok = worst <= 1e-9;
        add("ajuste", spanOf(points[at]) + 1, points[at].x, ok,
            pointPlace(points[at]) +
                (face == BeamFace::Top ? ": barras superiores" : ": barras inferiores") +
                " ocupan " + fixed(worstWidth, 2) + " cm" + (ok ? " ≤ " : " > ") +
                "ancho disponible " + fixed(available, 2) + " cm");
    }
    // Laps of the continuous bars: class B length, never in a support, in DES clear of 2h from
    // the faces and where the demand stays below the strength.
    for (const BeamFace face : {BeamFace::Top, BeamFace::Bottom}) {
        std::vector<const BarMark*> pieces;
        for (const BarMark& m : marks) {
            if (m.face == face && m.continuous) pieces.push_back(&m);
        }
        for (std::size_t k = 0; k + 1 < pieces.size(); ++k) {
            const BarMark& a = *pieces[k];
            const BarMark& b = *pieces[k + 1];
            const double start = b.start, end = a.end;
            const Bar* bar = findBar(a.bar);
            const double need = std::max(1.3 * ld(*bar, face == BeamFace::Top), 0.30);
            int span = -1;
            for (int i = 0; i < spans; ++i) {
                if (start >= xL[static_cast<std::size_t>(i)] - 1e-9 &&
                    end <= xR[static_cast<std::size_t>(i)] + 1e-9) {
                    span = i;
                }
            }
            bool ok = end - start >= need - 1e-9 && span >= 0;
            std::string where = span >= 0 ? spanPlace(span) : "Apoyo";
            if (ok && in.seismicClass == SeismicClass::Des) {
                const double twoH = 2 * in.h / 100;
                const auto s = static_cast<std::size_t>(span);
                ok = start >= xL[s] + twoH - 1e-9 && end <= xR[s] - twoH + 1e-9;
                for (std::size_t p = 0; p < points.size() && ok; ++p) {
                    if (points[p].x < start || points[p].x > end) continue;
                    const double mu = face == BeamFace::Top ? points[p].muNeg : points[p].muPos;
                    const double cap = face == BeamFace::Top ? phiNeg[p] : phiPos[p];
                    if (mu > 0 && mu >= cap) ok = false;
                }
            }
            add("traslapo", span >= 0 ? std::optional<int>(span + 1) : std::nullopt, start, ok,
                where + ": traslapo de " + a.mark + " y " + b.mark + " (" +
                    std::to_string(a.count) + " N° " + std::to_string(a.bar) + ") de " +
                    fixed(start, 2) + " a " + fixed(end, 2) + " m, " + fixed(end - start, 2) +
                    " m" + (end - start >= need - 1e-9 ? " ≥ " : " < ") +
                    fixed(1.3, 1) + " ld = " + fixed(need, 2) + " m" +
                    (in.seismicClass == SeismicClass::Des ? ", a más de 2h de las caras" : ""));
        }
    }
    // Hooks: the length available in the outer supports.
    for (const int j : {0, spans}) {
        double need = 0;
        int barNeeding = 0;
        for (const BarMark& m : marks) {
            if ((j == 0 && m.hookStart) || (j == spans && m.hookEnd)) {
                const double l = hookDevelopmentLength(in.fc, in.fy, m.bar, in.seismicClass);
                if (l > need) {
                    need = l;
                    barNeeding = m.bar;
                }
            }
        }
        if (barNeeding == 0) continue;
        const double room = in.supports[static_cast<std::size_t>(j)] - coverToBar;
        const bool ok = room >= need - 1e-9;
        const int span = j == 0 ? 0 : spans - 1;
        add("ldh", span + 1, j == 0 ? xL.front() : xR.back(), ok,
            "Apoyo " + std::to_string(j + 1) + ": ldh del N° " + std::to_string(barNeeding) +
                " = " + fixed(need, 1) + " cm" + (ok ? " ≤ " : " > ") + "disponible " +
                fixed(room, 1) + " cm");
    }
}

BeamOutcome Designer::run() {
    if (auto e = validate()) return BeamError{*e, BeamErrorKind::Input};
    buildGeometry();
    if (auto e = buildEnvelopes()) return BeamError{*e, BeamErrorKind::Input};
    buildPoints();
    // Design, check the bars as placed, raise what falls short and search again, until the
    // bars hold. A search that finds nothing, at the first pass or after a raise, ends it.
    for (int iteration = 0; iteration < 8; ++iteration) {
        if (auto e = requirements()) return BeamError{*e, BeamErrorKind::Unsatisfiable};
        FaceChoice newTop, newBottom;
        for (const bool topFace : {true, false}) {
            FaceChoice& choice = topFace ? newTop : newBottom;
            if (searchFace(topFace, choice)) continue;
            explain = true;
            searchFace(topFace, choice);
            return BeamError{std::string(topFace ? "Ninguna disposición de barras superiores"
                                                 : "Ninguna disposición de barras inferiores") +
                                 " cumple. " + failure,
                             BeamErrorKind::Unsatisfiable};
        }
        top = std::move(newTop);
        bottom = std::move(newBottom);
        detail();
        verify();
        if (!adjust()) break;
    }
    BeamDesign design = result();
    // The rules the arrangement decides must hold; the geometry of the section and the
    // supports is the engineer's, and a failing limit there stays a check of the design.
    for (const Check& c : design.checks) {
        const bool geometry = c.rule == "geometria-luz" || c.rule == "geometria-ancho" ||
                              c.rule == "apoyo-20db" || c.rule == "ldh";
        if (!c.passes && !geometry) {
            return BeamError{"Ninguna disposición de barras cumple. " + c.text,
                             BeamErrorKind::Unsatisfiable};
        }
    }
    return design;
}

}  // namespace

BeamOutcome designBeam(const BeamInput& input) {
    Designer designer(input);
    return designer.run();
}

}  // namespace engine::beam
