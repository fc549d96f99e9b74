#pragma once

#include <variant>
#include <vector>

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
std::variant<StirrupDesign, Phrase> designStirrups(const Beam& beam, const ShearDemand& demand,
                                                   const std::vector<BarMark>& bars);

// Crossties a hoop zone needs so that no bar of a face's layer lies more than 15 cm clear from
// a bar a hoop's corner or a crosstie holds: `count` bars whose diameters add up to
// `sumDiameters` spread over `width` (cm), corner bars against the hoop.
struct CrosstieNeed {
    int crossties = 0;
    double worstClear = 0;  // cm, the largest clear distance of a bar from a held one
};
CrosstieNeed crosstiesFor(int count, double sumDiameters, double width);

}  // namespace engine::beam
