#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/catalogue.h"

// Bars chosen for a required steel area: how they are written, where they sit in the section,
// whether they fit in its width, and which arrangements an engineer would pick first.
// Units cm and cm2. Depths are measured from the compression (top) face, x from the left face.
namespace engine {

// Detailing choices that set where the bars can go.
struct LayoutSettings {
    int stirrupDesignation = 3;  // stirrup bar "N° 3"
    double clearCover = 4;       // face to the outside of the stirrup, cm
    double maxAggregate = 1.9;   // largest aggregate size, cm
    int maxTensionLayers = 2;    // 1 or 2
    bool operator==(const LayoutSettings&) const = default;
};

// Clear distance between two layers of tension bars, cm.
inline constexpr double clearBetweenLayers = 2.5;
// Smallest clear spacing between the bars of a layer whatever their size, cm.
inline constexpr double minimumClearSpacing = 2.5;

// `count` bars of one catalogue size.
struct BarGroup {
    int count = 0;
    const Bar* bar = nullptr;
    bool operator==(const BarGroup&) const = default;
};

// The bar groups of one layer, in the order written. The two largest bars sit at the corners.
using Layer = std::vector<BarGroup>;

// Layers of one face; layers[0] is the one nearest the face, the next sits above (inwards).
struct Arrangement {
    std::vector<Layer> layers;
    bool operator==(const Arrangement&) const = default;
};

enum class Face { Tension, Compression };

// A layer typed by the user ("2N6+1N5"), or the message that says what is wrong with it.
struct ParsedLayer {
    Layer layer;
    std::string error;  // empty when the text was read
    bool ok() const { return error.empty(); }
};

// Reads groups "<count> N <designation>" joined by '+'. Blanks anywhere between the parts,
// 'N' or 'n', optionally followed by '°' or 'º' ("2 N° 6 + 1 N° 5" reads back), or '#'.
// Counts are whole numbers from 1; designations are catalogue bars. An empty text is an error.
ParsedLayer parseLayer(std::string_view text);

// "2 N° 6 + 1 N° 5"; layers of an arrangement joined by " / ", the one nearest the face first.
std::string formatLayer(const Layer& layer);
std::string formatArrangement(const Arrangement& arrangement);

int barCount(const Layer& layer);
double layerArea(const Layer& layer);  // sum of catalogue supply areas, cm2
double arrangementArea(const Arrangement& arrangement);

// Inside width of the stirrup, b - 2 (cover + stirrup diameter): the width the bars share.
double availableWidth(const LayoutSettings& settings, double b);

// Clear spacing a layer needs: max(largest bar diameter, 2.5 cm, 4/3 of the aggregate).
double requiredClearSpacing(const LayoutSettings& settings, double largestBarDiameter);

// Sum of the bar diameters plus (n - 1) required clear spacings: the width a layer occupies.
double layerWidth(const LayoutSettings& settings, const Layer& layer);

// One bar's centre.
struct PlacedBar {
    const Bar* bar = nullptr;
    int layer = 0;     // index into Arrangement::layers
    double x = 0;      // from the left face, cm
    double depth = 0;  // from the compression face, cm
};

struct PlacedLayer {
    double area = 0;             // cm2
    double depth = 0;            // area-weighted centroid, from the compression face, cm
    double largestDiameter = 0;  // cm
    double requiredSpacing = 0;  // clear spacing the layer needs, cm
    double clearSpacing = 0;     // clear spacing obtained spreading the bars over the width, cm
                                 // (0 for a single bar, which sits at mid-width)
    double width = 0;            // width the layer occupies at the required spacing, cm
    bool fits = false;
};

// Bars of one face placed in a section b x h with the settings' cover and stirrup.
// Every layer spreads its bars over the available width (corner bars against the stirrup,
// equal clear gaps); each bar rests on the stirrup (lowest layer) or 2.5 cm clear above the
// largest bar of the layer below.
struct Placement {
    std::vector<PlacedBar> bars;
    std::vector<PlacedLayer> layers;
    double area = 0;         // cm2
    double centroid = 0;     // depth of the area-weighted centroid: the real d (tension) or d''
    double widthNeeded = 0;  // least b in which every layer fits, cm
    bool fits = false;       // every layer fits in b
};

Placement placeBars(const Arrangement& arrangement, Face face, const LayoutSettings& settings,
                    double b, double h);

// One proposed arrangement, placed in the section.
struct Candidate {
    Arrangement arrangement;
    Placement placement;
    double area = 0;    // cm2
    double excess = 0;  // area / required - 1
    int bars = 0;
    int layers = 0;
    double clearSpacing = 0;  // smallest clear spacing obtained among the layers, cm
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
