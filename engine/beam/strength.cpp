#include "engine/beam/strength.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "engine/beam/tolerance.h"

namespace engine::beam {

PlacedMarks::PlacedMarks(const Beam& beam, const std::vector<BarMark>& marks)
    : beam_(beam), marks_(marks) {
    for (const BarMark& m : marks) {
        const Bar* bar = findBar(m.bar);
        bars_.push_back(bar);
        development_.push_back({beam.ld(*bar, m.face == BeamFace::Top), beam.ldh(*bar, 0),
                                beam.ldh(*bar, beam.spans)});
    }
}

// The developed steel of one face at x, in layers whose depth is measured from that face.
// `quartered`: the share developed rounded down to quarters, as the compression steel is counted
// (less compression steel never gives more strength, and equal sections recur more often).
double PlacedMarks::steelAt(BeamFace face, double x, std::vector<SteelLayer>& layers,
                            const std::vector<std::size_t>* active, bool quartered,
                            bool whole) const {
    layers.clear();
    double area = 0;
    const std::size_t count = active ? active->size() : marks_.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t k = active ? (*active)[i] : i;
        const BarMark& m = marks_[k];
        if (m.face != face || x < m.start - tiny || x > m.end + tiny) continue;
        const Development& dev = development_[k];
        const double fromStart = (x - m.start) / (m.hookStart ? dev.ldhStart : dev.ld);
        const double fromEnd = (m.end - x) / (m.hookEnd ? dev.ldhEnd : dev.ld);
        double f = whole ? 1.0 : std::clamp(std::min(fromStart, fromEnd), 0.0, 1.0);
        if (quartered) f = std::floor(f * 4 + tiny) / 4;
        const Bar* bar = bars_[k];
        const double a = m.count * bar->supplyArea * f;
        if (a <= 0) continue;
        area += a;
        auto it = std::find_if(layers.begin(), layers.end(), [&](const SteelLayer& l) {
            return std::abs(l.depth - m.depth) < tiny;
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

std::optional<CapacityResult> PlacedMarks::capacityAt(double x, bool negative, double fy,
                                                      bool whole) const {
    std::vector<SteelLayer> t, c;
    steelAt(negative ? BeamFace::Top : BeamFace::Bottom, x, t, nullptr, false, whole);
    steelAt(negative ? BeamFace::Bottom : BeamFace::Top, x, c, nullptr, false, whole);
    if (t.empty()) return std::nullopt;
    for (SteelLayer& l : t) l.depth = beam_.in.h - l.depth;
    return capacityOf(t, c, fy);
}

// Strength of the beam's section with these layers, tension and compression, at this Fy.
std::optional<CapacityResult> PlacedMarks::capacityOf(const std::vector<SteelLayer>& tension,
                                                      const std::vector<SteelLayer>& compression,
                                                      double fy) const {
    CapacityInput ci;
    ci.code = beam_.in.code;
    ci.b = beam_.in.b;
    ci.h = beam_.in.h;
    ci.fc = beam_.in.fc;
    ci.fy = fy;
    ci.tension = tension;
    ci.compression = compression;
    return checkCapacity(ci);
}

Strength PlacedMarks::along() const {
    const auto& points = beam_.points;
    const double h = beam_.in.h;
    const std::size_t count = points.size();
    Strength s;
    s.mnNeg.assign(count, 0);
    s.mnPos.assign(count, 0);
    s.phiNeg.assign(count, 0);
    s.phiPos.assign(count, 0);
    s.areaTop.assign(count, 0);
    s.areaBot.assign(count, 0);
    std::vector<SteelLayer> topLayers, botLayers, topCompression, botCompression, tension;
    // The last section of each sign and its strength: neighbouring points often share them.
    struct Last {
        std::vector<SteelLayer> tension, compression;
        CapacityResult result{};
        bool have = false;
    };
    Last lastNeg, lastPos;
    auto sameLayers = [](const std::vector<SteelLayer>& a, const std::vector<SteelLayer>& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t k = 0; k < a.size(); ++k) {
            if (a[k].area != b[k].area || a[k].depth != b[k].depth) return false;
        }
        return true;
    };
    std::map<std::vector<double>, CapacityResult> cache;
    std::vector<double> key;
    // The marks present at each point, swept along the beam.
    std::vector<std::size_t> order(marks_.size());
    for (std::size_t k = 0; k < marks_.size(); ++k) order[k] = k;
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return marks_[a].start < marks_[b].start; });
    std::vector<std::size_t> active;
    std::size_t next = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const double x = points[k].x;
        while (next < order.size() && marks_[order[next]].start <= x + tiny)
            active.push_back(order[next++]);
        std::erase_if(active, [&](std::size_t m) { return marks_[m].end < x - tiny; });
        s.areaTop[k] = steelAt(BeamFace::Top, x, topLayers, &active);
        s.areaBot[k] = steelAt(BeamFace::Bottom, x, botLayers, &active);
        steelAt(BeamFace::Top, x, topCompression, &active, true);
        steelAt(BeamFace::Bottom, x, botCompression, &active, true);
        for (const bool negative : {true, false}) {
            const std::vector<SteelLayer>& t = negative ? topLayers : botLayers;
            const std::vector<SteelLayer>& c = negative ? botCompression : topCompression;
            if (t.empty()) continue;
            tension.clear();
            for (const SteelLayer& l : t) tension.push_back({l.area, h - l.depth, l.barDiameter});
            Last& last = negative ? lastNeg : lastPos;
            if (!(last.have && sameLayers(tension, last.tension) &&
                  sameLayers(c, last.compression))) {
                // Equal sections recur along a beam (symmetric spans, equal supports).
                key.clear();
                for (const SteelLayer& l : tension)
                    key.insert(key.end(), {l.area, l.depth, l.barDiameter});
                key.push_back(-1);
                for (const SteelLayer& l : c)
                    key.insert(key.end(), {l.area, l.depth, l.barDiameter});
                const auto found = cache.find(key);
                if (found != cache.end()) {
                    last.result = found->second;
                } else {
                    const auto r = capacityOf(tension, c, beam_.in.fy);
                    last.result = r ? *r : CapacityResult{};
                    cache.emplace(key, last.result);
                }
                last.tension = tension;
                last.compression = c;
                last.have = true;
            }
            (negative ? s.mnNeg : s.mnPos)[k] = last.result.mn;
            (negative ? s.phiNeg : s.phiPos)[k] = last.result.phiMn;
        }
    }
    // At the faces the bars that reach them count whole.
    for (const int k : beam_.faceIndex) {
        const auto at = static_cast<std::size_t>(k);
        for (const bool negative : {true, false}) {
            const auto r = capacityAt(points[at].x, negative, beam_.in.fy, true);
            (negative ? s.mnNeg : s.mnPos)[at] = r ? r->mn : 0;
        }
    }
    return s;
}

}  // namespace engine::beam
