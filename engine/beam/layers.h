#pragma once

#include <optional>
#include <vector>

#include "engine/beam/search.h"

// How the searched bars of a face share its two layers with the continuous bars (and the second
// bar of each contact lap, tied beside the first).
namespace engine::beam {

// How many extras fit in the first layer beside `count` continuous bars.
int firstLayerRoom(const Beam& beam, const Bar& cont, int count, const Bar& extra);

// Puts the extras in the first layer when all fit beside the continuous bars (beside contact
// laps where the extras run past one), else in the second when all fit there, else as many as
// fit in the first and the rest in the second; false when they do not fit.
bool splitLayers(const Beam& beam, Extra& extra, const Bar& cont, int count,
                 const std::vector<Lap>& laps);

// Extras that overlap along the beam share the layers: where the first layer overflows, bars
// of the extra with the most there move to the second, all of its bars when they fit there
// together. Returns where the second layer overflows too (m), none when everything fits.
std::optional<double> shareLayers(const Beam& beam, std::vector<Extra>& extras, const Bar& cont,
                                  int count, const std::vector<Lap>& laps);

}  // namespace engine::beam
