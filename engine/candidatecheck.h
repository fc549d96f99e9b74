#pragma once

#include <string_view>

#include "engine/layout.h"
#include "engine/run.h"

// Proposed arrangements ordered by their own capacity check with the bars as placed.
namespace engine {

// Checks the candidates of a completed design with their real depths and puts those that pass
// first, each group in the order findCandidates gave. A tension candidate passes when the section
// passes with it and some compression candidate (or with none, when there are none); a
// compression candidate passes beside the first tension candidate after that ordering. So the
// first pair offered passes whenever any pair does. Sets every candidate's `passes`.
void rankByCheck(CandidateSearch& tension, CandidateSearch& compression,
                 const CompletedDesign& design);

// True when some tension candidate passes its check (after rankByCheck).
bool anyPasses(const CandidateSearch& tension);

// Shown above the candidates when none of them passes its check.
inline constexpr std::string_view nonePassesText =
    "Ninguna disposición propuesta cumple con la altura real; revise las comprobaciones o use "
    "los recubrimientos reales.";

}  // namespace engine
