#include "engine/beam/beamtext.h"
