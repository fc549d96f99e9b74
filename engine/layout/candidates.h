#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "engine/layout/bartext.h"
#include "engine/layout/placement.h"

// The arrangements an engineer would pick first for a required steel area.
namespace engine {

// One proposed arrangement, placed in the section.
struct Candidate {
    Arrangement arrangement;
    Placement placement;
    double area = 0;    // cm2
    double excess = 0;  // area / required - 1
    int bars = 0;
    int layers = 0;
    double clearSpacing = 0;  // smallest clear spacing obtained among the layers, cm
    // Whether the section passes its capacity check with these bars as placed; none until
    // checked (rankByCheck).
    std::optional<bool> passes;
};

struct CandidateSearch {
    std::vector<Candidate> candidates;  // best first, at most ten
    // When no arrangement fits: the narrowest of the fewest-bar arrangements of every kind
    // and the width b it needs (0 when nothing at all can reach the area).
    Arrangement narrowest;
    double narrowestWidth = 0;
};

inline constexpr std::size_t maxCandidates = 10;

// Arrangements of bars N° 4 to N° 11 of one size, or of two neighbouring sizes with the larger
// at the two corners, at least two bars, reaching `requiredArea`; of each kind only the fewest
// bars that reach it and fit (tension: one layer, else two when allowed, filling the lowest
// layer first and leaving at least two bars above; compression: one layer).
// Order: within 25 % excess first (one layer before two, then fewer bars, then less excess),
// then the rest by excess. A required area <= 0 or not finite gives no candidates.
CandidateSearch findCandidates(double requiredArea, Face face, const LayoutSettings& settings,
                               double b, double h);

}  // namespace engine
