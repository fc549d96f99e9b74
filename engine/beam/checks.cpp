#include "engine/beam/checks.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include "engine/beam/rules.h"
#include "engine/beam/tolerance.h"

namespace engine::beam {

Place spanPlace(int span) {
    Place place;
    place.kind = Place::Kind::Span;
    place.span = span + 1;
    return place;
}

Place supportPlace(int support, double x) {
    Place place;
    place.kind = Place::Kind::Support;
    place.support = support + 1;
    place.x = x;
    return place;
}

Place facePlace(int span, Side side) {
    Place place;
    place.kind = Place::Kind::Face;
    place.span = span + 1;
    place.side = side;
    return place;
}

Check check(CheckRule rule, Place place, bool passes, double value, double limit) {
    Check c;
    c.rule = rule;
    c.place = place;
    c.passes = passes;
    c.value = value;
    c.limit = limit;
    return c;
}

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();


// Strength, minimum steel and the largest ratio, each face of each span at its worst point.
void addSectionChecks(std::vector<Check>& checks, const Beam& beam, const Strength& s) {
    const BeamInput& in = beam.in;
    const auto& points = beam.points;
    const int spans = beam.spans;
    for (int i = 0; i < spans; ++i) {
        for (const bool negative : {true, false}) {
            const BeamFace face = negative ? BeamFace::Top : BeamFace::Bottom;
            double worst = infinity;
            std::size_t at = 0;
            double minWorst = infinity;
            std::size_t minAt = 0;
            double rhoWorst = 0;
            std::size_t rhoAt = 0;
            const double d = negative ? beam.dTop : beam.dBot;
            // The span's points and those over the interior support that follows it.
            const std::size_t through =
                i + 1 < spans ? beam.spanFirst(i + 1) - 1 : beam.spanLast(i);
            for (std::size_t k = beam.spanFirst(i); k <= through; ++k) {
                const Point& p = points[k];
                const int spanOfPoint = p.span >= 0 ? p.span : p.support == 0 ? 0 : p.support - 1;
                if (spanOfPoint != i || (p.span < 0 && (p.support == 0 || p.support == spans))) {
                    continue;
                }
                const double mu = negative ? p.muNeg : p.muPos;
                const double cap = negative ? s.phiNeg[k] : s.phiPos[k];
                if (mu > 0 && cap - mu < worst) {
                    worst = cap - mu;
                    at = k;
                }
                const double area = negative ? s.areaTop[k] : s.areaBot[k];
                if (beam.seismic || mu > 0) {
                    const double margin = area - beam.rhoMin * in.b * d;
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
                const double cap = negative ? s.phiNeg[at] : s.phiPos[at];
                Check c = check(CheckRule::Strength, pointPlace(p), cap >= mu * (1 - tiny), cap, mu);
                c.face = face;
                checks.push_back(c);
            }
            if (minWorst < infinity) {
                const double area = negative ? s.areaTop[minAt] : s.areaBot[minAt];
                Check c = check(CheckRule::MinimumSteel, pointPlace(points[minAt]),
                                minWorst >= -tiny, area, beam.rhoMin * in.b * d);
                c.face = face;
                checks.push_back(c);
            }
            if (beam.seismic) {
                Check c = check(CheckRule::MaximumRatio, pointPlace(points[rhoAt]),
                                rhoWorst <= rhoLimit + ratioTiny, rhoWorst, rhoLimit);
                c.face = face;
                checks.push_back(c);
            }
        }
    }
}

// The shares of the nominal strengths, at the faces and anywhere along each span.
void addShareChecks(std::vector<Check>& checks, const Beam& beam, const Strength& s) {
    const MomentShares shares = momentShares(beam.in.seismicClass);
    const double faceShare = 1.0 / shares.face, anyShare = 1.0 / shares.anywhere;
    for (int i = 0; i < beam.spans; ++i) {
        double largest = 0;
        for (int side = 0; side < 2; ++side) {
            const int f = 2 * i + side;
            const auto k = static_cast<std::size_t>(beam.faceIndex[static_cast<std::size_t>(f)]);
            largest = std::max({largest, s.mnNeg[k], s.mnPos[k]});
            Check c = check(CheckRule::FaceMoment, pointPlace(beam.points[k]),
                            s.mnPos[k] >= faceShare * s.mnNeg[k] * (1 - tiny), s.mnPos[k],
                            faceShare * s.mnNeg[k]);
            c.share = shares.face;
            checks.push_back(c);
        }
        double low = infinity;
        std::size_t at = 0;
        for (std::size_t k = beam.spanFirst(i); k <= beam.spanLast(i); ++k) {
            const double m = std::min(s.mnNeg[k], s.mnPos[k]);
            if (m < low) {
                low = m;
                at = k;
            }
        }
        Check c = check(CheckRule::SpanMoment, pointPlace(beam.points[at]),
                        low >= anyShare * largest * (1 - tiny), low, anyShare * largest);
        c.share = shares.anywhere;
        checks.push_back(c);
    }
}

// The geometric limits of the class: DES span length, width and 20 db supports; DMO width.
void addGeometryChecks(std::vector<Check>& checks, const Beam& beam,
                       const std::vector<BarMark>& marks) {
    const BeamInput& in = beam.in;
    if (in.seismicClass == SeismicClass::Des) {
        const double d = std::max(beam.dTop, beam.dBot);
        for (int i = 0; i < beam.spans; ++i) {
            const double ln = in.spans[static_cast<std::size_t>(i)].length;
            checks.push_back(check(CheckRule::SpanLength, spanPlace(i), ln * 100 >= 4 * d - tiny,
                                   ln, 4 * d / 100));
        }
        const double least = std::min(0.3 * in.h, 25.0);
        Check width = check(CheckRule::Width, Place{}, in.b >= least - tiny, in.b, least);
        width.desForm = true;
        checks.push_back(width);
        for (int j = 1; j < beam.spans; ++j) {
            const auto k = static_cast<std::size_t>(j);
            const double x = (beam.supL[k] + beam.supR[k]) / 2;
            double db = 0;
            for (const BarMark& m : marks) {
                if (m.start < x && m.end > x) db = std::max(db, findBar(m.bar)->diameterCm());
            }
            const double supportWidth = beam.supportWidth(j);
            checks.push_back(check(CheckRule::SupportWidth, supportPlace(j, x),
                                   passesThroughSupport(db, supportWidth), supportWidth,
                                   supportBarDiameters * db));
        }
    } else if (in.seismicClass == SeismicClass::Dmo) {
        checks.push_back(check(CheckRule::Width, Place{}, in.b >= 20 - tiny, in.b, 20));
    }
}

// The proportions of each span: no deep beam in DMO and DMI (DES holds ln >= 4 d), and the
// height that spares computing deflections, by the span's continuous ends.
void addProportionChecks(std::vector<Check>& checks, const Beam& beam) {
    const BeamInput& in = beam.in;
    for (int i = 0; i < beam.spans; ++i) {
        const double ln = in.spans[static_cast<std::size_t>(i)].length;
        if (in.seismicClass != SeismicClass::Des) {
            const double least = deepBeamSpanToHeight * in.h / 100;
            checks.push_back(
                check(CheckRule::DeepBeam, spanPlace(i), ln >= least - tiny, ln, least));
        }
        const int continuousEnds = (i > 0 ? 1 : 0) + (i + 1 < beam.spans ? 1 : 0);
        const double least = ln * 100 / minimumDepthDivisor(continuousEnds);
        Check c = check(CheckRule::MinimumDepth, spanPlace(i), in.h >= least - tiny, in.h, least);
        c.count = continuousEnds;
        checks.push_back(c);
    }
}

// The bars of each layer at every point, lapped pieces side by side.
void addFitChecks(std::vector<Check>& checks, const Beam& beam,
                  const std::vector<BarMark>& marks) {
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
            const std::size_t k = beam.pointAt(x);
            for (int layer = 1; layer <= 2; ++layer) {
                Layer bars;
                double lapped = 0;  // the second bar of each contact lap
                bool continuousSeen = false;
                for (const BarMark& m : marks) {
                    if (m.face != face || m.layer != layer || x < m.start - tiny ||
                        x > m.end + tiny) {
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
                const double width = layerWidth(beam.in.settings, bars) + lapped;
                if (width - beam.available > worst) {
                    worst = width - beam.available;
                    at = k;
                    worstWidth = width;
                }
            }
        }
        Check c = check(CheckRule::Fit, pointPlace(beam.points[at]), worst <= tiny, worstWidth,
                        beam.available);
        c.face = face;
        checks.push_back(c);
    }
}

// Laps of the continuous bars: class B length, never in a support, in DES clear of 2h from the
// faces and where the demand stays below the strength.
void addLapChecks(std::vector<Check>& checks, const Beam& beam, const std::vector<BarMark>& marks,
                  const Strength& s) {
    const bool des = beam.in.seismicClass == SeismicClass::Des;
    const auto& points = beam.points;
    for (const BeamFace face : {BeamFace::Top, BeamFace::Bottom}) {
        std::vector<const BarMark*> pieces;
        for (const BarMark& m : marks) {
            if (m.face == face && m.continuous) pieces.push_back(&m);
        }
        for (std::size_t k = 0; k + 1 < pieces.size(); ++k) {
            const BarMark& a = *pieces[k];
            const BarMark& b = *pieces[k + 1];
            const double start = b.start, end = a.end;
            const double need = lapLength(beam.ld(*findBar(a.bar), face == BeamFace::Top));
            int span = -1;
            for (int i = 0; i < beam.spans; ++i) {
                if (start >= beam.xL[static_cast<std::size_t>(i)] - tiny &&
                    end <= beam.xR[static_cast<std::size_t>(i)] + tiny) {
                    span = i;
                }
            }
            bool ok = end - start >= need - tiny && span >= 0;
            if (ok && des) {
                const double twoH = lapClearance(beam.in.h);
                const auto sp = static_cast<std::size_t>(span);
                ok = start >= beam.xL[sp] + twoH - tiny && end <= beam.xR[sp] - twoH + tiny;
                for (std::size_t p = 0; p < points.size() && ok; ++p) {
                    if (points[p].x < start || points[p].x > end) continue;
                    const double mu = face == BeamFace::Top ? points[p].muNeg : points[p].muPos;
                    const double cap = face == BeamFace::Top ? s.phiNeg[p] : s.phiPos[p];
                    if (mu > 0 && mu >= cap) ok = false;
                }
            }
            Place place = span >= 0 ? spanPlace(span) : supportPlace(-1, start);
            place.x = start;
            Check c = check(CheckRule::Lap, place, ok, end - start, need);
            c.firstMark = a.mark;
            c.secondMark = b.mark;
            c.count = a.count;
            c.bar = a.bar;
            c.from = start;
            c.to = end;
            c.desForm = des;
            checks.push_back(c);
        }
    }
}

// Hooks: the length available in the outer supports, inside the column's core; where a hook
// does not fit, what would.
void addHookChecks(std::vector<Check>& checks, const Beam& beam,
                   const std::vector<BarMark>& marks) {
    const BeamInput& in = beam.in;
    for (const int j : {0, beam.spans}) {
        std::optional<HookAnchorage> worst;
        int barNeeding = 0;
        for (const BarMark& m : marks) {
            if ((j == 0 && m.hookStart) || (j == beam.spans && m.hookEnd)) {
                const HookAnchorage hook = hookAnchorage(in, beam.barSeat, *findBar(m.bar), j);
                if (!worst || hook.ldh - hook.room > worst->ldh - worst->room) {
                    worst = hook;
                    barNeeding = m.bar;
                }
            }
        }
        if (!worst) continue;
        Check c = check(CheckRule::HookLength,
                        supportPlace(j, j == 0 ? beam.xL.front() : beam.xR.back()),
                        worst->fits(), worst->ldh, worst->room);
        c.bar = barNeeding;
        if (worst->reduced)
            c.hookUnreduced = hookDevelopmentLength(in.fc, in.fy, barNeeding, in.seismicClass);
        if (!c.passes) {
            const HookRemedy remedy = hookRemedy(in, beam.barSeat, *findBar(barNeeding), j);
            c.remedyBar = remedy.bar;
            c.remedySupport = remedy.supportWidth;
        }
        checks.push_back(c);
    }
}

// Top bars cut where the negative moment still acts: the top bars going on there (the
// developed steel at the cut, where the bar cut is no longer) give at least twice the area the
// moment needs. The worst such cut.
void addTopCutOffChecks(std::vector<Check>& checks, const Beam& beam,
                        const std::vector<BarMark>& marks, const Strength& s,
                        const std::vector<Need>& needs) {
    std::optional<Check> worst;
    for (const BarMark& m : marks) {
        if (m.face != BeamFace::Top || m.continuous) continue;
        for (const auto& [x, hooked] :
             {std::pair{m.start, m.hookStart}, std::pair{m.end, m.hookEnd}}) {
            if (hooked) continue;
            const std::size_t k = beam.pointAt(x);
            if (beam.points[k].muNeg <= 0) continue;
            const double need = 2 * needs[k].strTop;
            const double margin = s.areaTop[k] - need;
            if (worst && margin >= worst->value - worst->limit) continue;
            Check c = check(CheckRule::TopCutOff, pointPlace(beam.points[k]), margin >= -tiny,
                            s.areaTop[k], need);
            c.firstMark = m.mark;
            worst = c;
        }
    }
    if (worst) checks.push_back(*worst);
}

}  // namespace

std::vector<Check> checkDesign(const Beam& beam, const FaceChoice& top, const FaceChoice& bottom,
                               const std::vector<BarMark>& marks, const Strength& strength,
                               const std::vector<Need>& needs) {
    std::vector<Check> checks;
    addSectionChecks(checks, beam, strength);
    if (beam.seismic) addShareChecks(checks, beam, strength);
    // Continuous bars along the whole beam, and enough of them below in each span.
    Check continuous = check(CheckRule::ContinuousBars, Place{},
                             top.count >= 2 && bottom.count >= 2, 0, 2);
    continuous.count = top.count;
    continuous.bar = top.bar->designation;
    continuous.bottomCount = bottom.count;
    continuous.bottomBar = bottom.bar->designation;
    checks.push_back(continuous);
    for (int i = 0; i < beam.spans; ++i) {
        double largest = 0;
        for (std::size_t k = beam.spanFirst(i); k <= beam.spanLast(i); ++k)
            largest = std::max(largest, strength.areaBot[k]);
        const double cont = bottom.count * bottom.bar->supplyArea;
        checks.push_back(check(CheckRule::ContinuousBottom, spanPlace(i),
                               cont >= largest / 4 - tiny, cont, largest / 4));
    }
    addGeometryChecks(checks, beam, marks);
    addProportionChecks(checks, beam);
    addFitChecks(checks, beam, marks);
    addLapChecks(checks, beam, marks, strength);
    addHookChecks(checks, beam, marks);
    addTopCutOffChecks(checks, beam, marks, strength, needs);
    return checks;
}

}  // namespace engine::beam
