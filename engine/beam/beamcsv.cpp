#include "engine/beam/beamcsv.h"
