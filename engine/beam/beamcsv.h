#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/beam/beam.h"
#include "engine/beam/bounds.h"
#include "engine/csv.h"

// The files a continuous beam is read from: its spans, and optionally the moments an analysis
// program exports at stations along them. Columns are found by their header names (any order,
// any letter case, other columns ignored); blank rows are skipped. Numbers as parseNumber reads
// them with the given decimal separator, or in scientific notation (1.5e3, 2,5E-1). A problem
// is "línea N: <what is wrong>", N the line of the input on which the row starts.
namespace engine::beam {

// The spans file: span number (1, 2, ... in order), clear span ln (m), width of the support at
// either end (cm), and the moments at the left face, at midspan and at the right face (Tn-m);
// mu_mid_min, the smallest positive moment at midspan, may be left out or empty; column_left
// and column_right, the width across the beam of the column at either end (cm), may be left out
// or empty (a square column, as wide as the support).
// mu_pos_left and mu_pos_right, Mu+ at the faces (sway frames), may be left out or empty.
// wu, the factored gravity load uniform over the clear span (Tn/m), may be left out or empty:
// the stirrups then take the seismic shear alone.
inline constexpr std::array<std::string_view, 13> spanColumns{
    "span",        "length",       "support_left", "support_right", "mu_left",
    "mu_mid",      "mu_right",     "mu_mid_min",   "column_left",   "column_right",
    "mu_pos_left", "mu_pos_right", "wu"};

// The stations file: span number, x (m), signed Mu (Tn-m, negative = tension at the top) and,
// optionally, the signed analysis shear v (Tn). Several rows at one x (the load combinations)
// are all kept: together they are the envelope.
inline constexpr std::array<std::string_view, 4> stationColumns{"span", "x", "mu", "v"};

struct SpansFile {
    std::vector<double> supports;  // cm, one more than the spans
    std::vector<Span> spans;
    // cm, one per support when the file has a column width (0 where it is left empty), else none
    std::vector<double> columns;
};

// Reads the spans. A span's support_right and the next span's support_left are one support and
// must agree, and so must its column_right and the next one's column_left. The negative moments are magnitudes (a minus sign, as analysis programs write
// them, is dropped); mu_mid, mu_pos_left and mu_pos_right may not be negative, nor mu_mid_min
// above mu_mid; a negative mu_mid_min is a span that hogs over its whole length.
// When the moments come from a stations file (`momentsFromStations`), the moment columns may be
// missing or empty and the spans' moments are left at zero.
std::variant<SpansFile, std::string> readSpans(csv::Reader& reader, char decimalSeparator,
                                               bool momentsFromStations);

// Reads the stations of the spans read before. x is measured from the span's left face and must
// lie in 0…ln; with `fromCentreline` it is measured from the left support's centreline and must
// lie between the two supports' centrelines. Every span needs at least one station. The x read
// is kept as written: BeamInput::stationsFromCentreline tells the design how to read it.
std::variant<std::vector<Station>, std::string> readStations(csv::Reader& reader,
                                                             char decimalSeparator,
                                                             const SpansFile& spans,
                                                             bool fromCentreline);

// For readers of other files built on the same columns (a building's beams): where the columns
// a header names stand (any order, other columns ignored; std::size_t(-1) for an optional one
// left out), a row's number in a column (none for an empty field; a message for one that is
// not a number or lies outside `bound`), and one row of the spans file read into `file` with
// the positions of spanColumns. Messages without the line.
using ColumnPositions = std::vector<std::size_t>;
std::variant<ColumnPositions, std::string> readColumnHeader(
    const csv::Record& header, std::span<const std::string_view> columns,
    std::span<const bool> required);
std::variant<std::optional<double>, std::string> readColumnNumber(
    const csv::Record& record, const ColumnPositions& positions,
    std::span<const std::string_view> columns, std::size_t column, char decimalSeparator,
    const Bound* bound = nullptr);
std::optional<std::string> readSpanRecord(const csv::Record& record,
                                          const ColumnPositions& positions,
                                          char decimalSeparator, bool momentsFromStations,
                                          SpansFile& file);

}  // namespace engine::beam
