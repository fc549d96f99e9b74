#include "engine/beam/stirrups.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "engine/beam/checks.h"
#include "engine/beam/checktext.h"
#include "engine/beam/rules.h"
#include "engine/beam/tolerance.h"

namespace engine::beam {

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double firstHoopM = firstHoop / 100;

// A stretch of a span with one spacing, local to the span (m from its left face).
struct Stretch {
    double a = 0, b = 0;
    ZoneKind kind = ZoneKind::Rest;
    int base = 0;           // the part of the span it was cut from (hoop zone, closer, middle)
    double limit = infinity;  // the spacing its rule allows, cm
    double spacing = 0;     // whole cm
    std::vector<double> positions;
};

// The section's figures for shear and the bar of the stirrups.
struct ShearSection {
    const Bar* hoop = nullptr;
    double phi = 0, fyt = 0, bw = 0, fc = 0, d = 0;
    double vc = 0, vsLimit = 0;
    DesignCode code = DesignCode::Nsr10;
    double minimumPerCm = 0;  // Av,min for 1 cm of spacing, cm2
    double av(int legs) const { return legs * hoop->supplyArea; }
    // The spacing C.11 allows where the stirrups must give vs, with `legs` legs (cm, exact).
    double spacingFor(double vs, int legs) const {
        return std::min({strengthSpacing(av(legs), fyt, d, vs), shearSpacingLimit(vs, fc, bw, d),
                         av(legs) / minimumPerCm});
    }
};

// The positions of a span's pieces and its stretches, laid out from both faces inwards: the
// first piece 5 cm from each face, each stretch's pieces until one reaches its far end, and
// the stretch about midspan (the filler) evenly between the last pieces of both sides.
void placePieces(std::vector<Stretch>& stretches, std::size_t filler, double ln) {
    double last = 0;
    for (std::size_t j = 0; j < filler; ++j) {
        Stretch& st = stretches[j];
        double p = j == 0 ? firstHoopM : last + st.spacing / 100;
        st.positions.push_back(p);
        while (p < st.b - onGrid) {
            p += st.spacing / 100;
            st.positions.push_back(p);
        }
        last = p;
    }
    const double leftEnd = filler == 0 ? firstHoopM : last;
    for (std::size_t j = stretches.size() - 1; j > filler; --j) {
        Stretch& st = stretches[j];
        double p = j + 1 == stretches.size() ? ln - firstHoopM : last - st.spacing / 100;
        st.positions.push_back(p);
        while (p > st.a + onGrid) {
            p -= st.spacing / 100;
            st.positions.push_back(p);
        }
        std::reverse(st.positions.begin(), st.positions.end());
        last = p;
    }
    // Pieces of the right side that reach the left side's last (both sides overshot the room
    // between them) are not needed: the left side's pieces hold their place.
    for (std::size_t j = filler + 1; j < stretches.size(); ++j) {
        std::vector<double>& positions = stretches[j].positions;
        const double spacing = stretches[j].spacing / 100;
        // Also a piece closer than 5 cm to it, where the next one is near enough without it.
        std::size_t drop = 0;
        while (drop < positions.size() &&
               (positions[drop] <= leftEnd + onGrid ||
                (positions[drop] < leftEnd + closestStirrups / 100 &&
                 drop + 1 < positions.size() && positions[drop + 1] - leftEnd <= spacing + onGrid)))
            ++drop;
        positions.erase(positions.begin(), positions.begin() + static_cast<long>(drop));
        if (!positions.empty()) break;
    }
    double rightEnd = ln - firstHoopM;
    for (std::size_t j = filler + 1; j < stretches.size(); ++j) {
        if (!stretches[j].positions.empty()) {
            rightEnd = stretches[j].positions.front();
            break;
        }
    }
    Stretch& st = stretches[filler];
    if (filler == 0) st.positions.push_back(leftEnd);
    const double room = rightEnd - leftEnd;
    if (room > onGrid) {
        const int spaces = std::max(1, static_cast<int>(std::ceil(room * 100 / st.spacing - tiny)));
        for (int t = 1; t < spaces; ++t) st.positions.push_back(leftEnd + room * t / spaces);
    }
    const bool rightPieces = std::any_of(stretches.begin() + static_cast<long>(filler) + 1,
                                         stretches.end(),
                                         [](const Stretch& t) { return !t.positions.empty(); });
    if (!rightPieces && (filler != 0 || room > onGrid)) st.positions.push_back(rightEnd);
}

// Where a bar stops in a tension zone: the stirrups there give φVn >= 3/2 Vu, or 4/3 Vu
// where the bars going on give twice the area the moment needs (up to N° 11); where the
// section cannot give that, extra stirrups along the bar for 3/4 d from its end.
struct Cut {
    std::size_t point = 0;
    const BarMark* mark = nullptr;
    bool doubled = false;  // the area condition holds
    double beta = 0;       // the share of the face's bars the cut stops
    int along = 1;         // the bar goes on to the right of the cut (1) or to its left (-1)
    bool extra = false;    // extra stirrups rather than φVn
    double extraSpacing = 0;  // cm, the largest they allow
    double share() const { return doubled ? cutOffShareWithArea : cutOffShare; }
};

std::vector<Cut> cutsInTension(const Beam& beam, const std::vector<BarMark>& bars,
                               const std::vector<Need>& needs, const Strength& strength) {
    std::vector<Cut> cuts;
    for (const BarMark& m : bars) {
        if (m.continuous) continue;
        for (const auto& [x, hooked] :
             {std::pair{m.start, m.hookStart}, std::pair{m.end, m.hookEnd}}) {
            if (hooked) continue;
            const std::size_t k = beam.pointAt(x);
            const Point& p = beam.points[k];
            if (p.span < 0) continue;
            const bool top = m.face == BeamFace::Top;
            if ((top ? p.muNeg : p.muPos) <= 0) continue;
            const double goingOn = top ? strength.areaTop[k] : strength.areaBot[k];
            const double need = top ? needs[k].strTop : needs[k].strBot;
            const double stopped = m.count * findBar(m.bar)->supplyArea;
            Cut cut{k, &m, cutOffAreaHolds(m.bar, goingOn, need)};
            cut.beta = stopped / (goingOn + stopped);
            cut.along = x == m.start ? 1 : -1;
            cuts.push_back(cut);
        }
    }
    return cuts;
}

// The points from a to b (m from a span's left face) of those at `us`, increasing: the first
// index and one past the last.
std::pair<std::size_t, std::size_t> pointsWithin(const std::vector<double>& us, double a,
                                                 double b) {
    const auto first = std::lower_bound(us.begin(), us.end(), a - onGrid);
    const auto last = std::upper_bound(us.begin(), us.end(), b + onGrid);
    return {static_cast<std::size_t>(first - us.begin()), static_cast<std::size_t>(last - us.begin())};
}

// The bars of the first layer of a face at x: their count and the sum of their diameters.
std::pair<int, double> firstLayerAt(const std::vector<BarMark>& bars, BeamFace face, double x) {
    int count = 0;
    double sum = 0;
    for (const BarMark& m : bars) {
        if (m.face != face || m.layer != 1 || m.start > x + tiny || m.end < x - tiny) continue;
        count += m.count;
        sum += m.count * findBar(m.bar)->diameterCm();
    }
    return {count, sum};
}



// A span's stirrups as laid out, for its checks.
struct SpanStirrups {
    int span = 0;
    double ln = 0, x0 = 0;  // clear span and its left face, m
    const SpanShear* shear = nullptr;
    ShearSection sec;
    std::vector<double> us;  // the points' places from the left face, m
    std::vector<std::size_t> pts;
    std::vector<double> vsNeed;  // what the stirrups must give at each point, Tn
    double vsWorst = 0;          // the largest Vu / φ − Vc, Tn
    int legs = 2, ties = 0;
    CrosstieNeed held;
    std::vector<Stretch> stretches;
    std::vector<Cut*> cuts;
};

// The checks of shear of one span: φVn at its worst point, each kind of zone's spacing, Av,min,
// the section's limit, Vc at the faces (DES), the first hoop, the crossties (DES) and the worst
// cut of each kind.
void addSpanChecks(std::vector<Check>& checks, const Beam& beam, const ShearDemand& demand,
                   const std::vector<double>& phiVn, const SpanStirrups& laid) {
    const BeamInput& in = beam.in;
    const bool des = in.seismicClass == SeismicClass::Des;
    const int i = laid.span;
    const double ln = laid.ln, x0 = laid.x0;
    const SpanShear& shear = *laid.shear;
    const ShearSection& sec = laid.sec;
    const auto& pts = laid.pts;
    const auto& vsNeed = laid.vsNeed;
    const auto& stretches = laid.stretches;
    const auto& spanCuts = laid.cuts;
    const int legs = laid.legs, ties = laid.ties;
    const CrosstieNeed& held = laid.held;
    const double vsWorst = laid.vsWorst;
    auto within = [&laid](double a, double b) { return pointsWithin(laid.us, a, b); };
    double margin = infinity;
    std::size_t worstAt = pts.front();
    for (const std::size_t k : pts) {
        if (phiVn[k] - demand.vu[k] < margin) {
            margin = phiVn[k] - demand.vu[k];
            worstAt = k;
        }
    }
    checks.push_back(check(CheckRule::ShearStrength,
                                       pointPlace(beam.points[worstAt]),
                                       phiVn[worstAt] >= demand.vu[worstAt] * (1 - tiny),
                                       phiVn[worstAt], demand.vu[worstAt]));
    for (const ZoneKind kind : {ZoneKind::Confinement, ZoneKind::Lap, ZoneKind::Rest}) {
        const Stretch* worst = nullptr;
        double worstLimit = 0;
        for (const Stretch& st : stretches) {
            if (st.kind != kind || st.positions.empty()) continue;
            // The limit of C.11 where the stirrups carry the most, and the zone's own.
            double vsMost = 0;
            const auto [first, last] = within(st.a, st.b);
            for (std::size_t n = first; n < last; ++n) vsMost = std::max(vsMost, vsNeed[n]);
            const double limit =
                std::min(st.limit, shearSpacingLimit(vsMost, in.fc, in.b, sec.d));
            if (worst == nullptr || st.spacing - limit > worst->spacing - worstLimit) {
                worst = &st;
                worstLimit = limit;
            }
        }
        if (worst == nullptr) continue;
        Check c = check(CheckRule::StirrupSpacing, spanPlace(i),
                             worst->spacing <= worstLimit + tiny, worst->spacing, worstLimit);
        c.zone = kind;
        checks.push_back(c);
    }
    double widest = 0;
    for (const Stretch& st : stretches) widest = std::max(widest, st.spacing);
    const double avMin = minimumStirrupArea(in.code, in.fc, in.b, widest, sec.fyt);
    checks.push_back(check(CheckRule::MinimumStirrups, spanPlace(i),
                                       sec.av(legs) >= avMin * (1 - tiny), sec.av(legs),
                                       avMin));
    checks.push_back(check(CheckRule::ShearSection, spanPlace(i), true, vsWorst,
                                       sec.vsLimit));
    if (des) {
        for (const Side side : {Side::Left, Side::Right}) {
            const bool left = side == Side::Left;
            const double ve = left ? shear.left : shear.right;
            Check c = check(CheckRule::ConcreteShear, facePlace(i, side), true,
                                 left ? shear.seismicLeft : shear.seismicRight, ve / 2);
            c.desForm = left ? shear.noConcreteLeft : shear.noConcreteRight;
            checks.push_back(c);
        }
    }
    const double firstLeft = stretches.front().positions.front() * 100;
    const double firstRight = (ln - stretches.back().positions.back()) * 100;
    const double first = std::max(firstLeft, firstRight);
    checks.push_back(check(CheckRule::FirstHoop, spanPlace(i),
                                       first <= firstHoop + onGrid, first, firstHoop));
    if (des) {
        Check c = check(CheckRule::Crossties, spanPlace(i),
                             held.worstClear <= unsupportedBarClear + tiny, held.worstClear,
                             unsupportedBarClear);
        c.count = std::max(ties, held.crossties);
        checks.push_back(c);
    }
    // The worst cut of each kind: by the share of φVn, and with extra stirrups.
    std::optional<Check> worstCut, worstExtra;
    for (const Cut* cut : spanCuts) {
        const std::size_t k = cut->point;
        if (cut->extra) {
            // The widest stretch over the 3/4 d the extra stirrups cover.
            const double u = beam.points[k].x - x0;
            const double reach = extraStirrupsReach(sec.d) * cut->along;
            const double from = std::min(u, u + reach), to = std::max(u, u + reach);
            double widest = 0;
            for (const Stretch& st : stretches)
                if (st.b > from + onGrid && st.a < to - onGrid)
                    widest = std::max(widest, st.spacing);
            if (worstExtra && widest - cut->extraSpacing <= worstExtra->value - worstExtra->limit)
                continue;
            Check c = check(CheckRule::CutOffShear, pointPlace(beam.points[k]),
                                 widest <= cut->extraSpacing + tiny, widest, cut->extraSpacing);
            c.firstMark = cut->mark->mark;
            c.count = cutOffExtraStirrups;
            worstExtra = c;
            continue;
        }
        const double limit = cut->share() * phiVn[k];
        if (worstCut && demand.vu[k] - limit <= worstCut->value - worstCut->limit) continue;
        Check c = check(CheckRule::CutOffShear, pointPlace(beam.points[k]),
                             demand.vu[k] <= limit * (1 + tiny), demand.vu[k], limit);
        c.firstMark = cut->mark->mark;
        c.count = cut->doubled ? cutOffWithArea : cutOffShareOfStrength;
        worstCut = c;
    }
    if (worstCut) checks.push_back(*worstCut);
    if (worstExtra) checks.push_back(*worstExtra);
}

}  // namespace

std::variant<StirrupDesign, Phrase> designStirrups(const Beam& beam, const ShearDemand& demand,
                                                   const std::vector<BarMark>& bars,
                                                   const std::vector<Need>& needs,
                                                   const Strength& strength) {
    const BeamInput& in = beam.in;
    StirrupDesign design;
    design.phiVn.assign(beam.points.size(), 0.0);
    design.vc.assign(beam.points.size(), 0.0);
    ShearSection sec;
    sec.hoop = findBar(in.settings.stirrupDesignation);
    sec.phi = shearPhi(in.code);
    sec.fyt = stirrupFy(in.fy);
    sec.bw = in.b;
    sec.fc = in.fc;
    sec.code = in.code;
    sec.minimumPerCm = minimumStirrupArea(in.code, in.fc, in.b, 1, sec.fyt);
    const double dbHoop = sec.hoop->diameterCm();
    double dbSmallest = infinity;
    for (const BarMark& m : bars) dbSmallest = std::min(dbSmallest, findBar(m.bar)->diameterCm());
    const bool des = in.seismicClass == SeismicClass::Des;
    const double twoH = confinementLength(in.h);
    int hoops = 0, crossties = 0;
    // Laps of the continuous bars (DES): hoops over each, m along the beam.
    std::vector<std::pair<double, double>> laps;
    if (des) {
        for (const BeamFace face : {BeamFace::Top, BeamFace::Bottom}) {
            const BarMark* previous = nullptr;
            for (const BarMark& m : bars) {
                if (m.face != face || !m.continuous) continue;
                if (previous != nullptr && previous->end > m.start)
                    laps.push_back({m.start, previous->end});
                previous = &m;
            }
        }
    }
    std::vector<Cut> cuts = cutsInTension(beam, bars, needs, strength);

    for (int i = 0; i < beam.spans; ++i) {
        const auto si = static_cast<std::size_t>(i);
        const SpanShear& shear = demand.spans[si];
        const double ln = in.spans[si].length;
        const double x0 = beam.xL[si];
        sec.d = shear.d;
        sec.vc = concreteShear(in.fc, in.b, sec.d);
        sec.vsLimit = sectionShearLimit(in.fc, in.b, sec.d);
        const double confined = beam.seismic ? std::min(twoH, ln / 2) : 0.0;
        auto vcAt = [&](double u) {
            const bool none = (shear.noConcreteLeft && u <= twoH + onGrid) ||
                              (shear.noConcreteRight && u >= ln - twoH - onGrid);
            return none ? 0.0 : sec.vc;
        };
        std::vector<std::size_t> pts;
        std::vector<double> us;  // each point's place from the left face, m, increasing
        for (std::size_t k = beam.spanFirst(i); k <= beam.spanLast(i); ++k) {
            if (beam.points[k].span != i) continue;
            pts.push_back(k);
            us.push_back(beam.points[k].x - x0);
        }
        auto within = [&us](double a, double b) { return pointsWithin(us, a, b); };
        // The shear the stirrups must carry at each point; a section that cannot take it ends
        // the design.
        std::vector<double> vsNeed(pts.size(), 0.0);
        double vsWorst = 0;
        for (std::size_t n = 0; n < pts.size(); ++n) {
            const std::size_t k = pts[n];
            const double vu = demand.vu[k];
            const double vs = vu / sec.phi - vcAt(us[n]);
            if (vs > sec.vsLimit * (1 + tiny)) {
                return Phrase() << placePhrase(pointPlace(beam.points[k]))
                                << ": la sección no resiste el cortante Vu = " << Figure{vu, 2}
                                << " Tn (Vs = " << Figure{vs, 2} << " > " << Figure{2.1, 1} << " √f'c bw d = "
                                << Figure{sec.vsLimit, 2} << " Tn): aumente b o h";
            }
            vsWorst = std::max(vsWorst, vs);
            vsNeed[n] = vs;
        }
        // The cuts of the span: φVn enough for the share of it Vu may take, or extra stirrups.
        std::vector<Cut*> spanCuts;
        for (Cut& cut : cuts) {
            if (beam.points[cut.point].span != i) continue;
            spanCuts.push_back(&cut);
            const auto n = static_cast<std::size_t>(
                std::lower_bound(us.begin(), us.end(), beam.points[cut.point].x - x0 - onGrid) -
                us.begin());
            const double vs = demand.vu[cut.point] / cut.share() / sec.phi - vcAt(us[n]);
            cut.extra = vs > sec.vsLimit * (1 + tiny);
            if (!cut.extra) vsNeed[n] = std::max(vsNeed[n], vs);
        }
        // More legs (crossties through every piece) before a spacing below 5 cm.
        int ties = 0;
        std::vector<double> sreq(pts.size());
        auto tightest = [&](int legs) {
            for (std::size_t n = 0; n < pts.size(); ++n) sreq[n] = sec.spacingFor(vsNeed[n], legs);
            for (Cut* cut : spanCuts) {
                if (!cut->extra) continue;
                const double u = beam.points[cut->point].x - x0;
                const double reach = extraStirrupsReach(sec.d) * cut->along;
                const auto [first, last] = within(std::min(u, u + reach), std::max(u, u + reach));
                double vsMost = 0;
                for (std::size_t n = first; n < last; ++n) vsMost = std::max(vsMost, vsNeed[n]);
                cut->extraSpacing = extraStirrupSpacing(sec.av(legs), sec.fyt, sec.d, in.b,
                                                        vsMost, cut->beta);
                for (std::size_t n = first; n < last; ++n)
                    sreq[n] = std::min(sreq[n], cut->extraSpacing);
            }
            return *std::min_element(sreq.begin(), sreq.end());
        };
        while (wholeSpacing(tightest(2 + ties)) < closestStirrups && ties < 4) ++ties;
        const int legs = 2 + ties;
        // Crossties of the hoop zones, for the bars of the first layers at both faces.
        CrosstieNeed held;
        if (des) {
            for (const double x : {beam.xL[si], beam.xR[si]}) {
                for (const BeamFace face : {BeamFace::Top, BeamFace::Bottom}) {
                    const auto [count, sum] = firstLayerAt(bars, face, x);
                    const CrosstieNeed need = crosstiesFor(count, sum, beam.available);
                    held.crossties = std::max(held.crossties, need.crossties);
                    held.worstClear = std::max(held.worstClear, need.worstClear);
                }
            }
        }
        // Where only the limits govern: from the end of the left hoop zone to the last point of
        // the left half that needs closer stirrups, and the same from the right.
        const double loose = wholeSpacing(sec.spacingFor(0, legs));
        double xl = confined, xr = ln - confined;
        for (std::size_t n = 0; n < pts.size(); ++n) {
            const double u = us[n];
            if (wholeSpacing(sreq[n]) >= loose) continue;
            if (u > confined && u <= ln / 2) xl = std::max(xl, u);
            if (u >= ln / 2 && u < ln - confined) xr = std::min(xr, u);
        }
        // The parts of the span: 0 left hoop zone, 1 left closer stirrups, 2 the middle,
        // 3 right closer stirrups, 4 right hoop zone; laps (DES) cut into them.
        std::vector<double> cutsAt{0, confined, xl, xr, ln - confined, ln};
        std::vector<std::pair<double, double>> spanLaps;
        for (const auto& [from, to] : laps) {
            const double a = std::max(from - x0, confined), b = std::min(to - x0, ln - confined);
            if (b - a > onGrid) {
                spanLaps.push_back({a, b});
                cutsAt.insert(cutsAt.end(), {a, b});
            }
        }
        std::sort(cutsAt.begin(), cutsAt.end());
        std::vector<Stretch> stretches;
        for (std::size_t c = 0; c + 1 < cutsAt.size(); ++c) {
            const double a = cutsAt[c], b = cutsAt[c + 1];
            if (b - a <= onGrid) continue;
            const double mid = (a + b) / 2;
            Stretch st;
            st.a = a;
            st.b = b;
            st.base = mid < confined ? 0 : mid < xl ? 1 : mid < xr ? 2 : mid < ln - confined ? 3 : 4;
            if (st.base == 0 || st.base == 4) {
                st.kind = ZoneKind::Confinement;
                st.limit = hoopZoneSpacing(in.code, in.seismicClass, sec.d, dbSmallest, dbHoop);
            }
            for (const auto& [la, lb] : spanLaps) {
                if (mid > la && mid < lb) {
                    st.kind = ZoneKind::Lap;
                    st.limit = lapHoopSpacing(sec.d);
                }
            }
            if (!stretches.empty() && stretches.back().base == st.base &&
                stretches.back().kind == st.kind) {
                stretches.back().b = b;
            } else {
                stretches.push_back(st);
            }
        }
        // The middle stretch fills the room the sides leave: the rest about midspan, else the
        // longest rest, else whatever lies at midspan. The stretches before it are laid out
        // from the left face, those after it from the right one.
        std::size_t filler = stretches.size();
        for (std::size_t j = 0; j < stretches.size(); ++j) {
            const Stretch& st = stretches[j];
            if (st.kind != ZoneKind::Rest) continue;
            if (st.a <= ln / 2 + onGrid && st.b >= ln / 2 - onGrid) {
                filler = j;
                break;
            }
            if (filler == stretches.size() ||
                st.b - st.a > stretches[filler].b - stretches[filler].a)
                filler = j;
        }
        if (filler == stretches.size()) {
            filler = 0;
            for (std::size_t j = 0; j < stretches.size(); ++j)
                if (stretches[j].a <= ln / 2 + onGrid) filler = j;
        }
        // Each stretch's spacing: its rule's limit and what its points ask, looking as far as
        // the widest spacing past the end its last piece may overshoot (none for the filler).
        for (std::size_t j = 0; j < stretches.size(); ++j) {
            Stretch& st = stretches[j];
            const double before = j > filler ? loose / 100 : 0.0;
            const double after = j < filler ? loose / 100 : 0.0;
            double sp = std::min(st.limit, loose);
            const auto [first, last] = within(st.a - before, st.b + after);
            for (std::size_t n = first; n < last; ++n) sp = std::min(sp, sreq[n]);
            st.spacing = std::max(1.0, wholeSpacing(sp));
        }
        // Neighbours on one side that read as one zone: the pieces of laps side by side, the
        // rest at one spacing.
        std::vector<Stretch> merged;
        std::size_t mergedFiller = 0;
        for (std::size_t j = 0; j < stretches.size(); ++j) {
            const Stretch& st = stretches[j];
            const bool sameSide = !merged.empty() && j != filler && j - 1 != filler;
            if (sameSide && merged.back().kind == st.kind &&
                (st.kind == ZoneKind::Lap || merged.back().spacing == st.spacing)) {
                Stretch& last = merged.back();
                last.b = st.b;
                last.spacing = std::min(last.spacing, st.spacing);
                last.limit = std::min(last.limit, st.limit);
            } else {
                merged.push_back(st);
            }
            if (j == filler) mergedFiller = merged.size() - 1;
        }
        stretches = std::move(merged);
        filler = mergedFiller;
        placePieces(stretches, filler, ln);
        // φVn along the span from the gap each point lies in and the legs there.
        std::vector<std::pair<double, int>> pieces;  // position, legs
        for (const Stretch& st : stretches) {
            const int here = st.kind == ZoneKind::Confinement ? 2 + std::max(ties, held.crossties)
                                                              : legs;
            for (const double p : st.positions) pieces.push_back({p, here});
        }
        std::sort(pieces.begin(), pieces.end());
        std::size_t j = 0;  // the points go along the span: the gap only moves on
        for (std::size_t n = 0; n < pts.size(); ++n) {
            const std::size_t k = pts[n];
            const double u = us[n];
            while (j + 2 < pieces.size() && pieces[j + 1].first <= u) ++j;
            const double gap = pieces.size() > 1 ? pieces[j + 1].first - pieces[j].first : ln;
            const int here = std::min(pieces[j].second,
                                      pieces[std::min(j + 1, pieces.size() - 1)].second);
            const double vs =
                std::min(stirrupShear(sec.av(here), sec.fyt, sec.d, gap * 100), sec.vsLimit);
            design.vc[k] = vcAt(u);
            design.phiVn[k] = sec.phi * (design.vc[k] + vs);
        }
        // The zones as the site reads them.
        for (const Stretch& st : stretches) {
            if (st.positions.empty()) continue;
            const int count = static_cast<int>(st.positions.size());
            StirrupZone zone;
            zone.span = i + 1;
            zone.mark = "E1";
            zone.kind = st.kind;
            zone.start = x0 + st.positions.front();
            zone.end = x0 + st.positions.back();
            zone.spacing = st.spacing;
            zone.count = count;
            design.zones.push_back(zone);
            hoops += count;
            const int perPiece =
                st.kind == ZoneKind::Confinement ? std::max(ties, held.crossties) : ties;
            if (perPiece > 0) {
                StirrupZone tie = zone;
                tie.mark = "C1";
                tie.count = count * perPiece;
                design.zones.push_back(tie);
                crossties += tie.count;
            }
        }

        // The checks of the span.
        SpanStirrups laid{i, ln, x0, &shear, sec, std::move(us), std::move(pts), std::move(vsNeed),
                          vsWorst, legs, ties, held, std::move(stretches), std::move(spanCuts)};
        addSpanChecks(design.checks, beam, demand, design.phiVn, laid);
    }
    // The marks: one closed hoop and, where needed, one crosstie for the whole beam.
    const double cover = in.settings.clearCover;
    // Whole centimetres, never past the room inside the covers.
    const double width = std::floor(in.b - 2 * cover + onGrid);
    const double height = std::floor(in.h - 2 * cover + onGrid);
    StirrupMark hoop;
    hoop.mark = "E1";
    hoop.kind = StirrupKind::Hoop;
    hoop.bar = sec.hoop->designation;
    hoop.legs = 2;
    hoop.count = hoops;
    hoop.width = width;
    hoop.height = height;
    hoop.hook = seismicHookExtension(*sec.hoop);
    hoop.bend = stirrupBendDiameter(*sec.hoop);
    hoop.length = hoopCutLength(*sec.hoop, width, height) / 100;
    hoop.mass = hoop.count * hoop.length * sec.hoop->mass;
    design.marks.push_back(hoop);
    if (crossties > 0) {
        StirrupMark tie = hoop;
        tie.mark = "C1";
        tie.kind = StirrupKind::Crosstie;
        tie.legs = 1;
        tie.count = crossties;
        tie.width = 0;
        tie.length = crosstieCutLength(*sec.hoop, height) / 100;
        tie.mass = tie.count * tie.length * sec.hoop->mass;
        design.marks.push_back(tie);
    }
    return design;
}

}  // namespace engine::beam
