#pragma once

#include "engine/beam/beam.h"
#include "engine/catalogue.h"

// The rules of the code the designer follows, each written once: the search for bars obeys
// them and the checks report them. Units as in beam.h (along the beam m, across it cm).
namespace engine::beam {

// The largest steel ratio of a face in DES and DMO.
inline constexpr double rhoLimit = 0.025;

// A class B lap: 1.3 ld, at least 30 cm (m).
inline constexpr double lapFactor = 1.3;
inline constexpr double shortestLap = 0.30;
double lapLength(double ld);

// In DES no lap within 2h of a support face (m).
double lapClearance(double h);

// The tail of a standard 90° hook: 12 db (cm).
double hookTail(const Bar& bar);

// A bar that stops runs past the point where it is no longer needed by d or 12 db, the larger
// (m; d in cm); a negative bar past the inflection point also by ln / 16.
double cutOffExtension(double d, const Bar& bar);

// The room a hook has in an outer support: its width less the cover to the bars (cm); the hook
// fits when its development length ldh (cm) does not exceed it.
double hookRoom(double supportWidth, double barSeat);
bool hookFits(double ldh, double room);

// In DES a bar through an interior support needs the support at least 20 db wide.
inline constexpr int supportBarDiameters = 20;
bool passesThroughSupport(double barDiameter, double supportWidth);

// The shares of the nominal strengths: Mn+ at a face at least 1/face of Mn− there, and Mn of
// either sign anywhere at least 1/anywhere of the largest at the faces (DES 1/2 and 1/4, DMO 1/3
// and 1/5). Denominators.
struct MomentShares {
    int face = 2;
    int anywhere = 4;
};
MomentShares momentShares(SeismicClass seismicClass);

// The least f'c of structural concrete (C.1.1.1 of the NSR-10), MPa. The designer holds the
// NSR-98 to it too: below it ld and ldh grow past any span or support, and the section asks for
// more steel than fits, so that a refusal would blame the bars instead of the concrete.
inline constexpr double minimumFcMpa = 17;

// A span shorter than 4 h is a deep beam (C.10.7), outside the flexural design of this program.
inline constexpr double deepBeamSpanToHeight = 4;

// The least height that spares computing deflections (C.9.5): ln / 16 for a span simply
// supported, ln / 18.5 with one end continuous, ln / 21 with both. The divisor for the number of
// continuous ends (0, 1 or 2).
double minimumDepthDivisor(int continuousEnds);

// ld of a bar of the beam (m): a top bar is one with more than 30 cm of concrete below it;
// clear spacing as the layer needs it and the cover to the bars.
double beamDevelopment(const BeamInput& in, double barSeat, const Bar& bar, bool topFace);
// ldh of a bar of the beam (m).
double beamHookDevelopment(const BeamInput& in, const Bar& bar);

}  // namespace engine::beam
