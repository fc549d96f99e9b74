#include "engine/barscheck.h"

namespace engine {

std::optional<CapacityResult> checkPlaced(const Placement& tension, const Placement& compression,
                                          const CompletedDesign& design) {
    const DesignInput& in = design.input;
    const std::vector<SteelLayer> tensionSteel = steelLayers(tension);
    const std::vector<SteelLayer> compressionSteel = steelLayers(compression);
    return checkCapacity(
        {design.run.code(), in.b, in.h, in.fc, in.fy, in.mu, tensionSteel, compressionSteel});
}

BarsCheck checkBars(const Arrangement& tension, const Arrangement& compression,
                    const LayoutSettings& settings, const CompletedDesign& design,
                    char decimalSeparator) {
    const DesignInput& input = design.input;
    const DesignRun& run = design.run;
    BarsCheck check;
    check.tension = placeBars(tension, Face::Tension, settings, input.b, input.h);
    check.lines = placementLines(tension, check.tension, Face::Tension, run.d(), decimalSeparator);
    if (!compression.layers.empty()) {
        check.compression = placeBars(compression, Face::Compression, settings, input.b, input.h);
        for (std::string& line : placementLines(compression, check.compression, Face::Compression,
                                                input.dSecond, decimalSeparator))
            check.lines.push_back(std::move(line));
    }
    check.capacity = checkPlaced(check.tension, check.compression, design);
    if (check.capacity) {
        for (std::string& line : capacityLines(*check.capacity, run.code(), decimalSeparator))
            check.lines.push_back(std::move(line));
    }
    return check;
}

}  // namespace engine
