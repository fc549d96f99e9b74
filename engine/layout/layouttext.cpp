#include "engine/layout/layouttext.h"

#include <cmath>

#include "engine/numbers.h"

namespace engine {

namespace {

std::string cm(double value, char sep) {
    return formatFixed(value, 2, sep) + " cm";
}

}  // namespace

std::string noFitText(const CandidateSearch& search, char sep) {
    if (search.narrowest.layers.empty()) {
        return "Ninguna disposición de barras alcanza el área requerida.";
    }
    return "Ninguna disposición cabe en el ancho: la más angosta, " +
           formatArrangement(search.narrowest) +
           ", necesita b = " + cm(search.narrowestWidth, sep) + ".";
}

std::vector<std::string> placementLines(const Arrangement& arrangement, const Placement& placement,
                                        Face face, double designDepth, char sep) {
    const bool tension = face == Face::Tension;
    std::vector<std::string> lines;
    lines.push_back((tension ? "Barras a tensión : " : "Barras a compresión : ") +
                    formatArrangement(arrangement));
    lines.push_back("Área suministrada : " + formatFixed(placement.area, 2, sep) + " cm²");
    for (std::size_t i = 0; i < placement.layers.size(); ++i) {
        const PlacedLayer& layer = placement.layers[i];
        std::string line = "Capa " + std::to_string(i + 1) + " : ";
        if (barCount(arrangement.layers[i]) == 1) {
            line += "una barra al centro";
        } else {
            line += "espaciamiento libre " + cm(layer.clearSpacing, sep) + " (mínimo " +
                    cm(layer.requiredSpacing, sep) + ")";
        }
        if (!layer.fits) line += ", no cabe";
        lines.push_back(std::move(line));
    }
    lines.push_back("Ancho necesario : " + cm(placement.widthNeeded, sep));
    if (!placement.fits) lines.emplace_back("Las barras no caben en el ancho de la sección");
    const std::string depthLabel = tension ? "d" : "d''";
    lines.push_back(depthLabel + " real : " + cm(placement.centroid, sep) + " (diseño " +
                    cm(designDepth, sep) + ")");
    if (tension && realDepthShort(placement.centroid, designDepth)) {
        lines.emplace_back("El d real es menor que el del diseño");
    } else if (!tension && realDepthShort(designDepth, placement.centroid)) {
        lines.emplace_back("El d'' real es mayor que el del diseño");
    }
    return lines;
}

bool realDepthShort(double realDepth, double designDepth) {
    return realDepth < designDepth - 0.005;
}

double proposedCover(double cover) {
    return std::ceil(cover * 100 - 1e-6) / 100;
}

}  // namespace engine
