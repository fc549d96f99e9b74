#pragma once

#include <variant>
#include <vector>

#include "engine/beam/demand.h"
#include "engine/beam/shear.h"

// The stirrups of a beam: the zones of each span (hoop zones at the faces in DES and DMO, hoops
// over the laps in DES, the rest at the spacing C.11 asks), the pieces' marks as bent and cut,
// φVn along the beam and the checks of shear. Positions along the beam in m, spacings and
// dimensions in cm, forces in Tn.
namespace engine::beam {

struct StirrupDesign {
    std::vector<StirrupMark> marks;
    std::vector<StirrupZone> zones;
    std::vector<double> phiVn, vc;  // per point of the beam; 0 over the supports
    std::vector<Check> checks;
};

// The stirrups for the shear demand with the longitudinal bars placed; the message when a
// section cannot take its shear (Vs past 2.1 √f'c bw d).
// Where a bar stops in a tension zone the stirrups give φVn >= 3/2 Vu there, or 4/3 Vu where
// the bars going on give twice the area the moment needs (`needs`, `strength`).
std::variant<StirrupDesign, Phrase> designStirrups(const Beam& beam, const ShearDemand& demand,
                                                   const std::vector<BarMark>& bars,
                                                   const std::vector<Need>& needs,
                                                   const Strength& strength);


}  // namespace engine::beam
