#pragma once

#include <string>
#include <string_view>

#include "engine/layout.h"

namespace engine {

// An arrangement read from its text form, or the message that says what is wrong with it.
struct ParsedArrangement {
    Arrangement arrangement;
    std::string error;  // empty when the text was read
    bool ok() const { return error.empty(); }
};

// Reads what formatArrangement writes: layers as parseLayer reads them, joined by '/', the one
// nearest the face first ("2 N° 6 + 1 N° 5 / 2 N° 5"). An empty text, or an empty layer, is an
// error.
ParsedArrangement parseArrangement(std::string_view text);

}  // namespace engine
