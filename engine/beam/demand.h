#pragma once

#include <optional>
#include <vector>

#include "engine/beam/stations.h"
#include "engine/beam/strength.h"

// The steel each point of the beam needs on each face: the section design's areas for the
// envelope moments, minimum steel, the ratio rules and the corrections that the strength of
// the bars as placed asks for.
namespace engine::beam {

struct Need {
    // The section design's areas for the envelope moments (worked out once).
    double baseTop = 0, baseBot = 0;
    double posBot = 0, compBot = 0;  // the section design's As for Mu+ and A's for Mu-
    double strTop = 0, strBot = 0;   // area the moment alone needs (no minimum), for cuts
    // With minimum steel, the ratio rules and the corrections.
    double reqTop = 0, reqBot = 0;
    // The bottom need split between the extras of a span (positive moment, minimum steel and
    // the span's ratio rule; none at the faces) and those through or hooked in a support (all
    // of it at the faces and over the support, the compression steel of Mu- inside the span).
    double reqBotSpan = 0, reqBotSupport = 0;
};

class Demand {
  public:
    explicit Demand(const Beam& beam);
    // Works out the needs; the message when a section cannot be designed or needs more steel
    // than the ratio limit allows.
    std::optional<Phrase> workOut();
    // Raises the needs where the bars as placed fall short of the envelopes or of the ratio
    // rules; true when something changed.
    bool raise(const Strength& strength);
    const std::vector<Need>& needs() const { return needs_; }

  private:
    double areaForMn(double mn, bool topTension) const;

    const Beam& beam_;
    std::vector<Need> needs_;
    std::vector<double> floorTop_, floorBot_, faceFloorBot_;  // areas from the ratio rules
    std::vector<double> bumpTop_, bumpBot_;                   // strength corrections per point
    bool sectionsDesigned_ = false;
};

}  // namespace engine::beam
