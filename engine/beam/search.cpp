#include "engine/beam/search.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <tuple>

#include "engine/beam/cutoffs.h"
#include "engine/beam/layers.h"
#include "engine/beam/refusal.h"
#include "engine/beam/rules.h"
#include "engine/beam/tolerance.h"
#include "engine/catalogue.h"

namespace engine::beam {

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// The same size or the next one up or down in the catalogue (N° 11 and N° 14 are neighbours).
bool neighbourSizes(const Bar& one, const Bar& other) {
    const Bar* first = bars().data();
    return std::abs((&one - first) - (&other - first)) <= 1;
}

int marksOf(const Extra& e) {
    return e.count == 0 ? 0 : e.inFirstLayer > 0 && e.inFirstLayer < e.count ? 2 : 1;
}

double massOf(const std::vector<Extra>& extras) {
    double m = 0;
    for (const Extra& e : extras) m += e.mass;
    return m;
}

int marksIn(const std::vector<Extra>& extras) {
    int m = 0;
    for (const Extra& e : extras) m += marksOf(e);
    return m;
}

// The search of one face. It keeps the reason of its last refusal as it goes: when nothing is
// found, that reason says why.
class FaceSearch {
  public:
    // A point of a region where the continuous bars fall short: its need, cm².
    struct Deficit {
        double x, need;
        int index;
    };

    FaceSearch(const Beam& beam, const std::vector<Need>& needs, bool topFace)
        : beam_(beam), in_(beam.in), needs_(needs), topFace_(topFace) {}
    std::variant<FaceChoice, Phrase> run();

  private:
    std::optional<Extra> bestExtra(int region, const Bar& cont, int count,
                                   const std::vector<double>& contArea,
                                   const std::vector<Lap>& laps);
    bool runOn(const Zone& zone, const Bar& bar, int count, const std::vector<Deficit>& deficits,
               double& a, double& b, bool& startHooked, bool& endHooked) const;
    void joinSameBars(std::vector<Extra>& extras, const Bar& cont, int count,
                      const std::vector<Lap>& laps) const;
    bool mergeMeeting(std::vector<Extra>& extras, const Bar& cont, int count,
                      const std::vector<Lap>& laps);
    // What a hook adds to the bar as cut, m.
    double tail(const Bar& bar) const { return hookCutAllowance(bar) / 100; }

    const Beam& beam_;
    const BeamInput& in_;
    const std::vector<Need>& needs_;
    const bool topFace_;
    int smallestExtra_ = 0;  // N°: extras of smaller bars are not tried
    bool widen_ = false;     // crowded extras tried again of larger bars
    Refusal last_;
};

std::optional<Extra> FaceSearch::bestExtra(int region, const Bar& cont, int count,
                                           const std::vector<double>& contArea,
                                           const std::vector<Lap>& laps) {
    const bool topFace = topFace_;
    const auto& points = beam_.points;
    const int spans = beam_.spans;
    const double hookStartX = beam_.hookStartX, hookEndX = beam_.hookEndX;
    Zone zone;
    zone.atSupport = topFace || region % 2 == 0;
    zone.support = topFace ? region : region / 2;
    zone.span = topFace ? -1 : (region - 1) / 2;
    std::tie(zone.first, zone.last) =
        topFace          ? beam_.topRegions[static_cast<std::size_t>(region)]
        : zone.atSupport ? beam_.bottomSupportRegions[static_cast<std::size_t>(zone.support)]
                         : beam_.bottomRegions[static_cast<std::size_t>(zone.span)];
    // Bars at an outer support hook into it (top bars down, bottom bars up); bottom bars at an
    // interior support run through it into both spans.
    zone.hookLeft = zone.atSupport && zone.support == 0;
    zone.hookRight = zone.atSupport && zone.support == spans;
    const bool atSupport = zone.atSupport, hookLeft = zone.hookLeft, hookRight = zone.hookRight;
    const int support = zone.support, span = zone.span, first = zone.first, last = zone.last;
    std::vector<Deficit> deficits;
    for (int k = first; k <= last && k >= 0; ++k) {
        const Point& p = points[static_cast<std::size_t>(k)];
        const Need& n = needs_[static_cast<std::size_t>(k)];
        const double req = topFace ? n.reqTop : atSupport ? n.reqBotSupport : n.reqBotSpan;
        const double need = req - contArea[static_cast<std::size_t>(k)];
        if (need > tiny) deficits.push_back({p.x, need, k});
    }
    Extra none;
    if (deficits.empty()) return none;
    Refusal& why = last_;
    why.set(Refusal::Why::NotDeveloped);
    why.topFace = topFace;
    why.atSupport = atSupport;
    why.support = support;
    why.span = span;
    const double contA = count * cont.supplyArea;
    const double d = topFace ? beam_.dTop : beam_.dBot;
    double lowLimit = hookStartX, highLimit = hookEndX;
    if (!topFace) {
        if (atSupport) {
            if (support > 0) lowLimit = beam_.xL[static_cast<std::size_t>(support) - 1];
            if (support < spans) highLimit = beam_.xR[static_cast<std::size_t>(support)];
        } else {
            lowLimit = beam_.xL[static_cast<std::size_t>(span)];
            highLimit = beam_.xR[static_cast<std::size_t>(span)];
        }
    }
    std::optional<Extra> best;
    const double supportWidth = atSupport ? beam_.supportWidth(support) : infinity;
    const bool interior = atSupport && support > 0 && support < spans;
    const Bar* smallest = beam_.sizes.front();
    // Extras the size of the continuous bars or a neighbour in the catalogue first (at most two
    // sizes on a face, no lone N° 8 among N° 4); the others only when none of those serves.
    for (int pass = 0; pass < 2 && !best; ++pass) {
        for (const Bar* e : beam_.sizes) {
            if ((pass == 0) != neighbourSizes(*e, cont)) continue;
            // The bars hooked into an outer support keep their sizes: the hook limits them.
            if (e->designation < smallestExtra_ && !hookLeft && !hookRight) continue;
            if (in_.seismicClass == SeismicClass::Des && interior &&
                !passesThroughSupport(e->diameterCm(), supportWidth) && e != smallest) {
                // Say so once, after the reason of the bars that may cross.
                if (why.throughBar == 0 && why.hookBar == 0) {
                    for (const Bar* through : beam_.sizes)
                        if (passesThroughSupport(through->diameterCm(), supportWidth))
                            why.throughBar = through->designation;
                    if (why.throughBar == 0) why.throughBar = smallest->designation;
                }
                continue;
            }
            if ((hookLeft || hookRight) && !beam_.hookFitsIn(*e, support) && e != smallest) {
                // Say why the larger bars were not tried, once, after the smaller bars' reason.
                if (why.hookBar == 0) {
                    why.hookBar = e->designation;
                    const HookAnchorage hook = hookAnchorage(in_, beam_.barSeat, *e, support);
                    why.hookLdh = hook.ldh;
                    why.hookRoom = hook.room;
                    why.hookSupport = hookRemedy(in_, beam_.barSeat, *e, support).supportWidth;
                }
                continue;
            }
            const double ldE = beam_.ld(*e, topFace);
            const double ldhE = hookLeft || hookRight ? beam_.ldh(*e, support) : 0;
            double maxNeed = 0;
            bool reachable = true;
            for (const Deficit& df : deficits) {
                double f = 1;
                if (hookLeft) f = std::min(f, (df.x - hookStartX) / ldhE);
                if (hookRight) f = std::min(f, (hookEndX - df.x) / ldhE);
                if (f <= tiny) {
                    reachable = false;
                    break;
                }
                maxNeed = std::max(maxNeed, df.need / (e->supplyArea * f));
            }
            if (!reachable) continue;
            const int kmin = std::max(1, static_cast<int>(std::ceil(maxNeed - tiny)));
            const int room = firstLayerRoom(beam_, cont, count, *e);
            // One bar more than the least may be lighter in all (a smaller region); two more when
            // fewer would leave the first layer short of full.
            bool leftShort = false;
            for (int k = kmin; k <= kmin + (leftShort ? 2 : 1); ++k) {
                auto refuse = [&](Refusal::Why reason) {
                    why.set(reason);
                    why.contCount = count;
                    why.contBar = cont.designation;
                    why.count = k;
                    why.bar = e->designation;
                };
                Extra x;
                x.bar = e;
                x.count = k;
                x.inFirstLayer = firstLayerShare(count, cont, k, *e, room);
                const int second = k - x.inFirstLayer;
                if (x.inFirstLayer < 0 ||
                    (second > 0 &&
                     (in_.settings.maxTensionLayers < 2 ||
                      layerWidth(in_.settings, Layer{{second, e}}) > beam_.available + tiny))) {
                    refuse(Refusal::Why::NoRoom);
                    if (!(contA > 0)) why.contCount = 0;
                    continue;
                }
                // A crew fills the first layer before the second.
                if (second > 0 && x.inFirstLayer < std::min(k, room)) {
                    leftShort = true;
                    continue;
                }
                const double area = k * e->supplyArea;
                if (beam_.seismic && (contA + area) / (in_.b * d) > rhoLimit + ratioTiny) {
                    refuse(Refusal::Why::RatioAbove);
                    why.ratio = (contA + area) / (in_.b * d);
                    continue;
                }
                if (!topFace && area > 3 * contA + tiny) continue;
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
                const double ext = cutOffExtension(d, *e);
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
                    if (contA < (contA + area) / 3 - tiny) {
                        const auto inSpan = pastInflections(beam_, region, *e, d, a, b);
                        if (inSpan) {
                            feasible = false;
                            refuse(Refusal::Why::NoInflection);
                            why.inflectionSpan = *inSpan;
                        }
                    }
                    // Cut where the negative moment still acts only with twice its need going on.
                    if (feasible && !topStopWhereTwice(beam_, needs_, zone, deficits.front().index,
                                                       deficits.back().index, contArea, a, b)) {
                        feasible = false;
                        refuse(Refusal::Why::NotTwiceArea);
                    }
                }
                bool startHooked = hookLeft, endHooked = hookRight, ranOn = false;
                if (!topFace && (!stopWhereTwice(beam_, needs_, zone, deficits.front().index,
                                                 deficits.back().index, contArea, a, b) ||
                                 a < lowLimit - tiny || b > highLimit + tiny)) {
                    // Extras with nowhere to stop in their region run on, uncut, into the supports
                    // beside it: across an interior one to its far edge, hooked into an outer one.
                    refuse(Refusal::Why::NotTwiceArea);
                    if (!runOn(zone, *e, k, deficits, a, b, startHooked, endHooked)) continue;
                    ranOn = true;
                }
                if (startHooked) a = hookStartX;
                if (endHooked) b = hookEndX;
                if (!feasible || (!ranOn && (a < lowLimit - tiny || b > highLimit + tiny)))
                    continue;
                if (roundUpTo5cm(b - a) + (startHooked + endHooked) * tail(*e) >
                    in_.stockLength + tiny) {
                    refuse(Refusal::Why::TooLong);
                    continue;
                }
                x.start = a;
                x.end = b;
                if (!splitLayers(beam_, x, cont, count, laps)) {
                    refuse(Refusal::Why::NoRoomBesideLaps);
                    continue;
                }
                x.start = a;
                x.end = b;
                x.hookStart = startHooked;
                x.hookEnd = endHooked;
                const double tails = (startHooked + endHooked) * tail(*e);
                x.mass = k * (b - a + tails) * e->mass;
                if (!best || x.mass < best->mass - tiny) best = x;
            }
        }
    }
    return best;
}

// The ends [a, b] of bottom extras run on into the supports beside their zone: to the far edge
// of an interior support, hooked into an outer one. False when a hook does not fit or the bars
// so placed do not develop the need at every deficit.
bool FaceSearch::runOn(const Zone& zone, const Bar& bar, int count,
                       const std::vector<Deficit>& deficits, double& a, double& b,
                       bool& startHooked, bool& endHooked) const {
    const int spans = beam_.spans;
    const int leftSupport = zone.atSupport ? std::max(zone.support - 1, 0) : zone.span;
    const int rightSupport = zone.atSupport ? std::min(zone.support + 1, spans) : zone.span + 1;
    startHooked = leftSupport == 0;
    endHooked = rightSupport == spans;
    // The smallest bar hooks where the continuous bars do, its hook checked with theirs.
    const bool smallest = &bar == beam_.sizes.front();
    if (!smallest && ((startHooked && !beam_.hookFitsIn(bar, 0)) ||
                      (endHooked && !beam_.hookFitsIn(bar, spans))))
        return false;
    a = startHooked ? beam_.hookStartX : beam_.supL[static_cast<std::size_t>(leftSupport)];
    b = endHooked ? beam_.hookEndX : beam_.supR[static_cast<std::size_t>(rightSupport)];
    const double ldBar = beam_.ld(bar, false);
    const double fromStart = startHooked ? beam_.ldh(bar, 0) : ldBar;
    const double fromEnd = endHooked ? beam_.ldh(bar, spans) : ldBar;
    for (const Deficit& df : deficits) {
        const double developed = std::min({1.0, (df.x - a) / fromStart, (b - df.x) / fromEnd});
        if (count * bar.supplyArea * developed < df.need - tiny) return false;
    }
    return true;
}

// Neighbouring extras of one bar size that nearly meet become one mark when that costs at
// most 1 % more steel than the two apart: one bar to cut and place instead of two end to end.
void FaceSearch::joinSameBars(std::vector<Extra>& extras, const Bar& cont, int count,
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
            roundUpTo5cm(joined.end - joined.start) + tails > in_.stockLength + tiny ||
            !splitLayers(beam_, joined, cont, count, laps)) {
            continue;
        }
        left = Extra{};
        right = joined;
    }
}

// Extras of neighbouring regions that meet run on as one mark: the larger bar, as many as
// either needed, ends moved out by the longer development. False when a merged mark does not
// fit its layers or the stock length.
bool FaceSearch::mergeMeeting(std::vector<Extra>& extras, const Bar& cont, int count,
                              const std::vector<Lap>& laps) {
    const int spans = beam_.spans;
    const int regions = static_cast<int>(extras.size());
    for (int j = 0; j + 1 < regions; ++j) {
        Extra& left = extras[static_cast<std::size_t>(j)];
        Extra& right = extras[static_cast<std::size_t>(j) + 1];
        if (left.count == 0 || right.count == 0 || left.end < right.start - gridStep) continue;
        Extra merged;
        merged.hookStart = left.hookStart;
        merged.hookEnd = right.hookEnd;
        // The larger bar, unless it is too large for a support it crosses (20 db in DES) or
        // for the hook of an outer one; then the smaller.
        const double from = left.start, to = right.end;
        auto allowed = [&](const Bar& bar) {
            if (merged.hookStart && !beam_.hookFitsIn(bar, 0)) return false;
            if (merged.hookEnd && !beam_.hookFitsIn(bar, spans)) return false;
            if (in_.seismicClass != SeismicClass::Des) return true;
            for (int s = 1; s < spans; ++s) {
                const auto k = static_cast<std::size_t>(s);
                if (from < beam_.supR[k] && to > beam_.supL[k] &&
                    !passesThroughSupport(bar.diameterCm(), beam_.supportWidth(s))) {
                    return false;
                }
            }
            return true;
        };
        const Bar* larger = left.bar->diameterMm >= right.bar->diameterMm ? left.bar : right.bar;
        const Bar* smaller = larger == left.bar ? right.bar : left.bar;
        if (!allowed(*larger) && !allowed(*smaller)) {
            last_.set(Refusal::Why::MergedBarNotAllowed);
            last_.topFace = topFace_;
            last_.region = j;
            return false;
        }
        merged.bar = allowed(*larger) ? larger : smaller;
        const double a = merged.bar->supplyArea;
        merged.count = static_cast<int>(
            std::max(std::ceil(left.count * left.bar->supplyArea / a - tiny),
                     std::ceil(right.count * right.bar->supplyArea / a - tiny)));
        const double ldMerged = beam_.ld(*merged.bar, topFace_);
        merged.start =
            merged.hookStart
                ? left.start
                : std::max(beam_.hookStartX,
                           left.start - std::max(0.0, ldMerged - beam_.ld(*left.bar, topFace_)));
        merged.end =
            merged.hookEnd
                ? right.end
                : std::min(beam_.hookEndX,
                           right.end + std::max(0.0, ldMerged - beam_.ld(*right.bar, topFace_)));
        const double tails = (merged.hookStart + merged.hookEnd) * tail(*merged.bar);
        merged.mass = merged.count * (merged.end - merged.start + tails) * merged.bar->mass;
        if (roundUpTo5cm(merged.end - merged.start) + tails > in_.stockLength + tiny ||
            !splitLayers(beam_, merged, cont, count, laps)) {
            last_.set(Refusal::Why::MergedDoNotFit);
            last_.topFace = topFace_;
            last_.region = j;
            return false;
        }
        left = Extra{};
        right = merged;
    }
    return true;
}

std::variant<FaceChoice, Phrase> FaceSearch::run() {
    const bool topFace = topFace_;
    const auto& points = beam_.points;
    const int spans = beam_.spans;
    const int regions = topFace ? spans + 1 : 2 * spans + 1;
    double smallestInterior = infinity;
    for (int j = 1; j < spans; ++j) smallestInterior = std::min(smallestInterior, beam_.supportWidth(j));
    std::optional<FaceChoice> best;
    last_ = Refusal{};
    std::vector<double> contArea(points.size()), fraction(points.size());
    const Bar* smallest = beam_.sizes.front();
    // Extras crowded out are tried again of larger bars only when nothing else fits: a
    // second pass, which the beams that fit at once never pay for.
    for (widen_ = false;; widen_ = true) {
        for (const Bar* s : beam_.sizes) {
            if (in_.seismicClass == SeismicClass::Des &&
                !passesThroughSupport(s->diameterCm(), smallestInterior) && s != smallest) {
                continue;
            }
            if ((!beam_.hookFitsIn(*s, 0) || !beam_.hookFitsIn(*s, spans)) && s != smallest)
                continue;
            const auto laps = planLaps(beam_, *s, topFace);
            if (!laps) {
                // A reason of a smaller bar says more.
                if (last_.why == Refusal::Why::None) {
                    last_.set(Refusal::Why::NoLapPlace);
                    last_.contBar = s->designation;
                }
                continue;
            }
            double barLength = beam_.hookEndX - beam_.hookStartX + 2 * tail(*s);
            // Share of a continuous bar developed at x: from 0 at a hooked end to 1 at ldh from it.
            const double ldhStart = beam_.ldh(*s, 0), ldhEnd = beam_.ldh(*s, spans);
            for (std::size_t k = 0; k < points.size(); ++k) {
                const double x = points[k].x;
                fraction[k] = std::clamp(
                    std::min((x - beam_.hookStartX) / ldhStart, (beam_.hookEndX - x) / ldhEnd),
                    0.0, 1.0);
            }
            for (const Lap& lap : *laps) barLength += lap.end - lap.start;
            for (int n = 2;; ++n) {
                const double width = layerWidth(in_.settings, Layer{{n, s}});
                // Lapped bars are tied in contact: each pair takes two diameters, spaced as one
                // bar.
                const double pairs = laps->empty() ? 0 : n * s->diameterCm();
                if (width + pairs > beam_.available + tiny) {
                    if (n == 2 && last_.why == Refusal::Why::None) {
                        last_.set(Refusal::Why::TwoBarsDoNotFit);
                        last_.contBar = s->designation;
                        last_.besideLaps = pairs > 0 && width <= beam_.available + tiny;
                    }
                    break;
                }
                FaceChoice c;
                c.bar = s;
                c.count = n;
                c.laps = *laps;
                c.mass = n * barLength * s->mass;
                c.marks = static_cast<int>(laps->size()) + 1;
                if (best && c.mass > best->mass + tiny) break;
                for (std::size_t k = 0; k < points.size(); ++k)
                    contArea[k] = n * s->supplyArea * fraction[k];
                const FaceChoice alone = c;
                bool ok = false, anyExtra = false;
                // Extras that crowd each other out are searched again of larger bars: fewer of
                // them, in the layers they share.
                std::optional<Refusal> crowdedWhy;
                for (smallestExtra_ = 0;;) {
                    c = alone;
                    ok = true;
                    anyExtra = false;
                    bool crowdedOut = false;
                    for (int r = 0; r < regions && ok; ++r) {
                        const auto extra = bestExtra(r, *s, n, contArea, *laps);
                        if (!extra) {
                            ok = false;
                            break;
                        }
                        c.extras.push_back(*extra);
                        c.mass += extra->mass;
                        anyExtra = anyExtra || extra->count > 0;
                    }
                    // Extras that meet either stay apart, sharing the layers where they overlap, or
                    // run on as one mark; the lighter, and of nearly equal masses (within 1 %) the
                    // one of fewer marks. Top extras of neighbouring supports that meet run on when
                    // they can.
                    if (ok) {
                        std::vector<Extra> apart = c.extras, joined = c.extras;
                        bool apartFits = false;
                        double crowdedAt = 0;
                        auto share = [&](std::vector<Extra>& extras) {
                            const auto crowded = shareLayers(beam_, extras, *s, n, *laps);
                            if (crowded) crowdedAt = *crowded;
                            return !crowded;
                        };
                        if (!topFace) {
                            joinSameBars(apart, *s, n, *laps);
                            apartFits = share(apart);
                            if (!apartFits) {
                                apart = c.extras;
                                apartFits = share(apart);
                            }
                        }
                        const bool joinedFits =
                            mergeMeeting(joined, *s, n, *laps) && (topFace || share(joined));
                        // Top extras that cannot run on as one mark (too long, or no bar for every
                        // support they would cross) stay apart, overlapping in the span between.
                        if (topFace && !joinedFits) apartFits = share(apart);
                        const double extrasMass = massOf(c.extras);
                        if (apartFits && joinedFits) {
                            const bool joinBetter = massOf(joined) < massOf(apart) - tiny ||
                                                    (massOf(joined) <= massOf(apart) * 1.01 &&
                                                     marksIn(joined) < marksIn(apart));
                            c.extras = joinBetter ? joined : apart;
                        } else if (apartFits || joinedFits) {
                            c.extras = apartFits ? apart : joined;
                        } else {
                            ok = false;
                            crowdedOut = true;
                            last_.set(Refusal::Why::Crowded);
                            last_.topFace = topFace;
                            last_.crowdedAt = crowdedAt;
                            last_.contCount = n;
                            last_.contBar = s->designation;
                            // The extras there, as many of the largest of them: a width that
                            // holds those holds them.
                            last_.count = 0;
                            last_.bar = 0;
                            for (const Extra& e : c.extras) {
                                if (e.count == 0 || crowdedAt < e.start - tiny ||
                                    crowdedAt > e.end + tiny)
                                    continue;
                                last_.count += e.count;
                                last_.bar = std::max(last_.bar, e.bar->designation);
                            }
                        }
                        c.mass += massOf(c.extras) - extrasMass;
                    }
                    for (const Extra& e : c.extras) c.marks += marksOf(e);
                    if (ok) break;
                    // When larger bars do not help either, the crowding says why.
                    if (crowdedWhy) last_ = *crowdedWhy;
                    if (!crowdedOut || !widen_) break;
                    if (!crowdedWhy) crowdedWhy = last_;
                    const int tried = std::max(smallestExtra_, smallest->designation);
                    const auto larger =
                        std::find_if(beam_.sizes.begin(), beam_.sizes.end(),
                                     [&](const Bar* b) { return b->designation > tried; });
                    if (larger == beam_.sizes.end()) break;
                    smallestExtra_ = (*larger)->designation;
                }
                if (ok) {
                    if (!best || c.mass < best->mass - coarse ||
                        (c.mass < best->mass + coarse && c.marks < best->marks)) {
                        best = c;
                    }
                    if (!anyExtra) break;
                }
                if (n > 12) break;
            }
        }
        if (best || widen_) break;
    }
    if (best) return *best;
    return Phrase() << (topFace ? "Ninguna disposición de barras superiores"
                                : "Ninguna disposición de barras inferiores")
                    << " cumple. " << refusalText(beam_, last_);
}

}  // namespace

std::variant<FaceChoice, Phrase> searchFace(const Beam& beam, const std::vector<Need>& needs,
                                            bool topFace) {
    return FaceSearch(beam, needs, topFace).run();
}

}  // namespace engine::beam
