#include "engine/building/building.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <span>
#include <unordered_map>

#include "engine/beam/beamcsv.h"
#include "engine/beam/bounds.h"
#include "engine/numbers.h"
#include "engine/schedule.h"

namespace engine::building {

namespace {

using beam::ColumnPositions;

// Loads and shears as rows give them: finite and within what the moments may be.
constexpr beam::Bound loadBound{"wu", "la carga", "Tn/m", 0, 1e6};
constexpr beam::Bound shearBound{"v", "el cortante", "Tn", -1e6, 1e6};

enum BeamColumn {
    beamName,
    width,
    height,
    cover,
    cover2,
    fc,
    fy,
    wu,
    seismicClass,
    code,
    description
};
enum StationColumn { stationBeam, stationSpan, stationX, stationMu, stationV, stationCombo };

std::string quoted(std::string_view text) {
    return "«" + std::string(text) + "»";
}

std::string lineText(std::size_t line) {
    return "línea " + std::to_string(line) + ": ";
}

std::string_view fieldOf(const csv::Record& record, const ColumnPositions& positions,
                         std::size_t column) {
    const std::size_t at = positions[column];
    return at < record.fields.size() ? trimBlanks(record.fields[at]) : std::string_view{};
}

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// A beam's name as a row gives it, or why it cannot be one.
std::variant<std::string, std::string> nameOf(const csv::Record& record,
                                              const ColumnPositions& positions) {
    const std::string_view name = fieldOf(record, positions, beamName);
    if (name.empty())
        return std::variant<std::string, std::string>(std::in_place_index<1>,
                                                      "falta el nombre de la viga");
    if (!beam::validBeamName(name))
        return std::variant<std::string, std::string>(
            std::in_place_index<1>, "el nombre de la viga debe tener de 1 a " +
                                        std::to_string(beam::longestBeamName) +
                                        " caracteres, sin caracteres de control: " +
                                        quoted(printableText(fieldExcerpt(name))));
    return std::variant<std::string, std::string>(std::in_place_index<0>, std::string(name));
}

// What a beam's rows must agree on, as one row gives it.
struct BeamRow {
    double numbers[6] = {};  // b, h, cover, cover2, fc, fy
    beam::SeismicClass seismicClass = beam::SeismicClass::Des;
    DesignCode code = DesignCode::Nsr98;
    std::string description;
    std::optional<double> wu;
};

std::variant<BeamRow, std::string> readBeamRow(const csv::Record& record,
                                               const ColumnPositions& positions,
                                               char decimalSeparator) {
    const std::span<const std::string_view> columns(beamColumns);
    BeamRow row;
    for (std::size_t column = width; column <= fy; ++column) {
        auto value = beam::readColumnNumber(record, positions, columns, column, decimalSeparator);
        if (auto* message = std::get_if<std::string>(&value)) return std::move(*message);
        const auto number = std::get<std::optional<double>>(value);
        if (!number) return "falta el valor de " + quoted(columns[column]);
        if (!(*number > 0 && *number < 1e6))
            return "el valor de " + quoted(columns[column]) + " debe ser mayor que cero: " +
                   quoted(fieldExcerpt(fieldOf(record, positions, column)));
        row.numbers[column - width] = *number;
    }
    auto load =
        beam::readColumnNumber(record, positions, columns, wu, decimalSeparator, &loadBound);
    if (auto* message = std::get_if<std::string>(&load)) return std::move(*message);
    row.wu = std::get<std::optional<double>>(load);
    if (const auto text = fieldOf(record, positions, seismicClass); !text.empty()) {
        const auto named = beam::classFromName(upper(text));
        if (!named)
            return "clase de disipación de energía desconocida: " +
                   quoted(printableText(fieldExcerpt(text))) + " (DES, DMO o DMI)";
        row.seismicClass = *named;
    }
    if (const auto text = fieldOf(record, positions, code); !text.empty()) {
        const auto named = codeFromName(upper(text));
        if (!named)
            return "código desconocido: " + quoted(printableText(fieldExcerpt(text))) +
                   " (NSR-98 o NSR-10)";
        row.code = *named;
    }
    row.description = std::string(fieldOf(record, positions, description));
    return row;
}

// A beam being read: its input so far, its spans as the spans reader keeps them.
struct BeamBeingRead {
    NamedBeam beam;
    beam::SpansFile spans;
    BeamRow first;
};

// What differs between a beam's first row and another, or nothing.
std::optional<std::string> disagreement(const BeamRow& first, const BeamRow& row,
                                        std::size_t firstLine) {
    const auto differs = [&](std::string_view what) {
        return "la viga ya tiene otro valor de " + quoted(what) + " en la línea " +
               std::to_string(firstLine) +
               ": todas sus filas deben traer la misma sección y "
               "los mismos materiales";
    };
    for (std::size_t i = 0; i < 6; ++i) {
        if (first.numbers[i] != row.numbers[i]) return differs(beamColumns[width + i]);
    }
    if (first.seismicClass != row.seismicClass) return differs(beamColumns[seismicClass]);
    if (first.code != row.code) return differs(beamColumns[code]);
    if (!row.description.empty() && !first.description.empty() &&
        row.description != first.description)
        return differs(beamColumns[description]);
    return std::nullopt;
}

}  // namespace

std::variant<Building, std::string> readBuilding(csv::Reader& reader, char decimalSeparator,
                                                 bool momentsFromStations) {
    csv::Record record;
    bool found = false;
    while ((found = reader.next(record)) && isBlankRecord(record)) {
    }
    if (!found) return std::string("el archivo está vacío: le falta el encabezado");
    constexpr std::array<bool, beamColumns.size()> beamRequired{
        true, true, true, true, true, true, true, false, false, false, false};
    auto beamHeader = beam::readColumnHeader(record, beamColumns, beamRequired);
    if (auto* message = std::get_if<std::string>(&beamHeader)) return std::move(*message);
    const ColumnPositions beamPositions = std::get<ColumnPositions>(std::move(beamHeader));
    std::array<bool, beam::spanColumns.size()> spanRequired{};
    for (std::size_t column = 0; column < 4; ++column) spanRequired[column] = true;
    for (std::size_t column = 4; column < 7; ++column) spanRequired[column] = !momentsFromStations;
    auto spanHeader = beam::readColumnHeader(record, beam::spanColumns, spanRequired);
    if (auto* message = std::get_if<std::string>(&spanHeader)) return std::move(*message);
    const ColumnPositions spanPositions = std::get<ColumnPositions>(std::move(spanHeader));

    std::vector<BeamBeingRead> beams;
    std::unordered_map<std::string, std::size_t> byName;
    const auto readRow = [&](const csv::Record& row) -> std::optional<std::string> {
        if (row.problem != csv::RecordProblem::None) return recordProblemText(row.problem);
        auto name = nameOf(row, beamPositions);
        if (name.index() == 1) return std::get<1>(std::move(name));
        auto fields = readBeamRow(row, beamPositions, decimalSeparator);
        if (auto* message = std::get_if<std::string>(&fields)) return std::move(*message);
        BeamRow& values = std::get<BeamRow>(fields);
        auto [at, isNew] = byName.try_emplace(std::get<0>(name), beams.size());
        if (isNew) {
            if (beams.size() == 100000) return std::string("el archivo trae demasiadas vigas");
            BeamBeingRead fresh;
            fresh.beam.input.name = std::get<0>(name);
            fresh.beam.line = row.line;
            fresh.first = values;
            beams.push_back(std::move(fresh));
        }
        BeamBeingRead& beam = beams[at->second];
        if (!isNew) {
            // A beam whose first span comes again is a second beam of the same name.
            auto spanNumber =
                beam::readColumnNumber(row, spanPositions, beam::spanColumns, 0, decimalSeparator);
            if (auto* number = std::get_if<std::optional<double>>(&spanNumber);
                number && *number && **number == 1)
                return "la viga " + quoted(std::get<0>(name)) +
                       " aparece dos veces: ya empezó en la línea " +
                       std::to_string(beam.beam.line);
            if (auto message = disagreement(beam.first, values, beam.beam.line)) return message;
            if (beam.first.description.empty()) beam.first.description = values.description;
        }
        if (beam.spans.spans.size() == beam::bounds::maxSpans)
            return "la viga tiene a lo sumo " + std::to_string(beam::bounds::maxSpans) + " vanos";
        if (auto message = beam::readSpanRecord(row, spanPositions, decimalSeparator,
                                                momentsFromStations, beam.spans))
            return message;
        // The spans reader may read wu itself; the beam columns' reading stands in otherwise.
        if (!beam.spans.spans.back().wu) beam.spans.spans.back().wu = values.wu;
        return std::nullopt;
    };
    while (reader.next(record)) {
        if (isBlankRecord(record)) continue;
        if (auto message = readRow(record)) return lineText(record.line) + *message;
    }
    if (beams.empty()) return std::string("el archivo no trae ninguna viga");

    Building building;
    building.beams.reserve(beams.size());
    for (BeamBeingRead& read : beams) {
        NamedBeam& named = read.beam;
        beam::BeamInput& input = named.input;
        input.b = read.first.numbers[0];
        input.h = read.first.numbers[1];
        input.dPrime = read.first.numbers[2];
        input.dSecond = read.first.numbers[3];
        input.fc = read.first.numbers[4];
        input.fy = read.first.numbers[5];
        input.seismicClass = read.first.seismicClass;
        input.code = read.first.code;
        input.supports = std::move(read.spans.supports);
        input.columns = std::move(read.spans.columns);
        input.spans = std::move(read.spans.spans);
        named.description = read.first.description;
        building.beams.push_back(std::move(named));
    }
    return building;
}

std::optional<std::string> readBuildingStations(csv::Reader& reader, char decimalSeparator,
                                                Building& building, bool fromCentreline) {
    csv::Record record;
    bool found = false;
    while ((found = reader.next(record)) && isBlankRecord(record)) {
    }
    if (!found) return std::string("el archivo está vacío: le falta el encabezado");
    constexpr std::array<bool, buildingStationColumns.size()> required{true, true,  true,
                                                                       true, false, false};
    auto header = beam::readColumnHeader(record, buildingStationColumns, required);
    if (auto* message = std::get_if<std::string>(&header)) return std::move(*message);
    const ColumnPositions positions = std::get<ColumnPositions>(std::move(header));
    const std::span<const std::string_view> columns(buildingStationColumns);

    std::unordered_map<std::string_view, std::size_t> byName;
    for (std::size_t i = 0; i < building.beams.size(); ++i) {
        building.beams[i].input.stations.clear();
        byName.emplace(building.beams[i].input.name, i);
    }
    std::vector<std::vector<bool>> seen(building.beams.size());
    for (std::size_t i = 0; i < building.beams.size(); ++i)
        seen[i].assign(building.beams[i].input.spans.size(), false);

    const auto readRow = [&](const csv::Record& row) -> std::optional<std::string> {
        if (row.problem != csv::RecordProblem::None) return recordProblemText(row.problem);
        const std::string_view name = fieldOf(row, positions, stationBeam);
        if (name.empty()) return std::string("falta el nombre de la viga");
        const auto at = byName.find(name);
        if (at == byName.end())
            return "la viga " + quoted(printableText(fieldExcerpt(name))) +
                   " no está en el archivo de vigas";
        beam::BeamInput& input = building.beams[at->second].input;
        double values[3] = {};  // span, x, mu
        for (std::size_t column = stationSpan; column <= stationMu; ++column) {
            auto value =
                beam::readColumnNumber(row, positions, columns, column, decimalSeparator,
                                       column == stationMu ? &beam::bounds::moment : nullptr);
            if (auto* message = std::get_if<std::string>(&value)) return std::move(*message);
            const auto number = std::get<std::optional<double>>(value);
            if (!number) return "falta el valor de " + quoted(columns[column]);
            values[column - stationSpan] = *number;
        }
        const double span = values[0];
        if (!(span >= 1 && span <= 1e9 && span == std::floor(span)))
            return "el vano debe ser un número entero desde 1: " +
                   quoted(fieldExcerpt(fieldOf(row, positions, stationSpan)));
        if (span > static_cast<double>(input.spans.size()))
            return "el vano " + formatGeneral(span, '.') + " no existe: la viga " +
                   quoted(input.name) + " tiene " + std::to_string(input.spans.size());
        const auto index = static_cast<std::size_t>(span) - 1;
        double to = input.spans[index].length;
        if (fromCentreline)
            to += (input.supports[index] + input.supports[index + 1]) / 200;
        const double x = values[1];
        constexpr double slack = 1e-9;
        if (!(x >= -slack && x <= to + slack))
            return "la estación x = " + formatGeneral(x, '.') + " m queda fuera del vano " +
                   std::to_string(index + 1) + " de la viga " + quoted(input.name) + " (de 0 a " +
                   formatGeneral(to, '.') + " m" +
                   (fromCentreline ? " entre los ejes de sus apoyos)" : " entre sus caras)");
        auto shear = beam::readColumnNumber(row, positions, columns, stationV, decimalSeparator,
                                            &shearBound);
        if (auto* message = std::get_if<std::string>(&shear)) return std::move(*message);
        input.stations.push_back(
            {static_cast<int>(index + 1), x, values[2], std::get<std::optional<double>>(shear)});
        input.stationsFromCentreline = fromCentreline;
        seen[at->second][index] = true;
        return std::nullopt;
    };
    while (reader.next(record)) {
        if (isBlankRecord(record)) continue;
        if (auto message = readRow(record)) return lineText(record.line) + *message;
    }
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const auto missing = std::find(seen[i].begin(), seen[i].end(), false);
        if (missing == seen[i].end()) continue;
        const std::string& name = building.beams[i].input.name;
        if (building.beams[i].input.stations.empty())
            return "el archivo no trae ninguna estación de la viga " + quoted(name);
        return "el archivo no trae ninguna estación del vano " +
               std::to_string(missing - seen[i].begin() + 1) + " de la viga " + quoted(name);
    }
    return std::nullopt;
}

namespace {

// Everything but the demand and the name: beams equal in this are designed alike.
bool sameGeometry(const beam::BeamInput& a, const beam::BeamInput& b) {
    if (a.spans.size() != b.spans.size()) return false;
    for (std::size_t i = 0; i < a.spans.size(); ++i)
        if (a.spans[i].length != b.spans[i].length) return false;
    return a.code == b.code && a.seismicClass == b.seismicClass && a.b == b.b && a.h == b.h &&
           a.dPrime == b.dPrime && a.dSecond == b.dSecond && a.fc == b.fc && a.fy == b.fy &&
           a.settings == b.settings && a.smallestBar == b.smallestBar &&
           a.largestBar == b.largestBar && a.stockLength == b.stockLength &&
           a.supports == b.supports && a.columns == b.columns &&
           a.stations.empty() == b.stations.empty() &&
           a.stationsFromCentreline == b.stationsFromCentreline;
}

std::string groupName(const Building& building, const std::vector<std::size_t>& members) {
    std::string name = building.beams[members.front()].input.name;
    for (std::size_t i = 1; i < members.size(); ++i)
        name += " = " + building.beams[members[i]].input.name;
    if (beam::validBeamName(name)) return name;
    // Too long for a schedule's heading: the first name and how many more.
    name = building.beams[members.front()].input.name + " y " + std::to_string(members.size() - 1) +
           " más";
    if (beam::validBeamName(name)) return name;
    return building.beams[members.front()].input.name;
}

std::optional<double> larger(std::optional<double> a, std::optional<double> b) {
    if (!a) return b;
    if (!b) return a;
    return std::max(*a, *b);
}

}  // namespace

std::vector<BeamGroup> groupBeams(const Building& building) {
    std::vector<BeamGroup> groups;
    // Beams are compared with the first member of each group so far; a building's few hundred
    // beams fall into few groups, so the search stays short.
    for (std::size_t i = 0; i < building.beams.size(); ++i) {
        const auto& input = building.beams[i].input;
        auto group = std::find_if(groups.begin(), groups.end(), [&](const BeamGroup& g) {
            return sameGeometry(building.beams[g.members.front()].input, input);
        });
        if (group == groups.end())
            groups.push_back({std::string(), {i}});
        else
            group->members.push_back(i);
    }
    for (BeamGroup& group : groups) group.name = groupName(building, group.members);
    return groups;
}

beam::BeamInput groupInput(const Building& building, const BeamGroup& group) {
    beam::BeamInput input = building.beams[group.members.front()].input;
    input.name = group.name;
    for (std::size_t m = 1; m < group.members.size(); ++m) {
        const beam::BeamInput& member = building.beams[group.members[m]].input;
        input.stations.insert(input.stations.end(), member.stations.begin(), member.stations.end());
        for (std::size_t i = 0; i < input.spans.size(); ++i) {
            beam::SpanMoments& into = input.spans[i].moments;
            const beam::SpanMoments& from = member.spans[i].moments;
            // The smallest Mu+ at midspan as each member takes it (half of mid when not given).
            const double minimum =
                std::min(into.midMin.value_or(into.mid / 2), from.midMin.value_or(from.mid / 2));
            into.left = std::max(into.left, from.left);
            into.mid = std::max(into.mid, from.mid);
            into.right = std::max(into.right, from.right);
            into.midMin = minimum;
            into.posLeft = larger(into.posLeft, from.posLeft);
            into.posRight = larger(into.posRight, from.posRight);
            input.spans[i].wu = larger(input.spans[i].wu, member.spans[i].wu);
        }
    }
    return input;
}

void Quantities::add(const beam::BeamDesign& design, int count) {
    for (const beam::BarMark& mark : design.bars) {
        longitudinalByBar[mark.bar] += count * mark.mass;
        longitudinal += count * mark.mass;
    }
    for (const beam::StirrupMark& mark : design.stirrups) {
        stirrupsByBar[mark.bar] += count * mark.mass;
        stirrups += count * mark.mass;
    }
    concrete += count * design.concrete;
}

void Quantities::add(const Quantities& other) {
    for (const auto& [bar, mass] : other.longitudinalByBar) longitudinalByBar[bar] += mass;
    for (const auto& [bar, mass] : other.stirrupsByBar) stirrupsByBar[bar] += mass;
    longitudinal += other.longitudinal;
    stirrups += other.stirrups;
    concrete += other.concrete;
}

Quantities designQuantities(const beam::BeamDesign& design) {
    Quantities quantities;
    quantities.add(design);
    return quantities;
}

std::string quantitiesCsv(const std::vector<BeamQuantities>& beams, char delimiter,
                          char decimalSeparator) {
    Quantities total;
    for (const BeamQuantities& beam : beams) total.add(beam.quantities);
    std::string out;
    const auto field = [&](std::string_view text) {
        if (!out.empty() && out.back() != '\n') out += delimiter;
        csv::appendField(out, text, delimiter);
    };
    const auto kg = [&](double value) { field(formatFixed(value, 1, decimalSeparator)); };
    field("Viga");
    for (const auto& [bar, mass] : total.longitudinalByBar)
        field("Longitudinal N° " + std::to_string(bar) + " (kg)");
    for (const auto& [bar, mass] : total.stirrupsByBar)
        field("Estribos N° " + std::to_string(bar) + " (kg)");
    field("Longitudinal (kg)");
    field("Estribos (kg)");
    field("Total (kg)");
    field("Concreto (m3)");
    field("kg/m3");
    out += '\n';
    const auto row = [&](std::string_view name, const Quantities& q) {
        field(name);
        for (const auto& [bar, mass] : total.longitudinalByBar) {
            const auto at = q.longitudinalByBar.find(bar);
            kg(at == q.longitudinalByBar.end() ? 0 : at->second);
        }
        for (const auto& [bar, mass] : total.stirrupsByBar) {
            const auto at = q.stirrupsByBar.find(bar);
            kg(at == q.stirrupsByBar.end() ? 0 : at->second);
        }
        kg(q.longitudinal);
        kg(q.stirrups);
        kg(q.total());
        field(formatFixed(q.concrete, 2, decimalSeparator));
        kg(q.steelPerConcrete());
        out += '\n';
    };
    for (const BeamQuantities& beam : beams) row(beam.name, beam.quantities);
    row("Total", total);
    return out;
}

}  // namespace engine::building
