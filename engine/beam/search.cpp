#include "engine/beam/search.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "engine/beam/cutoffs.h"
#include "engine/beam/layers.h"
#include "engine/beam/refusal.h"
#include "engine/beam/rules.h"
#include "engine/beam/tolerance.h"

namespace engine::beam {

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

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
    FaceSearch(const Beam& beam, const std::vector<Need>& needs, bool topFace)
        : beam_(beam), in_(beam.in), needs_(needs), topFace_(topFace) {}
    std::variant<FaceChoice, Phrase> run();

  private:
    std::optional<Extra> bestExtra(int region, const Bar& cont, int count,
                                   const std::vector<double>& contArea,
                                   const std::vector<Lap>& laps);
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
    struct Deficit {
        double x, need;
        int index;
    };
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
    for (const Bar* e : beam_.sizes) {
        if (in_.seismicClass == SeismicClass::Des && interior &&
            !passesThroughSupport(e->diameterCm(), supportWidth) && e != smallest) {
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
        for (int k = kmin; k <= kmin + 1; ++k) {
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
            x.inFirstLayer = std::min(k, room);
            const int second = k - x.inFirstLayer;
            if (second > 0 &&
                (in_.settings.maxTensionLayers < 2 ||
                 layerWidth(in_.settings, Layer{{second, e}}) > beam_.available + tiny)) {
                refuse(Refusal::Why::NoRoom);
                if (!(contA > 0)) why.contCount = 0;
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
            } else if (!stopWhereTwice(beam_, needs_, zone, deficits.front().index,
                                       deficits.back().index, contArea, a, b)) {
                feasible = false;
                refuse(Refusal::Why::NotTwiceArea);
            }
            if (hookLeft) a = hookStartX;
            if (hookRight) b = hookEndX;
            if (!feasible || a < lowLimit - tiny || b > highLimit + tiny) continue;
            if (roundUpTo5cm(b - a) + (hookLeft + hookRight) * tail(*e) >
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
            x.hookStart = hookLeft;
            x.hookEnd = hookRight;
            const double tails = (hookLeft + hookRight) * tail(*e);
            x.mass = k * (b - a + tails) * e->mass;
            if (!best || x.mass < best->mass - tiny) best = x;
        }
    }
    return best;
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
    for (const Bar* s : beam_.sizes) {
        if (in_.seismicClass == SeismicClass::Des &&
            !passesThroughSupport(s->diameterCm(), smallestInterior) && s != smallest) {
            continue;
        }
        if ((!beam_.hookFitsIn(*s, 0) || !beam_.hookFitsIn(*s, spans)) && s != smallest) continue;
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
                std::min((x - beam_.hookStartX) / ldhStart, (beam_.hookEndX - x) / ldhEnd), 0.0,
                1.0);
        }
        for (const Lap& lap : *laps) barLength += lap.end - lap.start;
        for (int n = 2;; ++n) {
            const double width = layerWidth(in_.settings, Layer{{n, s}});
            if (width > beam_.available + tiny) break;
            // Lapped bars are tied in contact: each pair takes two diameters, spaced as one bar.
            if (!laps->empty() && width + n * s->diameterCm() > beam_.available + tiny) break;
            FaceChoice c;
            c.bar = s;
            c.count = n;
            c.laps = *laps;
            c.mass = n * barLength * s->mass;
            c.marks = static_cast<int>(laps->size()) + 1;
            if (best && c.mass > best->mass + tiny) break;
            for (std::size_t k = 0; k < points.size(); ++k)
                contArea[k] = n * s->supplyArea * fraction[k];
            bool ok = true;
            bool anyExtra = false;
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
            // run on as one mark; the lighter, and of nearly equal masses (within 1 %) the one
            // of fewer marks. Top extras of neighbouring supports that meet always run on.
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
                    if (!topFace) {
                        last_.set(Refusal::Why::Crowded);
                        last_.crowdedAt = crowdedAt;
                        last_.contCount = n;
                        last_.contBar = s->designation;
                    }
                }
                c.mass += massOf(c.extras) - extrasMass;
            }
            for (const Extra& e : c.extras) c.marks += marksOf(e);
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
