#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <variant>

#include "beaminputs.h"
#include "engine/beam/beam.h"
#include "engine/beam/beamtext.h"
#include "engine/beam/rules.h"
#include "engine/beam/checktext.h"
#include "engine/capacity.h"
#include "engine/catalogue.h"
#include "engine/layout.h"
#include "engine/run.h"

namespace {

using namespace engine::beam;

// Development lengths against hand computations (f'c and Fy in kg/cm2, through 0.0980665 MPa),
// the published examples converted, and the boundaries: the 8.3 MPa cap on sqrt(f'c), the 30 cm
// floor, the unfavourable divisor and the DES hook expression.
TEST(BeamDevelopment, StraightBarsAgainstHandFigures) {
    struct Case {
        const char* name;
        double fc, fy;
        int bar;
        bool top;
        double clearCover;
        double expected;  // cm
        double tolerance;
    };
    const Case cases[] = {
        // 411.879 MPa x 1.27 / (2.1 x 4.53806)
        {"N4_bottom_210", 210, 4200, 4, false, 4.95, 54.889, 0.005},
        {"N4_top_210", 210, 4200, 4, true, 4.95, 71.356, 0.005},
        // N° 7 and larger: / 1.7
        {"N7_bottom_210", 210, 4200, 7, false, 4.95, 118.523, 0.005},
        {"N7_top_280", 280, 4200, 7, true, 4.95, 133.438, 0.005},
        // clear cover less than db: / 1.4
        {"N4_thin_cover", 210, 4200, 4, false, 1.0, 82.333, 0.005},
        // sqrt(f'c) capped at 8.3 MPa: f'c 800 and 702.5 kg/cm2 give the same, 411.879 x 1.91 /
        // (2.1 x 8.3)
        {"N6_capped_root", 800, 4200, 6, false, 4.95, 45.135, 0.005},
        {"N3_floor_30cm", 800, 4200, 3, false, 4.95, 30.0, 1e-9},
        // Published D1 (uncoated, MPa form): 49.5 db = 110.1 cm
        {"D1_N7_published", 246.1, 4218.4, 7, false, 4.95, 110.1, 0.2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(developmentLength(c.fc, c.fy, c.bar, c.top, 3.0, c.clearCover), c.expected,
                    c.tolerance);
    }
}

TEST(BeamDevelopment, HooksAgainstHandFigures) {
    struct Case {
        const char* name;
        double fc, fy;
        int bar;
        SeismicClass seismicClass;
        double expected;  // cm
        double tolerance;
    };
    const Case cases[] = {
        // 0.24 x 411.879 x 1.27 / 4.53806 = 27.66 (more than 8 db = 10.16 and 15)
        {"N4_DMO", 210, 4200, 4, SeismicClass::Dmo, 27.664, 0.005},
        {"N8_DMI", 210, 4200, 8, SeismicClass::Dmi, 55.328, 0.005},
        // DES: 411.879 x db / (5.4 x 4.53806)
        {"N8_DES", 210, 4200, 8, SeismicClass::Des, 42.691, 0.005},
        // 18.49 computed, below the 15 cm and 8 db floors? no: 18.49 stands
        {"N4_DES_280", 280, 4200, 4, SeismicClass::Des, 18.486, 0.005},
        // N° 3 in DES at a high f'c: 411.879 x 0.95 / (5.4 x 8.3) = 8.7, raised to 15 cm
        {"N3_floor_15cm", 800, 4200, 3, SeismicClass::Des, 15.0, 1e-9},
        // Published D2 (uncoated, MPa form): 54.2 cm
        {"D2_N9_published", 281.2, 4218.4, 9, SeismicClass::Dmo, 54.2, 0.1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(hookDevelopmentLength(c.fc, c.fy, c.bar, c.seismicClass), c.expected,
                    c.tolerance);
    }
}

double phiMn(const std::vector<engine::SteelLayer>& tension, double b, double h, double fc,
             double fy) {
    engine::CapacityInput in{engine::DesignCode::Nsr10, b, h, fc, fy, 0, tension, {}};
    return engine::checkCapacity(in)->phiMn;
}

// Passes when the beam was designed; otherwise fails with the engine's message.
::testing::AssertionResult isDesign(const BeamOutcome& outcome) {
    if (std::holds_alternative<BeamDesign>(outcome)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << errorText(std::get<BeamError>(outcome), '.');
}

// The station of the profile nearest to x.
const ProfilePoint& nearestStation(const BeamDesign& design, double x) {
    return *std::min_element(design.profile.begin(), design.profile.end(),
                             [&](const ProfilePoint& a, const ProfilePoint& c) {
                                 return std::abs(a.x - x) < std::abs(c.x - x);
                             });
}

// Published D3: a simple span of 9.144 m, b 45.7 cm, d 68.6 cm, six N° 9, f'c 210.9, Fy 4218.4,
// Mu = 85.55 Tn-m at midspan under a uniform load. Four bars give φMn 60.69 Tn-m, two 31.94;
// the first two bars are needed over 4.93 m and the next two over 7.24 m. The positive envelope
// of the typed moments reproduces those lengths, and every bar that stops runs max(d, 12 db)
// past the point where the bars that go on no longer carry the moment.
TEST(BeamCutOffs, SimpleSpanOfThePublishedExample) {
    const double b = 45.7, h = 76.2, d = 68.6, fc = 210.9, fy = 4218.4;
    const double bar9 = engine::findBar(9)->supplyArea;
    const double four = phiMn({{4 * bar9, d, 2.87}}, b, h, fc, fy);
    const double two = phiMn({{2 * bar9, d, 2.87}}, b, h, fc, fy);
    EXPECT_NEAR(four, 60.69, 0.01 * 60.69);
    EXPECT_NEAR(two, 31.94, 0.01 * 31.94);

    BeamInput in;
    in.code = engine::DesignCode::Nsr10;
    in.seismicClass = SeismicClass::Dmi;
    in.b = b;
    in.h = h;
    in.dPrime = h - d;
    in.dSecond = 6;
    in.fc = fc;
    in.fy = fy;
    in.smallestBar = 9;
    in.largestBar = 9;
    in.supports = {40, 40};
    in.spans = {{9.144, {0, 85.55, 0, {}, {}, {}}}};
    const BeamOutcome outcome = designBeam(in);
    ASSERT_TRUE(isDesign(outcome));
    const BeamDesign& design = std::get<BeamDesign>(outcome);
    auto lengthOver = [&](double moment) {
        double first = -1, last = -1;
        for (const ProfilePoint& p : design.profile) {
            if (p.muPos >= moment) {
                if (first < 0) first = p.x;
                last = p.x;
            }
        }
        return last - first;
    };
    EXPECT_NEAR(lengthOver(60.69), 4.93, 0.1);  // the 5 cm stations on either side
    EXPECT_NEAR(lengthOver(31.94), 7.24, 0.1);

    int stopped = 0;
    for (const BarMark& m : design.bars) {
        if (m.face != BeamFace::Bottom || m.continuous) continue;
        ++stopped;
        // The strength at the bar's end is that of the bars that go on.
        const double goingOn = nearestStation(design, m.start).phiMnPos;
        const double reach = std::max(d, 12 * 2.87) / 100;
        for (const ProfilePoint& p : design.profile) {
            if (p.muPos > goingOn + 1e-9) {
                EXPECT_GE(p.x - m.start, reach - 1e-9) << m.mark;
                EXPECT_GE(m.end - p.x, reach - 1e-9) << m.mark;
            }
        }
    }
    EXPECT_GT(stopped, 0);
}

const char* codeText(engine::DesignCode code) {
    return code == engine::DesignCode::Nsr10 ? "NSR-10" : "NSR-98";
}

// The bars as a crew places them: the continuous bars in the first layer (its corners); a mark
// in the second layer only where, somewhere along it, the first layer has no room for two more
// of its bars (three when two would leave one alone); the bars of one mark split between the
// layers leave at least two in the second, and beside continuous bars of another size an odd
// number of them in the first only beside an even number of continuous bars (the odd bar takes
// the middle).
void expectBarsACrewWouldPlace(const BeamInput& in, const BeamDesign& design) {
    const double available = engine::availableWidth(in.settings, in.b);
    for (const BarMark& m : design.bars) {
        if (m.continuous) {
            EXPECT_EQ(m.layer, 1) << m.mark;
            continue;
        }
        if (m.layer != 2) continue;
        const BarMark* firstPart = nullptr;
        for (const BarMark& other : design.bars) {
            if (other.layer == 1 && !other.continuous && other.face == m.face &&
                other.bar == m.bar && std::abs(other.start - m.start) < 1e-9 &&
                std::abs(other.end - m.end) < 1e-9)
                firstPart = &other;
        }
        if (firstPart) {
            EXPECT_GE(m.count, 2) << m.mark;
        }
        bool full = false;
        for (const ProfilePoint& p : design.profile) {
            if (p.x < m.start - 1e-6 || p.x > m.end + 1e-6) continue;
            engine::Layer first;
            double pairs = 0;
            int continuousMarks = 0;
            for (const BarMark& o : design.bars) {
                // Bars lapped within a station of x tie in contact beside the continuous ones.
                if (o.face == m.face && o.continuous && o.start <= p.x + 0.05 + 1e-6 &&
                    o.end >= p.x - 0.05 - 1e-6 && ++continuousMarks > 1)
                    pairs = o.count * engine::findBar(o.bar)->diameterCm();
                if (o.face != m.face || o.layer != 1 || o.start > p.x + 1e-6 || o.end < p.x - 1e-6)
                    continue;
                first.push_back({o.count, engine::findBar(o.bar)});
                if (o.continuous) {
                    if (firstPart && o.bar != m.bar && o.count % 2 == 1) {
                        EXPECT_EQ(firstPart->count % 2, 0) << firstPart->mark;
                    }
                }
            }
            first.push_back({m.count == 3 ? 3 : 2, engine::findBar(m.bar)});
            full = full || engine::layerWidth(in.settings, first) + pairs > available + 1e-9;
        }
        EXPECT_TRUE(full) << m.mark;
    }
}

// The stirrups of every designed beam: φVn >= Vu at every station; each span's hoops from 5 cm
// off one face to 5 cm off the other, zones in order without overlapping or leaving more than d/2 and
// their pieces no farther apart than their spacing; every spacing a whole centimetre within the
// limit of its zone: d/2 (at most 60 cm) anywhere, min(d/4, 10 cm) over laps, and in the hoop
// zones of DES and DMO, which reach 2h from each face, the class's limit on d, the bars and 30 cm.
void expectStirrupsKeepTheRules(const BeamInput& in, const BeamDesign& design) {
    for (const ProfilePoint& p : design.profile) {
        EXPECT_GE(p.phiVn, p.vu * (1 - 1e-9)) << "x = " << p.x;
    }
    const double d = in.h - std::max(in.dPrime, in.dSecond);
    double dbSmallest = 100;
    for (const BarMark& m : design.bars)
        dbSmallest = std::min(dbSmallest, engine::findBar(m.bar)->diameterCm());
    const double dbHoop = engine::findBar(in.settings.stirrupDesignation)->diameterCm();
    double hoopLimit = 1000;
    if (in.seismicClass == SeismicClass::Des && in.code == engine::DesignCode::Nsr10)
        hoopLimit = std::min({d / 4, 6 * dbSmallest, 15.0});
    else if (in.seismicClass != SeismicClass::Dmi)
        hoopLimit = std::min({d / 4, 8 * dbSmallest, 24 * dbHoop, 30.0});
    for (std::size_t i = 0; i < in.spans.size(); ++i) {
        const int span = static_cast<int>(i) + 1;
        const double left = design.faceX[2 * i], right = design.faceX[2 * i + 1];
        std::vector<const StirrupZone*> zones;
        for (const StirrupZone& z : design.zones)
            if (z.span == span && z.mark == "E1") zones.push_back(&z);
        ASSERT_FALSE(zones.empty()) << "span " << span;
        EXPECT_LE(zones.front()->start - left, 0.05 + 1e-9) << "span " << span;
        EXPECT_GE(zones.front()->start - left, 0.0) << "span " << span;
        EXPECT_LE(right - zones.back()->end, 0.05 + 1e-9) << "span " << span;
        EXPECT_GE(right - zones.back()->end, 0.0) << "span " << span;
        double confinedLeft = left, confinedRight = right;
        for (std::size_t k = 0; k < zones.size(); ++k) {
            const StirrupZone& z = *zones[k];
            EXPECT_NEAR(z.spacing, std::round(z.spacing), 1e-9);
            EXPECT_GE(z.count, 1);
            if (z.count > 1) {
                EXPECT_LE((z.end - z.start) / (z.count - 1), z.spacing / 100 + 1e-9)
                    << "span " << span << " zone " << k;
            }
            EXPECT_LE(z.spacing, std::min(d / 2, 60.0) + 1e-9);
            if (z.kind == ZoneKind::Lap) {
                EXPECT_LE(z.spacing, std::min(d / 4, 10.0) + 1e-9);
            }
            if (z.kind == ZoneKind::Confinement) {
                EXPECT_LE(z.spacing, hoopLimit + 1e-9) << "span " << span;
                if (z.start < (left + right) / 2)
                    confinedLeft = std::max(confinedLeft, z.end);
                else
                    confinedRight = std::min(confinedRight, z.start);
            }
            if (k + 1 < zones.size()) {
                const StirrupZone& next = *zones[k + 1];
                // A zone of the rest between them may have had no room for a piece.
                EXPECT_LE(next.start - z.end, std::min(d / 2, 60.0) / 100 + 1e-9)
                    << "span " << span << " zone " << k;
                EXPECT_GE(next.start - z.end, 0.0) << "span " << span << " zone " << k;
            }
        }
        if (in.seismicClass != SeismicClass::Dmi) {
            const double twoH = std::min(2 * in.h / 100, (right - left) / 2);
            EXPECT_GE(confinedLeft - left, twoH - 1e-9) << "span " << span;
            EXPECT_GE(right - confinedRight, twoH - 1e-9) << "span " << span;
        }
    }
}

// The properties every designed beam keeps: strength at every station, the ratio rules at the
// faces and stations, two continuous bars top and bottom, every stopped bar run past its need,
// masses that add up, and required steel at each face never less than the section design's.
void expectBeamKeepsTheRules(const BeamInput& in, const BeamDesign& design) {
    const int spans = static_cast<int>(in.spans.size());
    for (const ProfilePoint& p : design.profile) {
        EXPECT_GE(p.phiMnNeg, p.muNeg * (1 - 1e-9)) << "x = " << p.x;
        EXPECT_GE(p.phiMnPos, p.muPos * (1 - 1e-9)) << "x = " << p.x;
    }
    if (in.seismicClass != SeismicClass::Dmi) {
        const bool des = in.seismicClass == SeismicClass::Des;
        for (int i = 0; i < spans; ++i) {
            const FaceStation& left = design.faces[2 * static_cast<std::size_t>(i)];
            const FaceStation& right = design.faces[2 * static_cast<std::size_t>(i) + 1];
            double largest = 0;
            for (const FaceStation* f : {&left, &right}) {
                EXPECT_GE(f->mnPos, (des ? 0.5 : 1.0 / 3) * f->mnNeg * (1 - 1e-9));
                largest = std::max({largest, f->mnNeg, f->mnPos});
            }
            for (const ProfilePoint& p : design.profile) {
                if (p.x < left.x - 1e-9 || p.x > right.x + 1e-9) continue;
                EXPECT_GE(std::min(p.mnNeg, p.mnPos), (des ? 0.25 : 0.2) * largest * (1 - 1e-9))
                    << "x = " << p.x;
            }
        }
    }
    // Two continuous bars along the whole length, at the top and at the bottom.
    for (const BeamFace face : {BeamFace::Top, BeamFace::Bottom}) {
        for (const ProfilePoint& p : design.profile) {
            if (p.x < 0.1 || p.x > design.length - 0.1) continue;
            int bars = 0;
            for (const BarMark& m : design.bars) {
                if (m.face == face && m.continuous && m.start <= p.x && m.end >= p.x) {
                    bars = std::max(bars, m.count);
                }
            }
            EXPECT_GE(bars, 2) << "x = " << p.x;
        }
    }
    // Every bar that stops runs max(d, 12 db) past the last station where the bars that go
    // on (the strength at its end) fall short of the demand.
    for (const BarMark& m : design.bars) {
        if (m.continuous) continue;
        const bool top = m.face == BeamFace::Top;
        const double reach = std::max(in.h - (top ? in.dSecond : in.dPrime),
                                      12 * engine::findBar(m.bar)->diameterCm()) /
                             100;
        for (const auto& [end, hooked] :
             {std::pair{m.start, m.hookStart}, std::pair{m.end, m.hookEnd}}) {
            if (hooked) continue;
            const ProfilePoint& atEnd = nearestStation(design, end);
            const double goingOn = top ? atEnd.phiMnNeg : atEnd.phiMnPos;
            for (const ProfilePoint& p : design.profile) {
                if (p.x < m.start || p.x > m.end || (top ? p.muNeg : p.muPos) <= goingOn + 1e-6)
                    continue;
                EXPECT_GE(std::abs(p.x - end), reach - 1e-6) << m.mark << " x = " << p.x;
            }
        }
    }
    expectBarsACrewWouldPlace(in, design);
    expectStirrupsKeepTheRules(in, design);
    // Hooks: ldh takes 0.7 only outside DES and where the column gives the hook 6.5 cm of
    // side cover, the tail then 5 cm from the column's face; a hook that does not fit says what
    // would.
    const double seat = engine::barSeat(in.settings);
    for (const Check& c : design.checks) {
        if (c.rule != CheckRule::HookLength) continue;
        const auto j = static_cast<std::size_t>(c.place.support - 1);
        const double column = j < in.columns.size() && in.columns[j] > 0 ? in.columns[j]
                                                                          : in.supports[j];
        const bool factor = in.seismicClass != SeismicClass::Des &&
                            (column - in.b) / 2 + seat >= 6.5 - 1e-9;
        const double basic = hookDevelopmentLength(in.fc, in.fy, c.bar, in.seismicClass);
        if (c.hookUnreduced > 0) {
            EXPECT_TRUE(factor);
            EXPECT_NEAR(c.value, std::max({0.7 * basic, 15.0,
                                           8 * engine::findBar(c.bar)->diameterCm()}), 1e-9);
            EXPECT_NEAR(c.limit, in.supports[j] - std::max(seat, 5.0), 1e-9);
        } else {
            EXPECT_NEAR(c.value, basic, 1e-9);
            EXPECT_NEAR(c.limit, in.supports[j] - seat, 1e-9);
        }
        EXPECT_EQ(c.passes, c.value <= c.limit + 1e-9);
        if (!c.passes) {
            EXPECT_TRUE(c.remedyBar > 0 || c.remedySupport > 0);
        }
    }
    // Bars as bent and cut, in whole centimetres; each hook bent round at least 6 db with at
    // least 12 db straight past the bend.
    for (const BarMark& m : design.bars) {
        for (const double cm : {m.length * 100, m.straight, m.leg, m.bend})
            EXPECT_NEAR(cm, std::round(cm), 1e-6) << m.mark;
        if (!m.hookStart && !m.hookEnd) {
            EXPECT_NEAR(m.length * 100, m.straight, 1e-6) << m.mark;
            continue;
        }
        const double db = engine::findBar(m.bar)->diameterCm();
        EXPECT_GE(m.bend, 6 * db) << m.mark;
        EXPECT_GE(m.leg - m.bend / 2 - db, 12 * db - 1e-9) << m.mark;
        EXPECT_GT(m.length * 100, m.straight + (m.hookStart + m.hookEnd) * 12 * db) << m.mark;
    }
    double total = 0;
    std::map<int, double> byBar;
    for (const BarMark& m : design.bars) {
        EXPECT_LE(m.length, in.stockLength + 1e-9) << m.mark;
        total += m.mass;
        byBar[m.bar] += m.mass;
    }
    double stirrups = 0;
    for (const StirrupMark& m : design.stirrups) {
        int pieces = 0;
        for (const StirrupZone& z : design.zones)
            if (z.mark == m.mark) pieces += z.count;
        EXPECT_EQ(m.count, pieces) << m.mark;
        EXPECT_NEAR(m.mass, m.count * m.length * engine::findBar(m.bar)->mass, 1e-9) << m.mark;
        stirrups += m.mass;
        total += m.mass;
        byBar[m.bar] += m.mass;
    }
    EXPECT_GT(stirrups, 0);
    EXPECT_NEAR(stirrups, design.stirrupMass, 1e-6);
    EXPECT_NEAR(total, design.totalMass, 1e-6);
    for (const auto& [bar, mass] : byBar) EXPECT_NEAR(mass, design.massByBar.at(bar), 1e-6);
    for (const FaceStation& f : design.faces) {
        for (const bool top : {true, false}) {
            const double mu = top ? f.muNeg : f.muPos;
            if (mu <= 0) continue;
            const engine::DesignInput di{.b = in.b,
                                         .h = in.h,
                                         .dPrime = top ? in.dSecond : in.dPrime,
                                         .fc = in.fc,
                                         .fy = in.fy,
                                         .mu = mu,
                                         .dSecond = top ? in.dPrime : in.dSecond};
            const auto run = std::get<engine::DesignRun>(engine::runDesign(di, in.code));
            EXPECT_GE(top ? f.asTopRequired : f.asBottomRequired, run.as() * (1 - 1e-9));
        }
    }
}

// A beam no arrangement satisfies may come out of a draw: true, after checking that its message
// names the place or the rule (laps that fit no stock length).
bool failedSayingWhere(const BeamOutcome& outcome, int n) {
    const BeamError* e = std::get_if<BeamError>(&outcome);
    if (!e) return false;
    const std::string message = errorText(*e, '.');
    EXPECT_TRUE(message.find("Apoyo ") != std::string::npos ||
                message.find("Vano ") != std::string::npos ||
                message.find("longitud comercial") != std::string::npos)
        << "beam " << n << ": " << message;
    return true;
}

std::string drawnBeamTrace(const char* kind, int n, const BeamInput& in) {
    return std::string(kind) + " " + std::to_string(n) + " " + codeText(in.code) + " " +
           std::string(className(in.seismicClass)) + " spans " + std::to_string(in.spans.size());
}

// Random beams of 1 to 6 spans under each class and code: strength at every station, the ratio
// rules at the faces and stations, two continuous bars top and bottom, masses that add up, and
// required steel at each face never less than the section design's for that moment.
TEST(BeamProperty, RandomBeamsKeepTheRules) {
    std::mt19937 random(18);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    int designed = 0, tried = 0;
    for (int n = 0; n < 200; ++n) {
        const BeamInput in = beaminputs::drawnBeam(n, uniform);
        ++tried;
        const BeamOutcome outcome = designBeam(in);
        if (failedSayingWhere(outcome, n)) continue;
        ++designed;
        SCOPED_TRACE(drawnBeamTrace("beam", n, in));
        expectBeamKeepsTheRules(in, std::get<BeamDesign>(outcome));
    }
    EXPECT_GE(designed, tried * 95 / 100);
}

// Heavier beams than above: up to about 2 % of steel at the faces, two layers a face, b from 25
// to 40 cm and h from 40 to 70 cm, bar sizes up to N° 8, narrow and wide supports. Every beam
// designed passes every check (the draw keeps the geometric limits), or no arrangement satisfies
// it and the message names the rule and the place.
TEST(BeamProperty, HeavyBeamsPassEveryCheckOrSayWhereNot) {
    std::mt19937 random(1818);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    int designed = 0;
    const int tried = 240;
    for (int n = 0; n < tried; ++n) {
        const BeamInput in = beaminputs::drawnHeavyBeam(n, uniform);
        const BeamOutcome outcome = designBeam(in);
        if (failedSayingWhere(outcome, n)) continue;
        ++designed;
        SCOPED_TRACE(drawnBeamTrace("heavy beam", n, in));
        const BeamDesign& design = std::get<BeamDesign>(outcome);
        // The draw does not hold the spans to the depths that spare computing deflections:
        // those checks are the engineer's to answer, flagged but not refused.
        bool allPass = true;
        for (const Check& c : design.checks) {
            allPass = allPass && c.passes;
            if (c.rule != CheckRule::MinimumDepth && c.rule != CheckRule::DeepBeam) {
                EXPECT_TRUE(c.passes) << checkLine(c, '.');
            }
        }
        EXPECT_EQ(design.passes, allPass);
        expectBeamKeepsTheRules(in, design);
    }
    EXPECT_GE(designed, tried * 80 / 100);
}

// Beams as a Colombian office draws them (see drawnOfficeBeam): at least 95 % pass every check
// when the outer supports leave room for the hooks, and every one refused names the place.
// Drawn twice: as drawn, and with outer supports wide enough for any hook, so that the hooks'
// part of the refusals shows on its own.
TEST(BeamProperty, OfficeBeamsAreDesigned) {
    for (const bool wideOuterSupports : {false, true}) {
        SCOPED_TRACE(wideOuterSupports ? "wide outer supports" : "as drawn");
        std::mt19937 random(2024);
        auto uniform = [&](double lo, double hi) {
            return std::uniform_real_distribution<double>(lo, hi)(random);
        };
        int designed = 0, shearRefused = 0;
        const int tried = 300;
        std::string refused;
        for (int n = 0; n < tried; ++n) {
            BeamInput in = beaminputs::drawnOfficeBeam(n, uniform);
            if (wideOuterSupports) in.supports.front() = in.supports.back() = 60;
            const BeamOutcome outcome = designBeam(in);
            SCOPED_TRACE(drawnBeamTrace("office beam", n, in));
            if (failedSayingWhere(outcome, n)) {
                const std::string message = errorText(std::get<BeamError>(outcome), '.');
                if (message.find("no resiste el cortante") != std::string::npos) ++shearRefused;
                refused += "\n" + std::to_string(n) + ": " + message;
                continue;
            }
            const BeamDesign& design = std::get<BeamDesign>(outcome);
            expectBeamKeepsTheRules(in, design);
            if (design.passes) {
                ++designed;
                continue;
            }
            for (const Check& c : design.checks)
                if (!c.passes) refused += "\n" + std::to_string(n) + ": " + checkLine(c, '.');
        }
        // As drawn, hooks of N° 4 that do not fit outer supports of 30 to 33 cm (DMI, DMO) and
        // extras that crowd the layers of 25 to 30 cm wide beams still hold the rate back (260
        // of 300 here, 287 with wide outer supports). A few DES beams near 1.2 % of steel have
        // a capacity shear from Mpr past 2.1 √f'c bw d: refused, the section to be enlarged.
        EXPECT_GE(designed, (tried - shearRefused) * (wideOuterSupports ? 95 : 86) / 100)
            << designed << " of " << tried << refused;
        EXPECT_LE(shearRefused, tried * 2 / 100) << refused;
    }
}

// A 3-span DES beam worked by hand: b 30, h 50, d = d'' = 44 cm, f'c 210, Fy 4200, NSR-10
// (φ 0.9), clear spans 6, 7 and 6 m between 40 cm columns, Mu− 18 at the outer faces and 24 at
// the interior ones, Mu+ 14, 15 and 14 Tn-m.
//   Faces, Rn = Mu / (φ b d²) = 45.91 and 34.44 kg/cm²; ρ = 0.85 f'c/Fy (1 − √(1 − 2 Rn /
//   (0.85 f'c))) = 0.012886 and 0.009194: As = 17.01 and 12.13 cm². Midspan 2: 9.89 cm².
//   Span 2's negative envelope −24 + 4 (7.5 + 24) ξ (1 − ξ) vanishes at ξ = 0.2560: 1.79 m from
//   each face. Three N° 5 alone (As 6.0, a = 4.71 cm, φMn = 9.44 Tn-m) cover it from ξ = 0.1333,
//   0.93 m from the face: the top extras over support 2 run to 6.80 + 0.93 + d = 8.17 m at least.
//   DES, interior face: Mn− of 18 cm² ≈ 18 × 4200 (44 − 7.06) = 27.9 Tn-m, so Mn+ ≥ 13.96
//   Tn-m, As bottom ≥ 8.15 cm² there; 3 N° 5 continuous (6.0 cm²) are not enough.
//   ld of a top N° 5 (ψt 1.3): 411.88 × 1.3 × 1.59 / (2.1 × 4.538) = 89.3 cm; ldh of a N° 6 in
//   DES: 411.88 × 1.91 / (5.4 × 4.538) = 32.1 cm ≤ 40 − 4.95 = 35.05 cm in the outer columns.
BeamInput threeSpansByHand() {
    return beaminputs::beam(
        engine::DesignCode::Nsr10, SeismicClass::Des, {40, 40, 40, 40},
        {{6.0, {18, 14, 24, {}, {}, {}}}, {7.0, {24, 15, 24, {}, {}, {}}}, {6.0, {24, 14, 18, {}, {}, {}}}});
}

TEST(BeamWorkedExample, ThreeSpanDesBeamByHand) {
    const BeamInput in = threeSpansByHand();
    const BeamOutcome outcome = designBeam(in);
    ASSERT_TRUE(isDesign(outcome));
    const BeamDesign& design = std::get<BeamDesign>(outcome);
    for (const Check& c : design.checks) EXPECT_TRUE(c.passes) << checkLine(c, '.');
    EXPECT_TRUE(design.passes);

    struct FaceCase {
        std::size_t face;
        double asTop;        // required by the section design, cm2
        double asBottomMin;  // the DES face rule, at the interior faces
    };
    for (const FaceCase& c : {FaceCase{0, 12.13, 0}, FaceCase{1, 17.01, 8.15},
                              FaceCase{2, 17.01, 8.15}, FaceCase{5, 12.13, 0}}) {
        SCOPED_TRACE("face " + std::to_string(c.face));
        const FaceStation& f = design.faces[c.face];
        // The strength of the bars at their real depths may ask a little more than the design.
        EXPECT_GE(f.asTopRequired, c.asTop - 0.01);
        EXPECT_LE(f.asTopRequired, c.asTop * 1.05);
        EXPECT_GE(f.asTop, f.asTopRequired - 1e-9);
        EXPECT_GE(f.asBottom, c.asBottomMin);
        EXPECT_GE(f.mnPos, 0.5 * f.mnNeg * (1 - 1e-9));
    }
    auto near = [&](double x) { return nearestStation(design, x); };
    EXPECT_GT(near(6.80 + 1.79 - 0.05).muNeg, 0);  // the inflection point of span 2
    EXPECT_EQ(near(6.80 + 1.79 + 0.05).muNeg, 0);
    EXPECT_NEAR(near(6.80 + 3.5).muPos, 15, 1e-9);
    EXPECT_GE(near(6.80 + 3.5).phiMnPos, 15);
    // The top extras over support 2 (centre 6.60 m) and where they stop.
    int overSupport2 = 0;
    for (const BarMark& m : design.bars) {
        if (m.face != BeamFace::Top || m.continuous || m.start > 6.6 || m.end < 6.6) continue;
        ++overSupport2;
        EXPECT_GE(m.end, 8.17 - 0.05) << m.mark;  // one 5 cm station of resolution
        EXPECT_LE(m.end, 8.17 + 0.30) << m.mark;
        EXPECT_GE(m.end - 6.80, 0.893) << m.mark;  // ld past the face
    }
    EXPECT_GT(overSupport2, 0);
    // Bars of one size and length are split between the layers only when they do not all fit
    // the first beside the continuous bars.
    for (std::size_t a = 0; a < design.bars.size(); ++a) {
        for (std::size_t b = a + 1; b < design.bars.size(); ++b) {
            const BarMark& m = design.bars[a];
            const BarMark& n = design.bars[b];
            if (m.face != n.face || m.bar != n.bar || std::abs(m.start - n.start) > 1e-9 ||
                std::abs(m.end - n.end) > 1e-9)
                continue;
            const engine::Bar* bar = engine::findBar(m.bar);
            engine::Layer first{{m.count + n.count, bar}};
            for (const BarMark& c : design.bars) {
                if (c.continuous && c.face == m.face && c.start <= m.start && c.end >= m.start)
                    first.push_back({c.count, engine::findBar(c.bar)});
            }
            const double width = engine::layerWidth(in.settings, first);
            // Or an odd number of them beside an odd number of continuous bars of another size:
            // not symmetric in one layer.
            const bool symmetric = first.size() < 2 || first[1].bar == bar ||
                                   (m.count + n.count) % 2 == 0 || first[1].count % 2 == 0;
            if (symmetric) {
                EXPECT_GT(width, engine::availableWidth(in.settings, in.b)) << m.mark << n.mark;
            }
        }
    }
    const auto ldh = std::find_if(design.checks.begin(), design.checks.end(),
                                  [](const Check& c) { return c.rule == CheckRule::HookLength; });
    ASSERT_NE(ldh, design.checks.end());
    EXPECT_NEAR(developmentLength(210, 4200, 5, true, 2.54, 4.95), 89.3, 0.05);
    EXPECT_NEAR(hookDevelopmentLength(210, 4200, 6, SeismicClass::Des), 32.1, 0.05);
}

// A simple span whose bottom extras need their whole development length beyond the peak: they
// cannot stop where the continuous bars give twice the need inside the span, and run on,
// uncut, into the supports. 4.27 m, 38 × 63.5 cm, Mu+ 48.8 Tn-m: designed in every class.
TEST(BeamSearch, ExtrasThatCannotBeCutRunIntoTheSupports) {
    for (const SeismicClass seismicClass :
         {SeismicClass::Des, SeismicClass::Dmo, SeismicClass::Dmi}) {
        SCOPED_TRACE(std::string(className(seismicClass)));
        const BeamInput in = beaminputs::beam(engine::DesignCode::Nsr10, seismicClass, {40, 40},
                                              {{4.27, {0, 48.8, 0, {}, {}, {}}}}, 38, 63.5);
        const BeamOutcome outcome = designBeam(in);
        ASSERT_TRUE(std::holds_alternative<BeamDesign>(outcome))
            << errorText(std::get<BeamError>(outcome), '.');
        const BeamDesign& design = std::get<BeamDesign>(outcome);
        EXPECT_TRUE(design.passes);
        expectBeamKeepsTheRules(in, design);
    }
}

// Hooks in the outer columns, a 25 x 40 DMI beam on 30 cm supports, f'c 210, Fy 4200, clear
// cover 4 cm and N° 3 stirrups (the column's cover and ties taken alike: 4.95 cm).
//   ldh of a N° 4 = 0.24 x 411.88 x 1.27 / 4.538 = 27.7 cm; room 30 - 4.95 = 25.05 cm.
//   On a 30 cm column the side cover is (30 - 25) / 2 + 4.95 = 7.45 >= 6.5 cm: 0.7 x 27.7 =
//   19.4 cm, with the tail held 5 cm from the column's face: room 30 - 5 = 25.0 cm.
//   A column 28 cm wide leaves 6.45 cm of side cover: no factor, 27.7 > 25.05; a N° 3 (20.7 cm)
//   fits, and so does a support of 27.7 + 4.95 = 32.6, 33 cm. At 28.1 cm the cover is 6.5 cm.
//   DES takes fy db / (5.4 sqrt(f'c)) = 21.3 cm for the confined joint, without the factor.
TEST(BeamHooks, AnchorageInTheColumnsCore) {
    struct Case {
        const char* name;
        SeismicClass seismicClass;
        std::vector<double> columns;
        bool passes;
        double ldh, room, unreduced;  // cm; unreduced 0: no factor
        const char* remedy;           // in the check's text, or "" when none is said
    };
    const Case cases[] = {
        {"square_30_column", SeismicClass::Dmi, {}, true, 19.36, 25.0, 27.66, ""},
        {"column_28_no_factor", SeismicClass::Dmi, {28, 28}, false, 27.66, 25.05, 0,
         "use barras N° 3 o un apoyo de al menos 33 cm"},
        {"column_28.1_side_cover_6.5", SeismicClass::Dmi, {28.1, 28.1}, true, 19.36, 25.0, 27.66,
         ""},
        {"des_confined_joint", SeismicClass::Des, {}, true, 21.35, 25.05, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BeamInput in = beaminputs::beam(engine::DesignCode::Nsr10, c.seismicClass, {30, 30},
                                        {{5.0, {4, 5, 4, {}, {}, {}}}}, 25, 40);
        in.columns = c.columns;
        in.largestBar = 4;  // the hand figures are the N° 4's; the search may prefer larger bars
        const BeamOutcome outcome = designBeam(in);
        ASSERT_TRUE(isDesign(outcome));
        const BeamDesign& design = std::get<BeamDesign>(outcome);
        int hooks = 0;
        for (const Check& k : design.checks) {
            if (k.rule != CheckRule::HookLength) continue;
            ++hooks;
            EXPECT_EQ(k.bar, 4);
            EXPECT_EQ(k.passes, c.passes) << checkLine(k, '.');
            EXPECT_NEAR(k.value, c.ldh, 0.01);
            EXPECT_NEAR(k.limit, c.room, 1e-9);
            EXPECT_NEAR(k.hookUnreduced, c.unreduced, 0.01);
            const std::string text = checkLine(k, '.');
            if (*c.remedy != '\0') {
                EXPECT_NE(text.find(c.remedy), std::string::npos) << text;
            }
            if (c.passes) {
                EXPECT_EQ(text.find("use "), std::string::npos) << text;
            }
        }
        EXPECT_EQ(hooks, 2);
    }
}

// Standard 90° hooks as the bender bends them, by hand: inside bend diameter D = 6 db (N° 3 to
// 8), 8 db (N° 9 to 11), 10 db (N° 14, 18), rounded up to the cm; leg out to out 12 db + D/2 +
// db, rounded up; the cut length adds per hook the leg, less the straight length the bend takes
// (D + 2 db: the leg's outer face back to where the bend starts, and the leg itself), plus the
// arc along the bar's centreline, π/2 (D/2 + db/2):
//   N° 4, db 1.27: D 7.62 -> 8, leg 15.24 + 4 + 1.27 = 20.51 -> 21,
//         21 - 10.54 + 1.5708 x 4.635 = 17.74 cm a hook.
//   N° 8, db 2.54: D 15.24 -> 16, leg 30.48 + 8 + 2.54 = 41.02 -> 42, 42 - 21.08 + 14.56 = 35.48.
//   N° 9, db 2.87: D 22.96 -> 23, leg 34.44 + 11.5 + 2.87 = 48.81 -> 49, 49 - 28.74 + 20.32 = 40.58.
//   N° 14, db 4.30: D 43, leg 51.6 + 21.5 + 4.3 = 77.4 -> 78, 78 - 51.6 + 37.15 = 63.55.
// The 25 x 40 beam on 30 cm supports, 5 m clear: 5.60 m overall, the bars hooked at both ends
// run 5.60 - 2 x 0.0495 = 5.501 m between the legs' outer faces, 550 cm; cut 550 + 2 x 17.74 =
// 585.5, 586 cm (the old cut, 12 db past the leg, was 5.85 m and left about 8 db past the bend).
TEST(BeamHooks, BentAsTheBenderReadsThem) {
    struct Case {
        int bar;
        double bend, leg, allowance;  // cm
    };
    const Case cases[] = {{4, 8, 21, 17.741}, {8, 16, 42, 35.481}, {9, 23, 49, 40.578},
                          {14, 43, 78, 63.549}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bar);
        const engine::Bar& bar = *engine::findBar(c.bar);
        const engine::beam::BentHook hook = engine::beam::bentHook(bar);
        EXPECT_EQ(hook.bend, c.bend);
        EXPECT_EQ(hook.leg, c.leg);
        EXPECT_NEAR(engine::beam::hookCutAllowance(bar), c.allowance, 0.001);
    }
    BeamInput in = beaminputs::beam(engine::DesignCode::Nsr10, SeismicClass::Dmi, {30, 30},
                                    {{5.0, {4, 5, 4, {}, {}, {}}}}, 25, 40);
    in.largestBar = 4;  // the bars worked by hand
    const BeamOutcome outcome = designBeam(in);
    ASSERT_TRUE(isDesign(outcome));
    const BeamDesign& design = std::get<BeamDesign>(outcome);
    const BarMark& s1 = design.bars.front();
    ASSERT_TRUE(s1.hookStart && s1.hookEnd);
    EXPECT_EQ(s1.bar, 4);
    EXPECT_EQ(s1.straight, 550);
    EXPECT_NEAR(s1.length, 5.86, 1e-9);
    EXPECT_EQ(s1.leg, 21);
    EXPECT_EQ(s1.bend, 8);
    const std::string json = designJson(design);
    EXPECT_NE(json.find("\"length\":5.86,\"mass\":"), std::string::npos) << json.substr(0, 2000);
    EXPECT_NE(json.find("\"bend\":8,\"leg\":21"), std::string::npos);
    EXPECT_NE(json.find("\"bend\":0,\"leg\":0"), std::string::npos);  // a straight bar
}

// Mpr and Mn at a face count every bar that reaches it whole. The 25 x 40 DMO beam on 28 cm
// columns: the N° 4 hooks need 27.7 cm and have 25.05 (no factor 0.7: 6.45 cm of side cover), so
// at the outer face the top bars are developed to 25.05 / 27.7 = 0.906 only. By hand, 3 N° 4
// (3.87 cm2) at d = 40 - 4.95 - 0.64 = 34.4 cm give, without the compression steel, a = 3.87 x
// 5250 / (0.85 x 210 x 25) = 4.55 cm and Mpr = 3.87 x 5250 x (34.4 - 2.28) = 6.53 Tn-m; the
// developed share would give about 0.906 of it. The design's Mpr is the strength of the bars
// there counted whole, and so is its Mn for the ratio rules; φMn stays with the developed steel.
TEST(BeamFaces, ProbableStrengthCountsEveryBarReachingTheFace) {
    BeamInput in = beaminputs::beam(engine::DesignCode::Nsr10, SeismicClass::Dmo, {30, 30},
                                    {{5.0, {4, 5, 4, {}, {}, {}}}}, 25, 40);
    in.columns = {28, 28};
    const BeamOutcome outcome = designBeam(in);
    ASSERT_TRUE(isDesign(outcome));
    const BeamDesign& design = std::get<BeamDesign>(outcome);
    const FaceStation& face = design.faces.front();
    auto strengthAt = [&](double fy, bool negative) {
        std::vector<engine::SteelLayer> tension, compression;
        double area = 0;
        for (const BarMark& m : design.bars) {
            if (m.start > face.x || m.end < face.x) continue;
            const engine::Bar* bar = engine::findBar(m.bar);
            const bool tensionSide = (m.face == BeamFace::Top) == negative;
            const double a = m.count * bar->supplyArea;
            if (tensionSide) {
                tension.push_back({a, in.h - m.depth, bar->diameterCm()});
                area += a;
            } else {
                compression.push_back({a, m.depth, bar->diameterCm()});
            }
        }
        engine::CapacityInput ci{in.code, in.b, in.h, in.fc, fy, 0, tension, compression};
        return std::pair{engine::checkCapacity(ci)->mn, area};
    };
    const auto [mprNeg, areaTop] = strengthAt(1.25 * in.fy, true);
    EXPECT_NEAR(face.mprNeg, mprNeg, 1e-9);
    EXPECT_NEAR(face.mprPos, strengthAt(1.25 * in.fy, false).first, 1e-9);
    EXPECT_NEAR(face.mnNeg, strengthAt(in.fy, true).first, 1e-9);
    EXPECT_NEAR(face.mnPos, strengthAt(in.fy, false).first, 1e-9);
    EXPECT_NEAR(mprNeg, 6.5, 0.5);
    // The developed steel there is the 0.906 share: less than every bar whole.
    EXPECT_NEAR(face.asTop, areaTop * 25.05 / 27.66, 0.01);
    EXPECT_LT(face.phiMnNeg, 0.9 * face.mnNeg);
}

// A top bar cut where the negative moment still acts keeps twice the need going on. Three spans
// of 6, 3 and 6 m, the short middle one hogging over its whole length (stations: Mu− 22 Tn-m at
// its faces, 14 at its middle): top extras over supports 2 and 3 that stop inside it would
// leave the continuous bars alone under Mu− = 14 Tn-m, which needs about 9.6 cm² (30 x 50, d 44)
// and so 19 cm² going on; the extras run on instead (across the span, as one bar) or stop where
// twice the need goes on. The check names the article; before, there was none.
TEST(BeamCutOffs, TopBarsCutInTensionKeepTwiceTheNeed) {
    BeamInput in = beaminputs::beam(engine::DesignCode::Nsr10, SeismicClass::Des,
                                    {40, 40, 40, 40}, {{6, {}}, {3, {}}, {6, {}}});
    for (int i = 0; i <= 12; ++i) {
        const double u = i / 12.0;
        in.stations.push_back({1, 6 * u, -18 * (1 - u) - 22 * u + 4 * 14 * u * (1 - u)});
        in.stations.push_back({3, 6 * u, -22 * (1 - u) - 18 * u + 4 * 14 * u * (1 - u)});
        in.stations.push_back({2, 3 * u, -(22 - 8 * 4 * u * (1 - u))});
    }
    const BeamOutcome outcome = designBeam(in);
    ASSERT_TRUE(isDesign(outcome));
    const BeamDesign& design = std::get<BeamDesign>(outcome);
    const auto cut = std::find_if(design.checks.begin(), design.checks.end(),
                                  [](const Check& c) { return c.rule == CheckRule::TopCutOff; });
    ASSERT_NE(cut, design.checks.end());
    EXPECT_TRUE(cut->passes) << checkLine(*cut, '.');
    EXPECT_GE(cut->value, cut->limit - 1e-9);
    EXPECT_NE(checkLine(*cut, '.').find("(C.12.10.5)"), std::string::npos);
}

// The typed envelopes, by hand on three spans of 6, 2.5 and 6 m (DMO, 30 x 50): Mu− 12, 18,
// 18, 20 at the faces; the short middle span hogs all along with a smallest Mu+ of −6 (Mu− 6 at
// its middle, where the default ½ Mu+ would leave none); the first span has Mu+ 4 at its left
// face, falling straight to 0 at midspan: at ξ = 1/4, max(9 × 4 × 0.1875 = 6.75, 4 × 0.5 = 2).
TEST(BeamEnvelopes, HoggingSpanAndPositiveMomentsAtTheFaces) {
    BeamInput in = beaminputs::beam(engine::DesignCode::Nsr10, SeismicClass::Dmo,
                                    {40, 40, 40, 40},
                                    {{6, {12, 9, 18, {}, 4.0, {}}},
                                     {2.5, {18, 1, 18, -6.0, {}, {}}},
                                     {6, {18, 9, 20, {}, {}, 3.5}}});
    const BeamOutcome outcome = designBeam(in);
    ASSERT_TRUE(isDesign(outcome));
    const BeamDesign& design = std::get<BeamDesign>(outcome);
    struct Case {
        const char* name;
        double x;  // m
        double muNeg, muPos;
    };
    const double x1 = 0.4, x2 = x1 + 6 + 0.4, x3 = x2 + 2.5 + 0.4;
    const Case cases[] = {
        {"first_left_face", x1, 12, 4},
        {"first_quarter", x1 + 1.5, -1, 6.75},
        {"middle_of_hogging_span", x2 + 1.25, 6, 1},
        {"last_right_face", x3 + 6, 20, 3.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProfilePoint& p = nearestStation(design, c.x);
        ASSERT_NEAR(p.x, c.x, 1e-6);
        if (c.muNeg >= 0) {
            EXPECT_NEAR(p.muNeg, c.muNeg, 1e-9);
        }
        EXPECT_NEAR(p.muPos, c.muPos, 1e-9);
    }
    // Two spans leave their smallest Mu+ out: the default is said.
    bool said = false;
    for (const Phrase& note : design.notes)
        said = said || noteText(note, '.').find("la mitad del Mu+ máximo") != std::string::npos;
    EXPECT_TRUE(said);
}

// Inputs no beam can have, and a beam no arrangement satisfies: the message names the place.
TEST(BeamErrors, MessagesNameTheRuleAndThePlace) {
    auto base = [] {
        return beaminputs::beam(engine::DesignCode::Nsr98, SeismicClass::Des, {40, 40, 40},
                                {{5, {8, 5, 9, {}, {}, {}}}, {5, {9, 5, 8, {}, {}, {}}}});
    };
    struct Case {
        const char* name;
        void (*change)(BeamInput&);
        const char* fragment;
        BeamErrorKind kind;
    };
    const Case cases[] = {
        {"supports", [](BeamInput& in) { in.supports.pop_back(); }, "apoyos", BeamErrorKind::Input},
        {"station_outside",
         [](BeamInput& in) {
             in.stations = {{1, 0, -5}, {1, 5.2, -4}};
         },
         "Estación 2: x = 5.20 m fuera del vano 1", BeamErrorKind::Input},
        {"rho_over_limit", [](BeamInput& in) { in.spans[1].moments.right = 50; },
         "Vano 2, apoyo derecho: ρ = 0.027 > 0.025; aumente b o h", BeamErrorKind::Unsatisfiable},
        // Too wide for two layers of the largest bars allowed.
        {"bars_do_not_fit",
         [](BeamInput& in) {
             in.largestBar = 4;
             in.spans[0].moments.left = 30;
         },
         "no caben en 2 capas", BeamErrorKind::Unsatisfiable},
        {"negative_moment", [](BeamInput& in) { in.spans[0].moments.mid = -1; }, "Vano 1",
         BeamErrorKind::Input},
        // Magnitudes no building has: refused before the design, which would otherwise turn
        // inf · 0 into a passing beam or run out of memory laying out its stations.
        {"moment_beyond_bounds", [](BeamInput& in) { in.spans[0].moments.left = 9e307; },
         "Vano 1: el momento «mu» = 9e+307 Tn-m está fuera de lo admitido", BeamErrorKind::Input},
        {"span_beyond_bounds", [](BeamInput& in) { in.spans[1].length = 1e12; },
         "Vano 2: la luz libre «length» = 1e+12 m", BeamErrorKind::Input},
        {"support_beyond_bounds", [](BeamInput& in) { in.supports[0] = 1e12; },
         "Apoyo 1: el ancho del apoyo «support»", BeamErrorKind::Input},
        // Faces closer than the station grid once read outside the stations.
        {"span_too_short_to_build", [](BeamInput& in) { in.spans[0].length = 1e-8; },
         "(0.3 a 30 m)", BeamErrorKind::Input},
        {"support_too_narrow_to_build", [](BeamInput& in) { in.supports[1] = 1e-6; }, "Apoyo 2",
         BeamErrorKind::Input},
        // 2 × 1.27 + 2.5 cm clear + 2 × 4.95 cm of cover and stirrup = 14.9 cm.
        {"two_bars_too_wide", [](BeamInput& in) { in.b = 12; },
         "Barras continuas: 2 N° 4 no caben en b = 12.0 cm; aumente b a 15 cm",
         BeamErrorKind::Unsatisfiable},
        // DES: 20 db of a N° 5 is 31.8 cm, so only N° 4 cross a 30 cm support, and the 20 cm²
        // or so of Mu− 30 Tn-m take more N° 4 than two layers hold in b = 30 cm.
        {"des_support_passes_small_bars",
         [](BeamInput& in) {
             in.supports[1] = 30;
             in.spans[0].moments.right = in.spans[1].moments.left = 30;
         },
         "Apoyo 2 de 30 cm, barras superiores: en DES cruzan barras de hasta N° 4 (20 db = 25.4 "
         "≤ 30 cm); ",
         BeamErrorKind::Unsatisfiable},
        {"station_past_the_centreline",
         [](BeamInput& in) {
             in.stationsFromCentreline = true;
             in.stations = {{1, 0, -5}, {1, 1e300, -4}, {2, 1, 3}};
         },
         "Estación 2", BeamErrorKind::Input},
        {"negative_load", [](BeamInput& in) { in.spans[1].wu = -1; },
         "Vano 2: la carga wu debe ser un número no negativo", BeamErrorKind::Input},
        {"shear_not_a_number",
         [](BeamInput& in) {
             in.stations = {{1, 0, -5, 4.0}, {1, 2.5, 3, std::nan("")}, {2, 1, 3}};
         },
         "Estación 2: valor no numérico", BeamErrorKind::Input},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BeamInput in = base();
        c.change(in);
        const BeamOutcome outcome = designBeam(in);
        ASSERT_TRUE(std::holds_alternative<BeamError>(outcome));
        const std::string message = errorText(std::get<BeamError>(outcome), '.');
        EXPECT_NE(message.find(c.fragment), std::string::npos) << message;
        EXPECT_EQ(std::get<BeamError>(outcome).kind, c.kind);
    }
    BeamInput in = base();
    in.spans[1].moments.right = 50;
    EXPECT_NE(errorText(std::get<BeamError>(designBeam(in)), '.').find("> 0.025; aumente b o h"),
              std::string::npos);
}

// The covers a beam of h = 50 cm takes, at the boundary d' + d'' = h: the window's fields and the
// designer share this one rule.
TEST(BeamInputs, CoversBoundary) {
    struct Case {
        double dPrime, dSecond;
        bool fits;
    };
    for (const Case& c : {Case{6, 6, true}, Case{30, 6, true}, Case{44, 5.99, true},
                          Case{44, 6, false}, Case{25, 25, false}, Case{0, 6, false},
                          Case{6, -1, false}}) {
        EXPECT_EQ(coversFit(50, c.dPrime, c.dSecond), c.fits) << c.dPrime << " + " << c.dSecond;
        BeamInput in = threeSpansByHand();
        in.dPrime = c.dPrime;
        in.dSecond = c.dSecond;
        const BeamOutcome outcome = designBeam(in);
        const BeamError* error = std::get_if<BeamError>(&outcome);
        EXPECT_EQ(error != nullptr && error->kind == BeamErrorKind::Input, !c.fits)
            << c.dPrime << " + " << c.dSecond;
    }
}

// The texts of a design follow the separator they are composed with: with ',' every check, note
// and message reads as with '.' but for the separator between the digits of its figures; the
// full line of a check is its place, ": " and its words, the place once.
TEST(BeamTexts, FiguresFollowTheDecimalSeparator) {
    BeamInput in = threeSpansByHand();
    auto commaText = [](std::string text) {
        auto digit = [&](std::size_t k) {
            return std::isdigit(static_cast<unsigned char>(text[k])) != 0;
        };
        for (std::size_t k = 1; k + 1 < text.size(); ++k) {
            if (text[k] != '.' || !digit(k - 1) || !digit(k + 1)) continue;
            // An article of the code ("C.9.5") is a name, not a figure.
            std::size_t from = k;
            while (from > 0 && (digit(from - 1) || text[from - 1] == '.')) --from;
            if (from > 0 && text[from - 1] == 'C') continue;
            text[k] = ',';
        }
        return text;
    };
    const BeamDesign design = std::get<BeamDesign>(designBeam(in));
    for (const Check& check : design.checks) {
        const std::string point = checkLine(check, '.'), comma = checkLine(check, ',');
        EXPECT_EQ(comma, commaText(point));
        // Every check with a figure (all but the count of continuous bars) shows the comma.
        if (check.rule != CheckRule::ContinuousBars) {
            EXPECT_NE(comma, point);
        }
        const std::string place = placeText(check.place, '.');
        EXPECT_EQ(point, place.empty() ? checkText(check, '.') : place + ": " + checkText(check, '.'));
        if (!place.empty()) {
            EXPECT_EQ(point.find(place, 1), std::string::npos) << point;
        }
    }
    for (const Phrase& note : design.notes)
        EXPECT_EQ(noteText(note, ','), commaText(noteText(note, '.')));
    in.spans[1].moments.right = 60;
    EXPECT_NE(errorText(std::get<BeamError>(designBeam(in)), ',').find("> 0,025; aumente b o h"),
              std::string::npos);
}

// The geometric limits of each class at their boundaries: DES ln >= 4 d and b >= min(0.3 h, 25);
// DMO b >= 20 cm.
TEST(BeamChecks, GeometryBoundaries) {
    struct Case {
        const char* name;
        SeismicClass seismicClass;
        double b, h, ln;
        const char* rule;
        bool passes;
    };
    const Case cases[] = {
        {"DES_ln_equal_4d", SeismicClass::Des, 30, 56, 2.0, "geometria-luz", true},
        {"DES_ln_below_4d", SeismicClass::Des, 30, 56, 1.95, "geometria-luz", false},
        {"DES_b_at_25", SeismicClass::Des, 25, 90, 6.0, "geometria-ancho", true},
        {"DES_b_below_03h", SeismicClass::Des, 24, 90, 6.0, "geometria-ancho", false},
        {"DMO_b_at_20", SeismicClass::Dmo, 20, 40, 5.0, "geometria-ancho", true},
        {"DMO_b_below_20", SeismicClass::Dmo, 19.5, 40, 5.0, "geometria-ancho", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BeamInput in = beaminputs::beam(engine::DesignCode::Nsr98, c.seismicClass, {40, 40},
                                              {{c.ln, {2, 1.5, 2, {}, {}, {}}}}, c.b, c.h);
        const BeamOutcome outcome = designBeam(in);
        ASSERT_TRUE(isDesign(outcome));
        const BeamDesign& design = std::get<BeamDesign>(outcome);
        const auto check = std::find_if(design.checks.begin(), design.checks.end(),
                                        [&](const Check& k) { return ruleKey(k.rule) == c.rule; });
        ASSERT_NE(check, design.checks.end());
        EXPECT_EQ(check->passes, c.passes) << checkLine(*check, '.');
    }
}

// The proportions an engineer would question, flagged per span without refusing the design.
// Hand figures: C.10.7, a deep beam below ln = 4 h: h 40 cm gives 1.60 m. C.9.5, the least h
// without computing deflections: a single span of 6 m, 600 / 16 = 37.5 cm; an outer span of
// 6 m (one end continuous), 600 / 18.5 = 32.4 cm; an interior span of 6 m, 600 / 21 = 28.6 cm.
TEST(BeamChecks, ProportionsFlaggedAtTheirLimits) {
    struct Case {
        const char* name;
        SeismicClass seismicClass;
        int spans;
        double h, ln;
        const char* rule;
        int span;  // from 1
        bool passes;
        double limit;  // m for the deep beam, cm for the depth
    };
    const Case cases[] = {
        {"DMI_ln_equal_4h", SeismicClass::Dmi, 1, 40, 1.60, "viga-alta", 1, true, 1.60},
        {"DMO_ln_below_4h", SeismicClass::Dmo, 1, 40, 1.55, "viga-alta", 1, false, 1.60},
        {"single_span_at_ln_16", SeismicClass::Dmi, 1, 37.5, 6.0, "altura-minima", 1, true, 37.5},
        {"single_span_below", SeismicClass::Dmi, 1, 37, 6.0, "altura-minima", 1, false, 37.5},
        {"outer_span_above_ln_18_5", SeismicClass::Dmo, 3, 32.5, 6.0, "altura-minima", 1, true,
         32.43},
        {"outer_span_below", SeismicClass::Des, 3, 32, 6.0, "altura-minima", 3, false, 32.43},
        {"interior_span_above_ln_21", SeismicClass::Dmi, 3, 29, 6.0, "altura-minima", 2, true,
         28.57},
        {"interior_span_below", SeismicClass::Dmi, 3, 28, 6.0, "altura-minima", 2, false, 28.57},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<engine::beam::Span> spans(static_cast<std::size_t>(c.spans),
                                              {c.ln, {2, 1.5, 2, {}, {}, {}}});
        const BeamInput in =
            beaminputs::beam(engine::DesignCode::Nsr10, c.seismicClass,
                             std::vector<double>(spans.size() + 1, 40), spans, 30, c.h);
        const BeamOutcome outcome = designBeam(in);
        ASSERT_TRUE(isDesign(outcome));
        const BeamDesign& design = std::get<BeamDesign>(outcome);
        const auto check = std::find_if(design.checks.begin(), design.checks.end(), [&](const Check& k) {
            return ruleKey(k.rule) == c.rule && k.place.span == c.span;
        });
        ASSERT_NE(check, design.checks.end());
        EXPECT_EQ(check->passes, c.passes) << checkLine(*check, '.');
        EXPECT_NEAR(check->limit, c.limit, 0.005);
        if (!c.passes) {
            EXPECT_FALSE(design.passes);
            EXPECT_NE(checkLine(*check, '.').find(check->rule == CheckRule::DeepBeam ? "C.10.7"
                                                                                     : "C.9.5"),
                      std::string::npos);
        }
    }
    // DES holds ln >= 4 d instead: no deep-beam check of its own.
    const BeamInput des = beaminputs::beam(engine::DesignCode::Nsr10, SeismicClass::Des, {40, 40},
                                           {{6.0, {2, 1.5, 2, {}, {}, {}}}});
    const BeamDesign design = std::get<BeamDesign>(designBeam(des));
    EXPECT_TRUE(std::none_of(design.checks.begin(), design.checks.end(),
                             [](const Check& k) { return k.rule == CheckRule::DeepBeam; }));
}

// Stations that stop short of a face: the note names the span, the face and the gap; a table
// reaching every face (or the centrelines beyond them) has no such note.
TEST(BeamStations, GapsBeforeTheFacesNamedInANote) {
    BeamInput in = beaminputs::beam(engine::DesignCode::Nsr10, SeismicClass::Dmo, {40, 40, 40},
                                    {{5.0, {}}, {5.0, {}}});
    auto notesWith = [](const BeamDesign& design, const std::string& words) {
        return std::count_if(design.notes.begin(), design.notes.end(), [&](const Phrase& n) {
            return noteText(n, '.').find(words) != std::string::npos;
        });
    };
    // Span 1 from 0.30 m to its right face; span 2 from its left face to 4.80 m.
    for (const double x : {0.3, 2.5, 5.0}) in.stations.push_back({1, x, x == 2.5 ? 6.0 : -8.0});
    for (const double x : {0.0, 2.5, 4.8}) in.stations.push_back({2, x, x == 2.5 ? 6.0 : -8.0});
    const BeamDesign short_ = std::get<BeamDesign>(designBeam(in));
    EXPECT_EQ(notesWith(short_, "Vano 1: las estaciones empiezan a 0.30 m de la cara izquierda"), 1);
    EXPECT_EQ(notesWith(short_, "Vano 2: las estaciones terminan 0.20 m antes de la cara derecha"),
              1);
    EXPECT_EQ(notesWith(short_, "las estaciones"), 2);
    in.stationsFromCentreline = true;  // from the centreline, 0.30 m is 0.10 m past the face
    in.stations = {{1, 0.0, -8}, {1, 2.7, 6}, {1, 5.4, -8}, {2, 0.0, -8}, {2, 2.7, 6}, {2, 5.4, -8}};
    EXPECT_EQ(notesWith(std::get<BeamDesign>(designBeam(in)), "las estaciones"), 0);
}

// f'c below the least of structural concrete is refused as such, not as bars that find no
// place: 17 MPa = 17 / 0.0980665 = 173.35 kg/cm². With f'c = 1 the ld of a N° 4 comes to
// about 8 m and its lap to more than a span, which the refusal used to blame.
TEST(BeamErrors, ConcreteTooWeakNamedAsTheCause) {
    struct Case {
        double fc;
        bool refused;
    };
    for (const Case& c : {Case{1, true}, Case{173.3, true}, Case{173.4, false}}) {
        BeamInput in = threeSpansByHand();
        in.seismicClass = SeismicClass::Dmi;
        in.fc = c.fc;
        const BeamOutcome outcome = designBeam(in);
        const BeamError* error = std::get_if<BeamError>(&outcome);
        const bool namesConcrete =
            error && errorText(*error, '.').find("mínimo del concreto estructural") != std::string::npos;
        EXPECT_EQ(namesConcrete, c.refused) << c.fc;
        if (c.refused) {
            EXPECT_EQ(error->kind, engine::beam::BeamErrorKind::Input);
            EXPECT_NE(errorText(*error, '.').find("C.1.1.1"), std::string::npos);
        }
    }
}

// The schedule's heading names the beam, its section, materials, code, class and placing; the
// DMI note names the code in use.
TEST(BeamTexts, HeadingAndNotesNameTheBeamAndTheCode) {
    for (const engine::DesignCode code : {engine::DesignCode::Nsr98, engine::DesignCode::Nsr10}) {
        BeamInput in = beaminputs::beam(code, SeismicClass::Dmi, {40, 40}, {{5.0, {6, 5, 6, {}, {}, {}}}},
                                        25, 45);
        EXPECT_EQ(in.name, "V-1");
        in.name = "VA-12";
        const BeamDesign design = std::get<BeamDesign>(designBeam(in));
        const std::string codeText(engine::codeName(code));
        const std::vector<std::string> heading = scheduleHeading(design, ',');
        ASSERT_EQ(heading.size(), 2u);
        EXPECT_EQ(heading[0].rfind("Viga VA-12, continua de 1 vano, " + codeText + ", DMI", 0), 0u)
            << heading[0];
        for (const char* words : {"b × h = 25 × 45 cm", "f'c = 210 kg/cm²", "Fy = 4200 kg/cm²",
                                  "recubrimiento libre 4 cm", "estribo N° 3",
                                  "agregado máximo 1,9 cm"})
            EXPECT_NE(heading[1].find(words), std::string::npos) << words << " in " << heading[1];
        EXPECT_EQ(scheduleText(design, ',').rfind(heading[0] + "\n" + heading[1] + "\n", 0), 0u);
        EXPECT_NE(designJson(design).find("\"name\":\"VA-12\""), std::string::npos);
        bool dmiNote = false;
        for (const Phrase& note : design.notes) {
            const std::string text = noteText(note, '.');
            if (text.find("DMI") == std::string::npos) continue;
            dmiNote = true;
            EXPECT_NE(text.find("exige la " + codeText + "."), std::string::npos) << text;
        }
        EXPECT_TRUE(dmiNote);
    }
    for (const char* bad : {"", "V\x1b[2J", "una viga con un nombre de más de cuarenta letras"}) {
        BeamInput in = threeSpansByHand();
        in.name = bad;
        const BeamOutcome outcome = designBeam(in);
        ASSERT_TRUE(std::holds_alternative<BeamError>(outcome)) << bad;
        EXPECT_EQ(std::get<BeamError>(outcome).kind, engine::beam::BeamErrorKind::Input);
    }
}

// A beam longer than the stock length: continuous bars lap by class B (1.3 ld, at least 30 cm),
// never in a support, top bars in the middle third of a span, no bar longer than the stock.
TEST(BeamSplices, LapsWhereTheRulesPutThem) {
    BeamInput in =
        beaminputs::beam(engine::DesignCode::Nsr10, SeismicClass::Des, {40, 40, 40, 40},
                         {{5.6, {12, 8, 15, {}, {}, {}}}, {5.6, {14, 7, 14, {}, {}, {}}}, {5.6, {15, 8, 12, {}, {}, {}}}});
    in.stockLength = 9;
    const BeamDesign design = std::get<BeamDesign>(designBeam(in));
    for (const BeamFace face : {BeamFace::Top, BeamFace::Bottom}) {
        std::vector<BarMark> pieces;
        for (const BarMark& m : design.bars) {
            if (m.face == face && m.continuous) pieces.push_back(m);
        }
        ASSERT_GE(pieces.size(), 3u);
        for (std::size_t k = 0; k + 1 < pieces.size(); ++k) {
            const double lapStart = pieces[k + 1].start, lapEnd = pieces[k].end;
            const double ld =
                developmentLength(in.fc, in.fy, pieces[k].bar, face == BeamFace::Top, 2.54, 4.95) /
                100;
            EXPECT_GE(lapEnd - lapStart, std::max(1.3 * ld, 0.30) - 1e-9);
            // Inside one span, clear of 2h from its faces.
            bool inside = false;
            for (std::size_t i = 0; i + 1 < design.faceX.size(); i += 2) {
                const double a = design.faceX[i], b = design.faceX[i + 1];
                const double margin = face == BeamFace::Top ? std::max((b - a) / 3, 1.0) : 1.0;
                if (lapStart >= a + margin - 1e-9 && lapEnd <= b - margin + 1e-9) inside = true;
            }
            EXPECT_TRUE(inside) << pieces[k].mark << " laps " << lapStart << " to " << lapEnd;
        }
    }
}

}  // namespace

namespace {

// A station table of the typed envelopes (the negative and the positive as two load
// combinations, read off the typed design's profile) gives the same beam: the same bars, masses
// within 2 %; read from the support centrelines (rows over the supports included), the same
// again.
TEST(BeamStations, TableOfTheTypedEnvelopesGivesTheSameBeam) {
    const engine::beam::BeamInput typed =
        beaminputs::beam(engine::DesignCode::Nsr98, engine::beam::SeismicClass::Dmo, {40, 50, 40},
                         {{6.0, {14, 10, 18, {}, {}, {}}}, {5.0, {16, 7, 9, {}, {}, {}}}}, 30, 55);
    const auto reference = std::get<engine::beam::BeamDesign>(engine::beam::designBeam(typed));
    // Span 1 (faces at 0.40 and 6.40 m): Mu = −(14 (1 − ξ) + 18 ξ) + 4 (5 + 16) ξ (1 − ξ) and
    // Mu+ = 10 × 4 ξ (1 − ξ). At ξ = 0.1 (x = 1.00 m): −14.4 + 7.56 = −6.84 and 3.6; at ξ = 0.25
    // (x = 1.90 m): −15 + 15.75 > 0, no negative moment, and 7.5; at midspan (3.40 m): 10.
    struct Expected {
        double x, muNeg, muPos;
    };
    for (const Expected& e : {Expected{1.00, 6.84, 3.6}, Expected{1.90, 0, 7.5},
                              Expected{3.40, 0, 10}}) {
        const ProfilePoint& p = nearestStation(reference, e.x);
        EXPECT_NEAR(p.x, e.x, 1e-9);
        EXPECT_NEAR(p.muNeg, e.muNeg, 1e-9) << "x = " << e.x;
        EXPECT_NEAR(p.muPos, e.muPos, 1e-9) << "x = " << e.x;
    }
    for (const bool centreline : {false, true}) {
        SCOPED_TRACE(centreline ? "centreline" : "faces");
        engine::beam::BeamInput table = typed;
        table.stationsFromCentreline = centreline;
        for (int i = 0; i < 2; ++i) {
            const engine::beam::Span& span = typed.spans[static_cast<std::size_t>(i)];
            const double ln = span.length;
            const double shift = centreline ? typed.supports[static_cast<std::size_t>(i)] / 200 : 0;
            const double left = reference.faceX[2 * static_cast<std::size_t>(i)];
            const double right = reference.faceX[2 * static_cast<std::size_t>(i) + 1];
            for (const ProfilePoint& p : reference.profile) {
                if (p.x < left - 1e-9 || p.x > right + 1e-9) continue;
                table.stations.push_back({i + 1, p.x - left + shift, -p.muNeg});
                table.stations.push_back({i + 1, p.x - left + shift, p.muPos});
            }
            if (centreline) {  // a row at each centreline, beyond the faces
                table.stations.push_back({i + 1, 0, -span.moments.left * 1.2});
                table.stations.push_back(
                    {i + 1, ln + shift + typed.supports[static_cast<std::size_t>(i) + 1] / 200,
                     -span.moments.right * 1.2});
            }
        }
        const auto outcome = engine::beam::designBeam(table);
        ASSERT_TRUE(isDesign(outcome));
        const auto& design = std::get<engine::beam::BeamDesign>(outcome);
        for (std::size_t f = 0; f < design.faces.size(); ++f) {
            EXPECT_NEAR(design.faces[f].muNeg, reference.faces[f].muNeg, 1e-6);
        }
        EXPECT_NEAR(design.totalMass, reference.totalMass, 0.02 * reference.totalMass);
        EXPECT_TRUE(design.passes);
    }
}

}  // namespace
