#pragma once

#include <algorithm>
#include <vector>

#include "engine/layout/bartext.h"

// Where the bars of one face sit in the section and whether they fit in its width.
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

// Widths are compared with this allowance so that a layer exactly as wide as the space fits.
inline constexpr double fitTolerance = 1e-9;

// Distance from the face to the outside of the bars of the lowest layer: cover plus stirrup.
double barSeat(const LayoutSettings& settings);

// Where the next layer's bars rest, from the face, cm: 2.5 cm clear above the largest bar of
// the layer below, whose bars rest at `base` (the first layer's at barSeat).
inline double nextLayerBase(double base, double largestBelow) {
    return base + largestBelow + clearBetweenLayers;
}

// Inside width of the stirrup, b - 2 (cover + stirrup diameter): the width the bars share.
double availableWidth(const LayoutSettings& settings, double b);

// Clear spacing a layer needs: max(largest bar diameter, 2.5 cm, 4/3 of the aggregate).
// Inline, as the width below: the candidate search asks for them thousands of times.
inline double requiredClearSpacing(const LayoutSettings& settings, double largestBarDiameter) {
    return std::max({largestBarDiameter, minimumClearSpacing, 4.0 / 3.0 * settings.maxAggregate});
}

// The width `count` bars whose diameters add up to `sumDiameters` occupy at the clear spacing
// the largest of them needs.
inline double occupiedWidth(const LayoutSettings& settings, int count, double sumDiameters,
                            double largest) {
    return count == 0 ? 0 : sumDiameters + (count - 1) * requiredClearSpacing(settings, largest);
}

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

}  // namespace engine
