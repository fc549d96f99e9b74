#pragma once

#include <vector>

#include "engine/beam/search.h"

// The bar marks of the schedule from the bars found for both faces: one mark per piece of the
// continuous bars and per layer of each extra, their lengths as cut, masses, depths and names.
namespace engine::beam {

std::vector<BarMark> markBars(const Beam& beam, const FaceChoice& top, const FaceChoice& bottom);

}  // namespace engine::beam
