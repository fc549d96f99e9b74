#pragma once

// Bars chosen for a required steel area: how they are written, where they sit in the section,
// whether they fit in its width, and which arrangements an engineer would pick first.
// Units cm and cm2. Depths are measured from the compression (top) face, x from the left face.
#include "engine/layout/bartext.h"
#include "engine/layout/candidates.h"
#include "engine/layout/layouttext.h"
#include "engine/layout/placement.h"
