#include "engine/design.h"

namespace engine {
DesignOutcome design(const DesignInput&) { return DesignError::Arithmetic; }
}  // namespace engine
