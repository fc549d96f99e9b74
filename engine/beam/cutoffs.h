#pragma once

#include <optional>
#include <vector>

#include "engine/beam/demand.h"
#include "engine/beam/stations.h"

// Where the extras of a region may stop: past the inflection points at the top, where the bars
// that go on give twice the area needed at the bottom.
namespace engine::beam {

// Where the extras of one region may go: bottom regions alternate along the beam (support 0,
// span 0, support 1, ...); top regions are the supports.
struct Zone {
    bool atSupport = true;
    int support = 0, span = -1;
    int first = -1, last = -1;  // its points
    bool hookLeft = false, hookRight = false;  // hooked into an outer support
};

// Moves the ends [a, b] of top extras over support `region` past the inflection points of the
// spans beside it (by the cut-off extension or ln / 16; d in cm); the span where the negative
// moment does not vanish, if any.
std::optional<int> pastInflections(const Beam& beam, int region, const Bar& bar, double d,
                                   double& a, double& b);

// Moves the ends [a, b] of bottom extras out to where the bars that go on (`contArea` at each
// point) give twice the area needed; false when there is no such point within reach.
bool stopWhereTwice(const Beam& beam, const std::vector<Need>& needs, const Zone& zone,
                    int firstDeficit, int lastDeficit, const std::vector<double>& contArea,
                    double& a, double& b);

// Moves the ends [a, b] of top extras over a support out of the negative-moment zone, or to
// where the top bars that go on (`contArea`) give twice the area the moment needs there, or
// across a span that hogs all along to the next interior support's centre; false when none of
// these can be.
bool topStopWhereTwice(const Beam& beam, const std::vector<Need>& needs, const Zone& zone,
                       int firstDeficit, int lastDeficit, const std::vector<double>& contArea,
                       double& a, double& b);

}  // namespace engine::beam
