#pragma once

#include <optional>
#include <vector>

#include "engine/beam/stations.h"
#include "engine/capacity.h"

// The strength the bars as placed give along the beam: at each point the developed steel of
// each face, at its depth, and the nominal and design strengths of both signs.
namespace engine::beam {

struct Strength {
    // Tn-m, per point. At a support face mn counts every bar that reaches the face whole, as
    // the ratio rules and Mpr take it; phi is always that of the developed steel.
    std::vector<double> mnNeg, mnPos, phiNeg, phiPos;
    std::vector<double> areaTop, areaBot;              // developed steel, cm2, per point
};

// The marks of a design with what their strength needs: each one's bar and its ld and ldh.
class PlacedMarks {
  public:
    PlacedMarks(const Beam& beam, const std::vector<BarMark>& marks);
    // The strength at every point of the beam.
    Strength along() const;
    // The strength at x for the moment of one sign with the bars there, at this Fy: as far as
    // they are developed, or (`whole`) every bar there counted whole.
    std::optional<CapacityResult> capacityAt(double x, bool negative, double fy,
                                             bool whole = false) const;

  private:
    double steelAt(BeamFace face, double x, std::vector<SteelLayer>& layers,
                   const std::vector<std::size_t>* active = nullptr, bool quartered = false,
                   bool whole = false) const;
    std::optional<CapacityResult> capacityOf(const std::vector<SteelLayer>& tension,
                                             const std::vector<SteelLayer>& compression,
                                             double fy) const;

    const Beam& beam_;
    const std::vector<BarMark>& marks_;
    struct Development {
        double ld = 0, ldhStart = 0, ldhEnd = 0;  // m; ldh in the outer support of each hook
    };
    std::vector<Development> development_;  // of each mark
    std::vector<const Bar*> bars_;
};

}  // namespace engine::beam
