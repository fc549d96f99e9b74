#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "beaminputs.h"
#include "engine/beam/beam.h"
#include "engine/catalogue.h"
#include "engine/drawing/beamdrawing.h"

namespace {

using engine::beam::BarMark;
using engine::beam::BeamDesign;
using engine::beam::BeamFace;
using engine::beam::BeamInput;

// A bar drawn in a section: its centre's height (0 at the top face, negative downwards) and
// its radius, rounded to a thousandth of a cm for comparison.
using DrawnBar = std::pair<long, long>;
DrawnBar drawnBar(double y, double radius) {
    return {std::lround(y * 1000), std::lround(radius * 1000)};
}

// Every bar of every mark through a cut, at the depth the designer gave the mark.
std::vector<DrawnBar> barsOfTheMarks(const BeamDesign& design, const BeamInput& in, double x) {
    std::vector<DrawnBar> bars;
    for (const BarMark& m : design.bars) {
        if (x < m.start - 1e-9 || x > m.end + 1e-9) continue;
        const double y = m.face == BeamFace::Top ? -m.depth : -(in.h - m.depth);
        const double radius = engine::findBar(m.bar)->diameterCm() / 2;
        bars.insert(bars.end(), static_cast<std::size_t>(m.count), drawnBar(y, radius));
    }
    std::sort(bars.begin(), bars.end());
    return bars;
}

// The sections of heavy beams, two layers a face among them: each drawn bar sits at the depth of
// a mark that passes the cut, and every bar of those marks is drawn once. Beam 24 has a second
// layer whose mark rests on a larger first-layer bar than the one at its left support.
TEST(BeamDrawing, SectionBarsSitAtTheirMarksDepth) {
    std::mt19937 random(1818);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    int sections = 0;
    int secondLayers = 0;
    for (int n = 0; n < 30; ++n) {
        const BeamInput in = beaminputs::drawnHeavyBeam(n, uniform);
        const auto outcome = engine::beam::designBeam(in);
        const auto* design = std::get_if<BeamDesign>(&outcome);
        if (!design) continue;
        for (const BarMark& m : design->bars) secondLayers += m.layer == 2 ? 1 : 0;
        for (const auto& cut : engine::drawing::sectionCuts(*design)) {
            SCOPED_TRACE("beam " + std::to_string(n) + ", " + cut.title);
            const engine::drawing::Drawing section =
                engine::drawing::section(*design, in, cut, 4, '.');
            std::vector<DrawnBar> drawn;
            for (const auto& circle : section.circles)
                if (circle.layer == engine::drawing::Layer::Reinforcement)
                    drawn.push_back(drawnBar(circle.centre.y, circle.radius));
            std::sort(drawn.begin(), drawn.end());
            EXPECT_EQ(drawn, barsOfTheMarks(*design, in, cut.x));
            ++sections;
        }
    }
    EXPECT_GT(sections, 50);
    EXPECT_GT(secondLayers, 0);
}

}  // namespace
