#pragma once

#include <utility>
#include <vector>

#include "engine/beam/beam.h"

// Continuous beams typed as an engineer types them, shared by the tests and the benchmarks.
namespace beaminputs {

// A beam of b x h cm with d' = d'' = 6 cm, f'c 210 and Fy 4200 kg/cm2 (30 x 50 cm unless given)
// on these supports (cm) and spans, under the code and seismic class given.
inline engine::beam::BeamInput beam(engine::DesignCode code,
                                    engine::beam::SeismicClass seismicClass,
                                    std::vector<double> supports,
                                    std::vector<engine::beam::Span> spans, double b = 30,
                                    double h = 50) {
    engine::beam::BeamInput in;
    in.code = code;
    in.seismicClass = seismicClass;
    in.b = b;
    in.h = h;
    in.dPrime = 6;
    in.dSecond = 6;
    in.fc = 210;
    in.fy = 4200;
    in.supports = std::move(supports);
    in.spans = std::move(spans);
    return in;
}

// A 10-span NSR-10 DES beam of 5.6 m clear spans between 40 cm columns: Mu- 12 Tn-m at the outer
// faces and 14 at the interior ones, Mu+ from 7 rising by 0.1 a span.
inline engine::beam::BeamInput tenSpans() {
    std::vector<engine::beam::Span> spans;
    for (int i = 0; i < 10; ++i)
        spans.push_back({5.6, {i == 0 ? 12.0 : 14.0, 7 + 0.1 * i, i == 9 ? 12.0 : 14.0, {}}});
    return beam(engine::DesignCode::Nsr10, engine::beam::SeismicClass::Des,
                std::vector<double>(11, 40), std::move(spans));
}

}  // namespace beaminputs
