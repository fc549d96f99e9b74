#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/beam/beam.h"

// The range every number of a continuous beam must lie in: what a building has, and so what the
// design works through in bounded time and memory (a station every 5 cm along at most
// `maxSpans` spans of at most 30 m). The files, the command line, the project reader and the
// windows refuse a value outside its range through these same bounds.
namespace engine::beam {

struct Bound {
    std::string_view key;   // as files and options name the value: "length"
    std::string_view name;  // in messages: "la luz libre"
    std::string_view unit;  // "m"
    double low = 0;         // both ends included
    double high = 0;
    // False for a value outside the range and for one that is not a number.
    constexpr bool holds(double value) const { return value >= low && value <= high; }
};

namespace bounds {
inline constexpr std::size_t maxSpans = 100;
// Shorter spans and narrower supports cannot be built around bars and stirrups.
inline constexpr Bound spanLength{"length", "la luz libre", "m", 0.3, 30};
inline constexpr Bound supportWidth{"support", "el ancho del apoyo", "cm", 10, 300};
// The column's width across the beam (0 in a BeamInput: as wide as the support).
inline constexpr Bound columnWidth{"column", "el ancho de la columna", "cm", 10, 300};
// A moment as typed (a magnitude) or as a station gives it (signed).
inline constexpr Bound moment{"mu", "el momento", "Tn-m", -1e6, 1e6};
// The factored gravity load on a span: a heavy transfer girder carrying a dozen storeys of
// slab takes some 100 Tn/m; ten times that is no building, and the limit keeps the shears the
// stirrups are designed for finite.
inline constexpr Bound gravityLoad{"wu", "la carga mayorada", "Tn/m", 0, 1000};
// The analysis shear at a station (signed), as wide as the moments' range.
inline constexpr Bound shear{"v", "el cortante", "Tn", -1e6, 1e6};
inline constexpr Bound stockLength{"stock", "la longitud comercial de las barras", "m", 1, 12};
}  // namespace bounds

// A value outside its bound, and where: the span or support number (from 1), 0 for the beam.
struct OutOfBounds {
    const Bound* bound = nullptr;
    double value = 0;
    std::string_view place;  // "Vano", "Apoyo", "Estación" or empty for the beam
    std::size_t number = 0;
};

// The bound's range: "0.3 a 30 m".
Phrase rangePhrase(const Bound& bound);
std::string rangeText(const Bound& bound, char decimalSeparator);

// "la luz libre «length» = 1e+12 m está fuera de lo admitido (0.3 a 30 m)", with the place
// first when it has one: "Vano 3: ...".
Phrase outOfBoundsPhrase(const OutOfBounds& breach);

// The first number of the beam outside its bound (spans beyond `maxSpans` reported as the
// span after the last allowed), or none.
std::optional<OutOfBounds> firstOutOfBounds(const BeamInput& input);

}  // namespace engine::beam
