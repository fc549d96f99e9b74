#pragma once

#include "engine/code.h"

// The design code the calculations follow, kept in the user's settings between runs.
// NSR-98 when nothing, or something unknown, was saved.
engine::DesignCode savedDesignCode();
void saveDesignCode(engine::DesignCode code);
