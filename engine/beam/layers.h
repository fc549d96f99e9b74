#pragma once

#include <optional>
#include <vector>

#include "engine/beam/search.h"

// How the searched bars of a face share its two layers with the continuous bars (and the second
// bar of each contact lap, tied beside the first).
namespace engine::beam {

// How many extras fit in the first layer beside `count` continuous bars.
int firstLayerRoom(const Beam& beam, const Bar& cont, int count, const Bar& extra);

// How many of `extras` N° `extra` go in the first layer beside `count` continuous bars when
// `room` fit there: as many as may, keeping the layer symmetric about the beam's axis (of two
// sizes, at most one in an odd number, which takes the middle) and leaving no bar alone in the
// second layer; -1 when no share does.
int firstLayerShare(int count, const Bar& cont, int extras, const Bar& extra, int room);

// Puts the extras in the first layer as far as they fit there (firstLayerShare), the rest in
// the second; false when they do not fit.
bool splitLayers(const Beam& beam, Extra& extra, const Bar& cont, int count,
                 const std::vector<Lap>& laps);

// Extras that overlap along the beam share the layers: where the first layer overflows, bars
// of the extra with the most there move to the second, as few as keep the first layer
// symmetric and no bar alone in the second (firstLayerShare). Returns where the second layer
// overflows too (m), none when everything fits.
std::optional<double> shareLayers(const Beam& beam, std::vector<Extra>& extras, const Bar& cont,
                                  int count, const std::vector<Lap>& laps);

}  // namespace engine::beam
