// Compiles: the engine's include folder reaches the engine.
#include "engine/design.h"
