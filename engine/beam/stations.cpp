#include "engine/beam/stations.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include "engine/beam/rules.h"
#include "engine/beam/tolerance.h"
#include "engine/capacity.h"

namespace engine::beam {

namespace {

// The moments of one span: typed (parabolas through the faces and midspan) or a polyline of
// (x, most negative, most positive) from a station table.
struct Envelope {
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
            double positive = moments.mid * 4 * xi * (1 - xi);
            if (moments.posLeft) positive = std::max(positive, *moments.posLeft * (1 - 2 * xi));
            if (moments.posRight) positive = std::max(positive, *moments.posRight * (2 * xi - 1));
            return {std::max(0.0, -m), std::max(0.0, positive)};
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

std::variant<std::vector<Envelope>, Phrase> envelopesOf(const Beam& beam) {
    const BeamInput& in = beam.in;
    const int spans = beam.spans;
    std::vector<Envelope> envelopes(static_cast<std::size_t>(spans));
    for (int i = 0; i < spans; ++i) {
        Envelope& e = envelopes[static_cast<std::size_t>(i)];
        e.length = in.spans[static_cast<std::size_t>(i)].length;
        e.moments = in.spans[static_cast<std::size_t>(i)].moments;
        e.typed = in.stations.empty();
    }
    if (in.stations.empty()) return envelopes;
    std::vector<std::vector<std::pair<double, double>>> rows(static_cast<std::size_t>(spans));
    for (const Station& st : in.stations) {
        double x = st.x;
        if (in.stationsFromCentreline)
            x -= in.supports[static_cast<std::size_t>(st.span - 1)] / 200;
        rows[static_cast<std::size_t>(st.span - 1)].push_back({x, st.mu});
    }
    for (int i = 0; i < spans; ++i) {
        auto& r = rows[static_cast<std::size_t>(i)];
        if (r.empty()) return Phrase() << "Vano " + std::to_string(i + 1) << ": no hay estaciones de momento";
        std::sort(r.begin(), r.end());
        Envelope& e = envelopes[static_cast<std::size_t>(i)];
        for (const auto& [x, mu] : r) {
            if (!e.xs.empty() && std::abs(x - e.xs.back()) < tiny) {
                e.lows.back() = std::min(e.lows.back(), mu);
                e.highs.back() = std::max(e.highs.back(), mu);
            } else {
                e.xs.push_back(x);
                e.lows.push_back(mu);
                e.highs.push_back(mu);
            }
        }
    }
    return envelopes;
}

Region regionRange(const Beam& beam, bool topFace, int region) {
    double lo = 0, hi = 0;
    const auto& xL = beam.xL;
    const auto& xR = beam.xR;
    if (topFace) {
        const auto r = static_cast<std::size_t>(region);
        lo = region == 0 ? -1.0 : (xL[r - 1] + xR[r - 1]) / 2;
        hi = region == beam.spans ? beam.length + 1 : (xL[r] + xR[r]) / 2;
    } else {
        lo = xL[static_cast<std::size_t>(region)] - onGrid;
        hi = xR[static_cast<std::size_t>(region)] + onGrid;
    }
    const double end = hi + (region == beam.spans || !topFace ? tiny : 0);
    auto below = [](const Point& p, double v) { return p.x < v; };
    const auto& points = beam.points;
    const auto from = std::lower_bound(points.begin(), points.end(), lo, below);
    const auto to = std::lower_bound(from, points.end(), end, below);
    int first = -1, last = -1;
    if (from != to) {
        first = static_cast<int>(from - points.begin());
        last = static_cast<int>(to - points.begin()) - 1;
    }
    return {first, last};
}

}  // namespace

double roundUpTo5cm(double metres) {
    return std::ceil(metres / gridStep - onGrid) * gridStep;
}

Beam::Beam(const BeamInput& input) : in(input) {
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
    barSeat = engine::barSeat(in.settings);
    hookStartX = barSeat / 100;
    hookEndX = length - barSeat / 100;
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

std::size_t Beam::pointAt(double x) const {
    const auto at = std::lower_bound(points.begin(), points.end(), x - onGrid,
                                     [](const Point& p, double v) { return p.x < v; });
    return std::min(static_cast<std::size_t>(at - points.begin()), points.size() - 1);
}

double Beam::ld(const Bar& bar, bool topFace) const {
    return beamDevelopment(in, barSeat, bar, topFace);
}

double Beam::ldh(const Bar& bar, int support) const {
    return hookAnchorage(in, barSeat, bar, support).ldh / 100;
}

bool Beam::hookFitsIn(const Bar& bar, int support) const {
    return hookAnchorage(in, barSeat, bar, support).fits();
}

Place pointPlace(const Point& p) {
    Place place;
    if (p.face >= 0) {
        place.kind = Place::Kind::Face;
        place.span = p.face / 2 + 1;
        place.side = p.face % 2 == 0 ? Side::Left : Side::Right;
    } else {
        place.kind = Place::Kind::Point;
        if (p.span >= 0)
            place.span = p.span + 1;
        else
            place.support = p.support + 1;
    }
    place.x = p.x;
    return place;
}

std::vector<StationGap> stationGaps(const BeamInput& in) {
    constexpr double shortestGap = 0.005;  // m
    const std::size_t spans = in.spans.size();
    std::vector<double> first(spans, std::numeric_limits<double>::infinity());
    std::vector<double> last(spans, -std::numeric_limits<double>::infinity());
    for (const Station& st : in.stations) {
        if (st.span < 1 || static_cast<std::size_t>(st.span) > spans) continue;
        const auto i = static_cast<std::size_t>(st.span - 1);
        const double x = in.stationsFromCentreline ? st.x - in.supports[i] / 200 : st.x;
        first[i] = std::min(first[i], x);
        last[i] = std::max(last[i], x);
    }
    std::vector<StationGap> gaps;
    for (std::size_t i = 0; i < spans; ++i) {
        if (!std::isfinite(first[i])) continue;
        const int span = static_cast<int>(i) + 1;
        if (first[i] > shortestGap) gaps.push_back({span, Side::Left, first[i]});
        const double ln = in.spans[i].length;
        if (ln - last[i] > shortestGap) gaps.push_back({span, Side::Right, ln - last[i]});
    }
    return gaps;
}

std::optional<Phrase> layOutPoints(Beam& beam) {
    auto outcome = envelopesOf(beam);
    if (const Phrase* message = std::get_if<Phrase>(&outcome)) return *message;
    const std::vector<Envelope>& envelopes = std::get<std::vector<Envelope>>(outcome);
    const int spans = beam.spans;
    const auto& xL = beam.xL;
    const auto& xR = beam.xR;
    auto& points = beam.points;
    const long last = std::lround(std::floor(beam.length / gridStep + tiny));
    std::vector<double> xs;
    xs.reserve(static_cast<std::size_t>(last) + 2 * static_cast<std::size_t>(spans) + 2);
    for (long k = 0; k <= last; ++k) xs.push_back(static_cast<double>(k) * gridStep);
    if (beam.length - xs.back() > tiny) xs.push_back(beam.length);
    for (int i = 0; i < spans; ++i) {
        xs.push_back(xL[static_cast<std::size_t>(i)]);
        xs.push_back(xR[static_cast<std::size_t>(i)]);
    }
    std::sort(xs.begin(), xs.end());
    beam.faceIndex.assign(2 * static_cast<std::size_t>(spans), -1);
    int span = 0;
    for (const double x : xs) {
        if (!points.empty() && x - points.back().x < onGrid) continue;
        Point p;
        p.x = x;
        while (span < spans - 1 && x > xR[static_cast<std::size_t>(span)] + onGrid) ++span;
        const auto s = static_cast<std::size_t>(span);
        if (x >= xL[s] - onGrid && x <= xR[s] + onGrid) {
            p.span = span;
            if (std::abs(x - xL[s]) < onGrid) p.face = 2 * span;
            if (std::abs(x - xR[s]) < onGrid) p.face = 2 * span + 1;
        } else {
            p.support = x < xL[s] ? span : span + 1;
        }
        if (p.face >= 0) {
            p.x = p.face % 2 == 0 ? xL[s] : xR[s];
            beam.faceIndex[static_cast<std::size_t>(p.face)] = static_cast<int>(points.size());
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
            beam.faceIndex[2 * static_cast<std::size_t>(p.support) - 1])];
        const Point& right = points[static_cast<std::size_t>(
            beam.faceIndex[2 * static_cast<std::size_t>(p.support)])];
        p.muNeg = std::max(left.muNeg, right.muNeg);
        p.muPos = std::max(left.muPos, right.muPos);
    }
    for (int j = 0; j <= spans; ++j) beam.topRegions.push_back(regionRange(beam, true, j));
    for (int i = 0; i < spans; ++i) beam.bottomRegions.push_back(regionRange(beam, false, i));
    auto middle = [&](int i) {
        const auto s = static_cast<std::size_t>(i);
        const double x = (xL[s] + xR[s]) / 2;
        return static_cast<int>(beam.pointAt(x));
    };
    for (int j = 0; j <= spans; ++j) {
        const int first = j == 0 ? 0 : middle(j - 1);
        const int lastPoint = j == spans ? static_cast<int>(points.size()) - 1 : middle(j);
        beam.bottomSupportRegions.push_back({first, lastPoint});
    }
    return std::nullopt;
}

}  // namespace engine::beam
