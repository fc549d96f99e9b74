#include "engine/beam/demand.h"

#include <algorithm>
#include <limits>
#include <string>
#include <variant>

#include "engine/beam/checktext.h"
#include "engine/beam/rules.h"
#include "engine/beam/tolerance.h"
#include "engine/run.h"

namespace engine::beam {

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

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

}  // namespace

Demand::Demand(const Beam& beam) : beam_(beam) {
    const std::size_t count = beam.points.size();
    const auto spans = static_cast<std::size_t>(beam.spans);
    needs_.assign(count, Need{});
    bumpTop_.assign(count, 1.0);
    bumpBot_.assign(count, 1.0);
    floorTop_.assign(spans, 0.0);
    floorBot_.assign(spans, 0.0);
    faceFloorBot_.assign(2 * spans, 0.0);
}

std::optional<Phrase> Demand::workOut() {
    const BeamInput& in = beam_.in;
    const int spans = beam_.spans;
    const bool seismic = beam_.seismic;
    const double minTop = beam_.rhoMin * in.b * beam_.dTop;
    const double minBot = beam_.rhoMin * in.b * beam_.dBot;
    double worstRho = 0;
    std::size_t worstAt = 0;
    for (std::size_t k = 0; k < beam_.points.size(); ++k) {
        const Point& p = beam_.points[k];
        Need& n = needs_[k];
        if (p.span < 0 && (p.support == 0 || p.support == spans)) {
            n = Need{};
            continue;
        }
        if (!sectionsDesigned_) {  // the envelopes do not change between iterations
            const auto neg = sectionNeed(in, p.muNeg, true);
            const auto pos = sectionNeed(in, p.muPos, false);
            for (const auto* outcome : {&neg, &pos}) {
                if (const DesignError* e = std::get_if<DesignError>(outcome)) {
                    return Phrase() << placePhrase(pointPlace(p)) << ": "
                                    << designErrorMessage(*e);
                }
            }
            const SectionNeed& forNeg = std::get<SectionNeed>(neg);
            const SectionNeed& forPos = std::get<SectionNeed>(pos);
            n.baseTop = std::max(forNeg.as, forPos.asPrime);
            n.baseBot = std::max(forPos.as, forNeg.asPrime);
            n.strTop = std::max(forNeg.strength, forPos.asPrime);
            n.strBot = std::max(forPos.strength, forNeg.asPrime);
            n.posBot = forPos.as;
            n.compBot = forNeg.asPrime;
        }
        double top = n.baseTop, bot = n.baseBot;
        if (seismic) {
            top = std::max(top, minTop);
            bot = std::max(bot, minBot);
        }
        std::vector<int> spansHere;
        if (p.span >= 0)
            spansHere.push_back(p.span);
        else
            spansHere = {p.support - 1, p.support};
        double spanBot = std::max(n.posBot, seismic ? minBot : 0.0);
        for (int i : spansHere) {
            top = std::max(top, floorTop_[static_cast<std::size_t>(i)]);
            bot = std::max(bot, floorBot_[static_cast<std::size_t>(i)]);
            spanBot = std::max(spanBot, floorBot_[static_cast<std::size_t>(i)]);
        }
        const bool inside = p.span >= 0 && p.face < 0;
        n.reqBotSpan = inside ? spanBot * bumpBot_[k] : 0;
        if (p.face >= 0) bot = std::max(bot, faceFloorBot_[static_cast<std::size_t>(p.face)]);
        if (p.span < 0) {
            bot = std::max({bot, faceFloorBot_[2 * static_cast<std::size_t>(p.support) - 1],
                            faceFloorBot_[2 * static_cast<std::size_t>(p.support)]});
        }
        n.reqTop = top * bumpTop_[k];
        n.reqBot = bot * bumpBot_[k];
        n.reqBotSupport = inside ? n.compBot * bumpBot_[k] : n.reqBot;
        if (seismic) {
            for (const auto& [area, d] :
                 {std::pair{n.reqTop, beam_.dTop}, std::pair{n.reqBot, beam_.dBot}}) {
                const double rho = area / (in.b * d);
                if (rho > rhoLimit + ratioTiny && rho > worstRho) {
                    worstRho = rho;
                    worstAt = k;
                }
            }
        }
    }
    sectionsDesigned_ = true;
    if (worstRho > 0) {
        return Phrase() << placePhrase(pointPlace(beam_.points[worstAt])) << ": ρ = "
                        << ratioFigure(worstRho) << " > " << Figure{rhoLimit, 3}
                        << "; aumente b o h";
    }
    return std::nullopt;
}

double Demand::areaForMn(double mn, bool topTension) const {
    const auto need = sectionNeed(beam_.in, mn * phi, topTension);
    if (const SectionNeed* n = std::get_if<SectionNeed>(&need)) return n->as;
    return 0;
}

bool Demand::raise(const Strength& strength) {
    const int spans = beam_.spans;
    const auto& xL = beam_.xL;
    const auto& xR = beam_.xR;
    const auto& points = beam_.points;
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
        if (p.muNeg > 0 && strength.phiNeg[k] < p.muNeg * (1 - tiny)) {
            const double f =
                std::min(1.5, p.muNeg / std::max(strength.phiNeg[k], coarse) * 1.01);
            auto& t = topFactor[static_cast<std::size_t>(topRegion(p.x))];
            t = std::max(t, f);
        }
        if (p.muPos > 0 && strength.phiPos[k] < p.muPos * (1 - tiny)) {
            const double f =
                std::min(1.5, p.muPos / std::max(strength.phiPos[k], coarse) * 1.01);
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
            bumpTop_[k] *= ft;
            changed = true;
        }
        if (fb > 1) {
            bumpBot_[k] *= fb;
            changed = true;
        }
    }
    if (!beam_.seismic) return changed;
    // Ratio rules on the nominal strengths.
    const MomentShares shares = momentShares(beam_.in.seismicClass);
    const double faceShare = 1.0 / shares.face;
    const double anyShare = 1.0 / shares.anywhere;
    const auto& mnNeg = strength.mnNeg;
    const auto& mnPos = strength.mnPos;
    for (int i = 0; i < spans; ++i) {
        const auto s = static_cast<std::size_t>(i);
        double largest = 0;
        for (int side = 0; side < 2; ++side) {
            const auto f = static_cast<std::size_t>(
                beam_.faceIndex[2 * s + static_cast<std::size_t>(side)]);
            largest = std::max({largest, mnNeg[f], mnPos[f]});
            const double target = faceShare * mnNeg[f];
            if (mnPos[f] < target * (1 - tiny)) {
                const double grown =
                    areaForMn(target, false) *
                    std::max(1.0, target / std::max(mnPos[f], coarse) * 0.5 + 0.5) * 1.01;
                auto& floor = faceFloorBot_[2 * s + static_cast<std::size_t>(side)];
                floor = std::max(floor * 1.02, grown);
                changed = true;
            }
        }
        const double target = anyShare * largest;
        double lowNeg = infinity, lowPos = infinity;
        for (std::size_t k = beam_.spanFirst(i); k <= beam_.spanLast(i); ++k) {
            lowNeg = std::min(lowNeg, mnNeg[k]);
            lowPos = std::min(lowPos, mnPos[k]);
        }
        if (lowNeg < target * (1 - tiny)) {
            floorTop_[s] = std::max(floorTop_[s] * 1.02, areaForMn(target, true) * 1.01);
            changed = true;
        }
        if (lowPos < target * (1 - tiny)) {
            floorBot_[s] = std::max(floorBot_[s] * 1.02, areaForMn(target, false) * 1.01);
            changed = true;
        }
    }
    return changed;
}

}  // namespace engine::beam
