#pragma once

#include <vector>

#include "engine/beam/search.h"
#include "engine/beam/strength.h"

// The checks of a design: every rule the bars as placed must hold, with its place and figures.
namespace engine::beam {

// The places checks name, from indices counted from 0: a span, a face of a span, a support at x.
Place spanPlace(int span);
Place facePlace(int span, Side side);
Place supportPlace(int support, double x);

// A check of `rule` at `place` with its figure and limit, in the rule's unit.
Check check(CheckRule rule, Place place, bool passes, double value, double limit);

std::vector<Check> checkDesign(const Beam& beam, const FaceChoice& top, const FaceChoice& bottom,
                               const std::vector<BarMark>& marks, const Strength& strength,
                               const std::vector<Need>& needs);

}  // namespace engine::beam
