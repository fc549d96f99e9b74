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

// A beam of `spans` clear spans of 5 m between 40 cm supports, with no bars: enough for the
// drawings' places (faces, cuts) and stirrups.
BeamDesign bareBeam(int spans) {
    BeamDesign design;
    design.length = 0.4 + spans * 5.4;
    for (int k = 0; k < spans; ++k) {
        design.faceX.push_back(0.4 + k * 5.4);
        design.faceX.push_back(5.4 + k * 5.4);
    }
    engine::beam::StirrupMark hoop;
    hoop.mark = "E1";
    hoop.bar = 3;
    design.stirrups = {hoop};
    return design;
}

using engine::beam::StirrupZone;
using engine::beam::ZoneKind;

// The elevation draws one line across the beam a hoop, at the places its zones give them:
// evenly from the first to the last, closer than the spacing where a zone fills a middle.
TEST(BeamDrawing, ElevationDrawsEveryHoopAtItsPlace) {
    BeamDesign design = bareBeam(2);
    design.zones = {{1, "E1", ZoneKind::Confinement, 0.45, 1.35, 10, 10},
                    {1, "E1", ZoneKind::Rest, 1.55, 5.35, 20, 20},
                    {2, "E1", ZoneKind::Rest, 5.85, 10.65, 30, 17}};  // 0.30 apart
    BeamInput input;
    input.b = 30;
    input.h = 50;
    input.settings.clearCover = 4;
    std::vector<long> expected;
    for (const StirrupZone& zone : design.zones)
        for (int i = 0; i < zone.count; ++i)
            expected.push_back(std::lround(zone.start * 100 + i * (zone.end - zone.start) * 100 /
                                                                    (zone.count - 1)));
    const engine::drawing::Drawing drawing =
        engine::drawing::elevation(design, input, engine::drawing::ElevationStyle{});
    std::vector<long> drawn;
    for (const auto& line : drawing.lines)
        if (line.layer == engine::drawing::Layer::Stirrups && line.points.size() == 2 &&
            line.points[0].x == line.points[1].x) {
            EXPECT_NEAR(line.points[0].y, 4, 1e-9);
            EXPECT_NEAR(line.points[1].y, 46, 1e-9);
            drawn.push_back(std::lround(line.points[0].x));
        }
    std::sort(drawn.begin(), drawn.end());
    EXPECT_EQ(drawn, expected);
}

// Every cut has its letter, A to Z and then AA, AB...: the elevation marks it above and below
// the beam, and its section is titled with it.
TEST(BeamDrawing, SectionCutsLetteredOnTheElevationAndTheSections) {
    const BeamDesign design = bareBeam(14);  // 15 supports and 14 midspans: 29 cuts
    BeamInput input;
    input.b = 30;
    input.h = 50;
    const auto cuts = engine::drawing::sectionCuts(design);
    ASSERT_EQ(cuts.size(), 29u);
    EXPECT_EQ(cuts[0].letter, "A");
    EXPECT_EQ(cuts[25].letter, "Z");
    EXPECT_EQ(cuts[26].letter, "AA");
    EXPECT_EQ(cuts[28].letter, "AC");
    const engine::drawing::Drawing drawing =
        engine::drawing::elevation(design, input, engine::drawing::ElevationStyle{});
    for (const auto& cut : cuts) {
        const auto marks = std::count_if(drawing.texts.begin(), drawing.texts.end(),
                                         [&](const auto& t) { return t.text == cut.letter; });
        EXPECT_EQ(marks, 2) << cut.letter;
        const auto section = engine::drawing::section(design, input, cut, 4, '.');
        EXPECT_TRUE(std::any_of(section.texts.begin(), section.texts.end(), [&](const auto& t) {
            return t.text.starts_with(cut.letter + "-" + cut.letter + " (");
        })) << cut.letter;
    }
}

}  // namespace
