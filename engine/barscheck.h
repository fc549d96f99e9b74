#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/capacity.h"
#include "engine/layout.h"
#include "engine/run.h"

namespace engine {

// Chosen bars placed in a designed section and checked by strain compatibility.
struct BarsCheck {
    Placement tension;
    Placement compression;  // no bars when there is no compression steel
    // The placement lines of the tension bars (against the design's d), those of the compression
    // bars (against d''), then the capacity lines ending in "Cumple" or "No cumple".
    std::vector<std::string> lines;
    std::optional<CapacityResult> capacity;  // none when the section cannot be checked

    // The bars fit in the width and the capacity could be worked out.
    bool runs() const {
        return tension.fits && (compression.bars.empty() || compression.fits) &&
               capacity.has_value();
    }
};

// The capacity of the section of `design` with the bars as placed (compression may hold none).
std::optional<CapacityResult> checkPlaced(const Placement& tension, const Placement& compression,
                                          const CompletedDesign& design);

// Places `tension` and `compression` (which may have no layers) with the layout settings in the
// section of `design`, and checks the section as placed.
BarsCheck checkBars(const Arrangement& tension, const Arrangement& compression,
                    const LayoutSettings& settings, const CompletedDesign& design,
                    char decimalSeparator);

}  // namespace engine
