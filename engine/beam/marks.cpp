#include "engine/beam/marks.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/beam/rules.h"
#include "engine/beam/tolerance.h"

namespace engine::beam {

namespace {

// A bar's centre from its face, cm: on the stirrup in the first layer, in the second above
// the largest bar of the first layer beside it (the continuous bars or first-layer extras).
double barCentre(const Beam& beam, const std::vector<BarMark>& marks, const FaceChoice& choice,
                 const BarMark& mark) {
    const Bar* bar = findBar(mark.bar);
    if (mark.layer == 1) return beam.barSeat + bar->diameterCm() / 2;
    double below = choice.bar->diameterCm();
    for (const BarMark& other : marks) {
        if (other.face == mark.face && other.layer == 1 && other.start < mark.end &&
            other.end > mark.start) {
            below = std::max(below, findBar(other.bar)->diameterCm());
        }
    }
    return nextLayerBase(beam.barSeat, below) + bar->diameterCm() / 2;
}

}  // namespace

std::vector<BarMark> markBars(const Beam& beam, const FaceChoice& top, const FaceChoice& bottom) {
    std::vector<BarMark> marks;
    for (const bool topFace : {true, false}) {
        const FaceChoice& f = topFace ? top : bottom;
        const BeamFace face = topFace ? BeamFace::Top : BeamFace::Bottom;
        // Continuous bars, one mark per piece between laps.
        double start = beam.hookStartX;
        for (std::size_t k = 0; k <= f.laps.size(); ++k) {
            BarMark m;
            m.face = face;
            m.bar = f.bar->designation;
            m.count = f.count;
            m.start = start;
            m.end = k < f.laps.size() ? f.laps[k].end : beam.hookEndX;
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
    // Lengths as cut. A bar hooked at both ends runs between the hooks' outer faces, its
    // straight length out to out cut down to the whole centimetre; another has its straight part
    // rounded up to 5 cm at a free end. Each hook adds its bend and leg, and the cut length is
    // rounded up to the whole centimetre.
    for (BarMark& m : marks) {
        const Bar* bar = findBar(m.bar);
        const int hooks = m.hookStart + m.hookEnd;
        double straight = 0;  // cm
        if (hooks == 2) {
            straight = std::floor((m.end - m.start) * 100 + onGrid);
        } else {
            const double rounded = roundUpTo5cm(m.end - m.start);
            const double extra = rounded - (m.end - m.start);
            if (m.hookEnd || (!m.hookStart && m.end + extra > beam.hookEndX + tiny)) {
                m.start -= extra;
            } else {
                m.end += extra;
            }
            straight = std::round(rounded * 100);
        }
        m.straight = straight;
        if (hooks > 0) {
            const BentHook hook = bentHook(*bar);
            m.bend = hook.bend;
            m.leg = hook.leg;
        }
        m.length = std::ceil(straight + hooks * hookCutAllowance(*bar) - onGrid) / 100;
        if (hooks > 0) m.hookTail = (m.length - (m.end - m.start)) * 100 / hooks;
        m.mass = m.count * m.length * bar->mass;
    }
    for (BarMark& m : marks)
        m.depth = barCentre(beam, marks, m.face == BeamFace::Top ? top : bottom, m);
    std::stable_sort(marks.begin(), marks.end(), [](const BarMark& a, const BarMark& b) {
        if (a.face != b.face) return a.face == BeamFace::Top;
        if (std::abs(a.start - b.start) > tiny) return a.start < b.start;
        return a.layer < b.layer;
    });
    int topCount = 0, bottomCount = 0;
    for (BarMark& m : marks) {
        const bool onTop = m.face == BeamFace::Top;
        m.mark = onTop ? 'S' : 'I';
        m.mark += std::to_string(onTop ? ++topCount : ++bottomCount);
    }
    return marks;
}

}  // namespace engine::beam
