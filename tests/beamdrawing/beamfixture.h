#pragma once

#include <cmath>
#include <utility>

#include "beaminputs.h"
#include "engine/beam/beam.h"
#include "engine/catalogue.h"

// A 3-span DES beam and a despiece built by hand for it, so that the drawings and the DXF file
// can be tested whatever the design engine proposes: 30 x 50 cm, supports 40 cm, clear spans
// 5, 6 and 5 m; continuous N° 6 at the top and N° 5 at the bottom, each lapped once in the
// middle span; extra bars over the interior supports and in the middle span; hooks at the ends.
// Hoops E1 N° 3 at 0.10 over 2h = 1 m from each face (the first at 0.05) and at 0.20 between,
// and crossties C1 with the hoops at the left end of the middle span.
namespace beamfixture {

inline engine::beam::BarMark mark(const char* name, engine::beam::BeamFace face, int bar, int count,
                                  double start, double end, bool hookStart, bool hookEnd,
                                  int layer, double depth, bool continuous) {
    engine::beam::BarMark m;
    m.mark = name;
    m.face = face;
    m.bar = bar;
    m.count = count;
    m.start = start;
    m.end = end;
    m.hookStart = hookStart;
    m.hookEnd = hookEnd;
    const engine::Bar* b = engine::findBar(bar);
    m.hookTail = (hookStart || hookEnd) ? std::round(12 * b->diameterCm() * 10) / 10 : 0;
    // As bent: out to out of the legs, legs of 12 db, bends of 6 db.
    m.straight = std::round((end - start) * 100);
    m.leg = (hookStart || hookEnd) ? std::round(12 * b->diameterCm()) : 0;
    m.bend = (hookStart || hookEnd) ? std::round(6 * b->diameterCm()) : 0;
    m.layer = layer;
    m.depth = depth;
    m.length = (end - start) + (int(hookStart) + int(hookEnd)) * m.hookTail / 100;
    m.mass = count * m.length * b->mass;
    m.continuous = continuous;
    return m;
}

inline std::pair<engine::beam::BeamInput, engine::beam::BeamDesign> threeSpans() {
    using namespace engine::beam;
    const BeamInput input =
        beaminputs::beam(engine::DesignCode::Nsr10, SeismicClass::Des, {40, 40, 40, 40},
                         {{5, {12, 8, 14, {}, {}, {}}}, {6, {15, 10, 15, {}, {}, {}}}, {5, {14, 8, 12, {}, {}, {}}}});

    BeamDesign design;
    design.code = input.code;
    design.seismicClass = input.seismicClass;
    design.name = input.name;
    design.b = input.b;
    design.h = input.h;
    design.fc = input.fc;
    design.fy = input.fy;
    design.settings = input.settings;
    design.length = 17.6;
    design.faceX = {0.4, 5.4, 5.8, 11.8, 12.2, 17.2};
    const BeamFace top = BeamFace::Top, bottom = BeamFace::Bottom;
    design.bars = {
        mark("S1", top, 6, 2, 0.05, 9.80, true, false, 1, 5.6, true),
        mark("S2", top, 6, 2, 8.90, 17.55, false, true, 1, 5.6, true),
        mark("S3", top, 5, 2, 4.10, 7.15, false, false, 1, 5.6, false),
        mark("S4", top, 5, 2, 10.45, 13.50, false, false, 1, 5.6, false),
        mark("I1", bottom, 5, 2, 0.05, 9.00, true, false, 1, 5.5, true),
        mark("I2", bottom, 5, 2, 8.00, 17.55, false, true, 1, 5.5, true),
        mark("I3", bottom, 5, 1, 7.00, 10.60, false, false, 1, 5.5, false),
    };
    for (const BarMark& m : design.bars) {
        design.massByBar[m.bar] += m.mass;
        design.totalMass += m.mass;
    }
    StirrupMark hoop;
    hoop.mark = "E1";
    hoop.bar = 3;
    hoop.width = 22;
    hoop.height = 42;
    hoop.hook = 7.5;
    hoop.bend = 3.8;
    hoop.length = 1.45;
    StirrupMark tie;
    tie.mark = "C1";
    tie.kind = StirrupKind::Crosstie;
    tie.bar = 3;
    tie.legs = 1;
    tie.height = 42;
    tie.hook = 7.5;
    tie.bend = 3.8;
    tie.length = 0.62;
    for (int span = 1; span <= 3; ++span) {
        const double a = design.faceX[2 * span - 2], b = design.faceX[2 * span - 1];
        const int rest = static_cast<int>(std::floor((b - a - 2.3) / 0.2 + 1e-9)) + 1;
        design.zones.push_back({span, "E1", ZoneKind::Confinement, a + 0.05, a + 0.95, 10, 10});
        design.zones.push_back({span, "E1", ZoneKind::Rest, a + 1.15, a + 1.15 + (rest - 1) * 0.2,
                                20, rest});
        design.zones.push_back({span, "E1", ZoneKind::Confinement, b - 0.95, b - 0.05, 10, 10});
        hoop.count += 20 + rest;
    }
    design.zones.push_back({2, "C1", ZoneKind::Confinement, 5.85, 6.75, 10, 10});
    tie.count = 10;
    const double n3 = engine::findBar(3)->mass;
    for (StirrupMark* m : {&hoop, &tie}) {
        m->mass = m->count * m->length * n3;
        design.massByBar[3] += m->mass;
        design.stirrupMass += m->mass;
        design.totalMass += m->mass;
    }
    design.stirrups = {hoop, tie};
    // Envelopes of the typed moments, and a capacity that steps where bars start and end.
    for (int i = 0; i * 0.05 <= design.length + 1e-9; ++i) {
        ProfilePoint p;
        p.x = i * 0.05;
        for (std::size_t k = 0; k < 3; ++k) {
            const double a = design.faceX[2 * k], b = design.faceX[2 * k + 1];
            if (p.x < a || p.x > b) continue;
            const double xi = (p.x - a) / (b - a);
            const SpanMoments& mo = input.spans[k].moments;
            p.muPos = mo.mid * 4 * xi * (1 - xi);
            // Shear falling linearly from the faces; the hoops' strength steps at 2h.
            p.vu = 4 + 14 * std::abs(1 - 2 * xi);
            p.phiVn = (p.x - a < 1 || b - p.x < 1) ? 22 : 13;
            p.muNeg = std::max(0.0, mo.left * (1 - xi) * (1 - 2.5 * xi) +
                                        mo.right * xi * (1 - 2.5 * (1 - xi)));
        }
        for (const BarMark& m : design.bars) {
            if (p.x < m.start || p.x > m.end) continue;
            const double share = m.count * engine::findBar(m.bar)->supplyArea * 4200 * 0.9 * 44 / 1e5;
            (m.face == top ? p.mnNeg : p.mnPos) += share;
        }
        p.phiMnNeg = 0.9 * p.mnNeg;
        p.phiMnPos = 0.9 * p.mnPos;
        design.profile.push_back(p);
    }
    {
        engine::beam::Check strength;
        strength.rule = engine::beam::CheckRule::Strength;
        strength.place = {engine::beam::Place::Kind::Point, 1, engine::beam::Side::Left, 0, 3.4};
        strength.passes = true;
        strength.value = 20.31;
        strength.limit = 18;
        engine::beam::Check ratio;
        ratio.rule = engine::beam::CheckRule::MaximumRatio;
        ratio.place = {engine::beam::Place::Kind::Face, 2, engine::beam::Side::Left, 0, 5.8};
        ratio.value = 0.031;
        ratio.limit = 0.025;
        design.checks = {strength, ratio};
    }
    design.concrete = 0.3 * 0.5 * 16;
    design.steelPerConcrete = design.totalMass / design.concrete;
    design.passes = false;
    return {input, design};
}

}  // namespace beamfixture
