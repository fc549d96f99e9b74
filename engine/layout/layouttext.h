#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/layout/bartext.h"
#include "engine/layout/candidates.h"
#include "engine/layout/placement.h"

// The lines that describe bars as placed, for the window, the printed report and the
// command-line tool.
namespace engine {

// Texts for the window, the printed report and the command-line tool.
namespace layoutText {
inline constexpr std::string_view bendRadiusNote =
    "El ancho necesario no incluye el radio de doblez del estribo.";
}

// "Ninguna disposición cabe en el ancho: la más angosta, 6 N° 11, necesita b = 49.28 cm."
// (or, with no narrowest arrangement, that none reaches the area).
std::string noFitText(const CandidateSearch& search, char decimalSeparator);

// The lines describing a placed face: bars, area, clear spacing against the required one,
// width needed, and the real depth beside the one the design used (d or d'').
std::vector<std::string> placementLines(const Arrangement& arrangement, const Placement& placement,
                                        Face face, double designDepth, char decimalSeparator);

// True when the real depth to the tension bars is shorter than the design's by more than the
// placement lines show in their two decimals: then the lines say so and the window offers the
// real covers.
bool realDepthShort(double realDepth, double designDepth);

// A cover proposed from the bars as placed: in whole hundredths of a cm, rounded up so that the
// depth designed with it is never deeper than the real one.
double proposedCover(double cover);

}  // namespace engine
