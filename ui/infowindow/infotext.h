#pragma once

#include <QString>

// The text of the information window: its lines end with CR LF, the last one included.
QString informationText();
