#include "engine/candidatecheck.h"

#include <algorithm>

#include "engine/barscheck.h"

namespace engine {

namespace {

const Placement* firstPlacement(const CandidateSearch& search) {
    return search.candidates.empty() ? nullptr : &search.candidates.front().placement;
}

bool passes(const Placement& tension, const Placement& compression, const CompletedDesign& design) {
    const auto capacity = checkPlaced(tension, compression, design);
    return capacity && capacity->passes;
}

void passingFirst(CandidateSearch& search) {
    std::stable_partition(search.candidates.begin(), search.candidates.end(),
                          [](const Candidate& c) { return c.passes == true; });
}

}  // namespace

void rankByCheck(CandidateSearch& tension, CandidateSearch& compression,
                 const CompletedDesign& design) {
    for (Candidate& candidate : tension.candidates) {
        bool passing =
            compression.candidates.empty() && passes(candidate.placement, {}, design);
        for (const Candidate& partner : compression.candidates) {
            if (passing) break;
            passing = passes(candidate.placement, partner.placement, design);
        }
        candidate.passes = passing;
    }
    passingFirst(tension);
    const Placement* first = firstPlacement(tension);
    for (Candidate& candidate : compression.candidates)
        candidate.passes = first != nullptr && passes(*first, candidate.placement, design);
    passingFirst(compression);
}

bool anyPasses(const CandidateSearch& tension) {
    return std::any_of(tension.candidates.begin(), tension.candidates.end(),
                       [](const Candidate& c) { return c.passes == true; });
}

}  // namespace engine
