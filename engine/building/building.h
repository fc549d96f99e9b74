#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/beam/beam.h"
#include "engine/csv.h"

// A building's beams as an analysis program exports them: one file of spans for every beam
// (one row per span, named by the beam), and optionally one of stations (one row per station
// and load combination). Columns are found by their header names in any order, other columns
// ignored; numbers as the spans reader reads them. A problem is "línea N: <what is wrong>", N
// the line on which the row starts, or "el archivo ..." for the file as a whole.
namespace engine::building {

// The beam-level columns of the beams file, beside the spans file's (beam::spanColumns). wu,
// class, code and description may be left out or empty (class DES, code NSR-98 by default).
inline constexpr std::array<std::string_view, 11> beamColumns{
    "beam", "b", "h", "cover", "cover2", "fc", "fy", "wu", "class", "code", "description"};

// The stations file: beam name, span number, x from the span's left face (m), signed Mu
// (Tn-m); v (Tn) and combo may be left out.
inline constexpr std::array<std::string_view, 6> buildingStationColumns{"beam", "span", "x",
                                                                        "mu",   "v",    "combo"};

struct NamedBeam {
    beam::BeamInput input;    // input.name is the beam's name
    std::string description;  // "Eje B, piso 2", as the file gives it (may be empty)
    std::size_t line = 0;     // the line of its first row, for messages
};

struct Building {
    std::vector<NamedBeam> beams;  // in the order their first rows come
};

// Reads the beams. Every row of a beam must give the same section, materials, class, code and
// description (empty descriptions aside); its spans come in order from 1 and their supports
// agree as in the spans file. With `momentsFromStations` the moment columns may be missing.
std::variant<Building, std::string> readBuilding(csv::Reader& reader, char decimalSeparator,
                                                 bool momentsFromStations);

// Reads the stations of the beams read before into them: every beam then needs a station in
// each of its spans. A row of a beam the building has not is refused. x is measured from the
// span's left face, or with `fromCentreline` from its left support's centreline (the joint, as
// many analysis programs give it).
std::optional<std::string> readBuildingStations(csv::Reader& reader, char decimalSeparator,
                                                Building& building, bool fromCentreline = false);

// Beams that are alike: the same spans, supports, columns, section, materials, placing, code,
// class and kind of demand (typed moments or stations), designed once for the envelope of
// their demands.
struct BeamGroup {
    std::string name;                  // the members' names joined by " = ", or shortened
    std::vector<std::size_t> members;  // indices into the building's beams, in its order
};

// The groups of a building, in the order of their first members; a beam like no other is a
// group of one.
std::vector<BeamGroup> groupBeams(const Building& building);

// One input for a group: the geometry of its first member, the larger of each typed moment and
// load (the smaller of the midspan minima), or every member's stations together.
beam::BeamInput groupInput(const Building& building, const BeamGroup& group);

// Steel and concrete: kg by bar size (longitudinal bars and stirrups apart), m3.
struct Quantities {
    std::map<int, double> longitudinalByBar;  // N° -> kg
    std::map<int, double> stirrupsByBar;      // N° -> kg
    double longitudinal = 0, stirrups = 0, concrete = 0;
    double total() const { return longitudinal + stirrups; }
    double steelPerConcrete() const { return concrete > 0 ? total() / concrete : 0; }
    // Adds a design `count` times (a group's design stands for each of its members).
    void add(const beam::BeamDesign& design, int count = 1);
    void add(const Quantities& other);
};

Quantities designQuantities(const beam::BeamDesign& design);

// The quantities as a CSV table with Spanish headers: one row per beam (name, kg of each bar
// size longitudinal and stirrups, their sums, m3 of concrete, kg/m3), then "Total".
struct BeamQuantities {
    std::string name;
    Quantities quantities;
};
std::string quantitiesCsv(const std::vector<BeamQuantities>& beams, char delimiter,
                          char decimalSeparator);

}  // namespace engine::building
