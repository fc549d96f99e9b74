#pragma once

#include <optional>
#include <string>

#include "engine/beam/beam.h"

// The Spanish texts of a design's checks, notes and errors, composed where they are shown with
// the decimal separator given: the design holds their figures, not their words.
namespace engine::beam {

// "Vano 1, apoyo izquierdo", "Vano 2, x = 3.45 m", "Apoyo 3, x = 12.40 m", "Apoyo 2", "Apoyo",
// "Vano 2"; empty for the whole beam.
Phrase placePhrase(const Place& place);
std::string placeText(const Place& place, char decimalSeparator);

// A check's words without its place, e.g. "φMn− = 20.31 ≥ Mu− = 18.00 Tn-m".
Phrase checkBody(const Check& check);
std::string checkText(const Check& check, char decimalSeparator);

// The place, ": " and the words; the words alone for a check of the whole beam.
Phrase checkPhrase(const Check& check);
std::string checkLine(const Check& check, char decimalSeparator);

// A steel ratio above the limit: three decimals, four where three would show the limit itself.
Figure ratioFigure(double rho);

std::string noteText(const Phrase& note, char decimalSeparator);
std::string errorText(const BeamError& error, char decimalSeparator);

// The span a check is filed under in the JSON (from 1): a span's own, the span to the left of
// an interior or last support, the first span for the first support; none for the whole beam
// or a support not known.
std::optional<int> placeSpan(const Place& place);

}  // namespace engine::beam
