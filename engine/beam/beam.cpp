#include "engine/beam/beam.h"

namespace engine::beam {

BeamOutcome designBeam(const BeamInput&) { return BeamError{"sin implementar"}; }

}  // namespace engine::beam
