// Must not compile: nothing in the engine reaches the windows.
#include "engine/design.h"
#include "ui/common/enginetext.h"
