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

// A standard 90° hook as bent: a bend of inside diameter 6 db (N° 3 to N° 8), 8 db (N° 9 to
// N° 11) or 10 db (N° 14, N° 18), then 12 db straight. In whole centimetres as the bender reads
// them: the bend diameter and the leg (out to out, 12 db + D/2 + db) rounded up.
double bendDiameter(const Bar& bar);  // cm, exact
struct BentHook {
    double bend = 0;  // inside diameter, whole cm
    double leg = 0;   // out to out, whole cm
};
BentHook bentHook(const Bar& bar);
// What each hook adds to the cut length of a bar over its straight length out to out (cm): the
// arc of the bend along the bar's centreline and the straight part past it, less the straight
// length that the bend and the leg take: leg - (D + 2 db) + π/2 (D/2 + db/2).
double hookCutAllowance(const Bar& bar);

// A bar that stops runs past the point where it is no longer needed by d or 12 db, the larger
// (m; d in cm); a negative bar past the inflection point also by ln / 16.
double cutOffExtension(double d, const Bar& bar);

// The room a hook has in an outer support: its width less the cover to the bars (cm); the hook
// fits when its development length ldh (cm) does not exceed it.
double hookRoom(double supportWidth, double barSeat);
bool hookFits(double ldh, double room);

// The width of a support's column across the beam (cm): as given, else the support's width.
double columnWidth(const BeamInput& in, int support);

// A hook in an outer support, cm: its development length and the room for it, measured inside
// the column's core (the support's width less the column's cover and ties, taken as the beam's
// clear cover and stirrup). Outside DES, up to N° 11, ldh takes the factor 0.7 where the side
// cover of the hook (normal to its plane) is at least 6.5 cm and the cover on its tail at least
// 5 cm: the tail is then held 5 cm from the column's face. DES's expression is already that of
// the confined joint.
inline constexpr double hookCoverFactor = 0.7;
inline constexpr double hookSideCover = 6.5;
inline constexpr double hookTailCover = 5.0;
inline constexpr int hookFactorLargestBar = 11;
struct HookAnchorage {
    double ldh = 0, room = 0;
    bool reduced = false;  // ldh with the factor 0.7
    bool fits() const { return hookFits(ldh, room); }
};
HookAnchorage hookAnchorage(const BeamInput& in, double barSeat, const Bar& bar, int support);
HookAnchorage hookAnchorage(const BeamInput& in, double barSeat, const Bar& bar,
                            double supportWidth, double column);

// What would let a hook that does not fit develop: the largest smaller bar that fits (0: none)
// and the narrowest support, in whole cm, that takes it (a square column grows with it; 0:
// none up to 10 m).
struct HookRemedy {
    int bar = 0;
    double supportWidth = 0;
};
HookRemedy hookRemedy(const BeamInput& in, double barSeat, const Bar& bar, int support);

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

// Shear and stirrups. Forces in Tn, section dimensions, depths and spacings in cm, stresses in
// kg/cm2: the kg forms of the MPa expressions (0.53 for 0.17, 2.1 for 0.66, 1.1 for 0.33).

// A bar cut in a tension zone: Vu at the cut at most 2/3 φVn, or 3/4 φVn where the bars going
// on give at least twice the area the moment needs there and the bar cut is N° 11 or smaller.
inline constexpr double cutOffShare = 2.0 / 3.0;
inline constexpr double cutOffShareWithArea = 3.0 / 4.0;
bool cutOffAreaHolds(int bar, double goingOn, double need);
// Or stirrups beyond those shear asks along the bar for 3/4 d from where it stops (m; d in cm):
// Av >= Av for vs + 4.2 bw s / fyt at s <= d / (8 βb), βb the share of the bars stopped. The
// largest spacing that gives both with `av` (cm).
double extraStirrupsReach(double d);
double extraStirrupSpacing(double av, double fyt, double d, double bw, double vs, double beta);
// Which of these a cut's check holds the design to (Check::count).
inline constexpr int cutOffShareOfStrength = 0, cutOffWithArea = 1, cutOffExtraStirrups = 2;

// The strength reduction factor for shear: 0.75 under NSR-10, 0.85 under NSR-98.
double shearPhi(DesignCode code);

// The yield stress the stirrups are taken at for shear, at most 4200 kg/cm2.
inline constexpr double largestStirrupFy = 4200;
double stirrupFy(double fy);

// Vc = 0.53 √f'c bw d.
double concreteShear(double fc, double bw, double d);
// Vs = Av fyt d / s.
double stirrupShear(double av, double fyt, double d, double s);
// The largest Vs a section takes, 2.1 √f'c bw d; past 1.1 √f'c bw d the spacing limit halves.
double sectionShearLimit(double fc, double bw, double d);
double halvedSpacingShear(double fc, double bw, double d);

// The largest spacing C.11 allows for stirrups carrying `vs`: d/2 up to 60 cm, d/4 up to 30 cm
// past 1.1 √f'c bw d.
double shearSpacingLimit(double vs, double fc, double bw, double d);

// Av,min for stirrups at spacing s, cm2: NSR-10 max(0.2 √f'c, 3.5) bw s / fyt; NSR-98 (as ACI
// 318-95) 3.5 bw s / fy alone. Wanted wherever Vu > ½ φVc; the designer puts it everywhere.
double minimumStirrupArea(DesignCode code, double fc, double bw, double s, double fyt);

// The spacing whose stirrups give `vs` (cm): Av fyt d / Vs; infinite for vs <= 0.
double strengthSpacing(double av, double fyt, double d, double vs);

// The hoop zones of DES and DMO: closed hoops over 2h from each support face (m), the first
// at most 5 cm from the face, at a spacing no larger than (cm): DES under NSR-10 min(d/4, 6 db
// of the smallest longitudinal bar, 15 cm); DES under NSR-98 and DMO min(d/4, 8 db, 24 db of
// the hoop, 30 cm). None for DMI (0).
double confinementLength(double h);
inline constexpr double firstHoop = 5;  // cm from the face
double hoopZoneSpacing(DesignCode code, SeismicClass seismicClass, double d, double dbLongitudinal,
                       double dbHoop);

// Hoops over a lap splice in DES: min(d/4, 10 cm).
double lapHoopSpacing(double d);

// Spacings are whole centimetres, rounded down; none below 5 cm (more legs instead).
double wholeSpacing(double s);
inline constexpr double closestStirrups = 5;

// A bar of a hoop zone may lie at most 15 cm clear from one a hoop's corner or a crosstie holds.
inline constexpr double unsupportedBarClear = 15;

// Crossties a hoop zone needs so that no bar of a face's layer lies more than 15 cm clear from
// a bar a hoop's corner or a crosstie holds: `count` bars whose diameters add up to
// `sumDiameters` spread over `width` (cm), corner bars against the hoop.
struct CrosstieNeed {
    int crossties = 0;
    double worstClear = 0;  // cm, the largest clear distance of a bar from a held one
};
CrosstieNeed crosstiesFor(int count, double sumDiameters, double width);

// A stirrup as bent: 135° seismic hooks of extension max(6 db, 7.5 cm), bent round 4 db inside;
// a crosstie's other end a 90° hook of 6 db.
double seismicHookExtension(const Bar& bar);
double stirrupBendDiameter(const Bar& bar);
// The cut length of a closed hoop of these outside dimensions (cm), whole cm rounded up: the
// centreline's four straight sides between the bends, its three 90° corners and the two 135°
// bends at the closing corner, and the two hook extensions.
double hoopCutLength(const Bar& bar, double width, double height);
// A crosstie of this height out to out (cm): its straight leg, a 135° and a 90° bend and their
// extensions, whole cm rounded up.
double crosstieCutLength(const Bar& bar, double height);

}  // namespace engine::beam
