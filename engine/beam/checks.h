#pragma once

#include <vector>

#include "engine/beam/search.h"
#include "engine/beam/strength.h"

// The checks of a design: every rule the bars as placed must hold, with its place and figures.
namespace engine::beam {

std::vector<Check> checkDesign(const Beam& beam, const FaceChoice& top, const FaceChoice& bottom,
                               const std::vector<BarMark>& marks, const Strength& strength,
                               const std::vector<Need>& needs);

}  // namespace engine::beam
