#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/catalogue.h"

// Bar arrangements and their text form: groups of bars of one catalogue size, layers, the
// layers of one face, and how the user writes them ("2N6+1N5"). Areas in cm2.
namespace engine {

// More bars than this on one face is not an arrangement anyone would build.
inline constexpr int maxBarsPerFace = 1000;

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

// A bar size as every text names it, "N° 5", and `count` bars of it, "3 N° 5".
std::string barName(int designation);
std::string barCountText(int count, int designation);

// "2 N° 6 + 1 N° 5"; layers of an arrangement joined by " / ", the one nearest the face first.
std::string formatLayer(const Layer& layer);
std::string formatArrangement(const Arrangement& arrangement);

int barCount(const Layer& layer);
double layerArea(const Layer& layer);  // sum of catalogue supply areas, cm2
double arrangementArea(const Arrangement& arrangement);

}  // namespace engine
