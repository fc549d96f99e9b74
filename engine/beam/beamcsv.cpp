#include "engine/beam/beamcsv.h"

#include <cmath>
#include <optional>
#include <span>

#include "engine/beam/bounds.h"
#include "engine/numbers.h"
#include "engine/schedule.h"

namespace engine::beam {

namespace {

constexpr std::size_t absent = static_cast<std::size_t>(-1);

// Where each named column stands in the records, `absent` for an optional one left out.
using Positions = std::vector<std::size_t>;

std::string quoted(std::string_view text) {
    return "«" + std::string(text) + "»";
}

std::string lineText(std::size_t line) {
    return "línea " + std::to_string(line) + ": ";
}

std::string columnList(std::span<const std::string_view> columns) {
    std::string text;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) text += ", ";
        text += columns[i];
    }
    return text;
}

// The first record that is not blank, or a message for a file with none.
std::optional<std::string> firstRecord(csv::Reader& reader, csv::Record& record,
                                       std::span<const std::string_view> columns) {
    bool found = false;
    while ((found = reader.next(record)) && isBlankRecord(record)) {
    }
    if (found) return std::nullopt;
    return "el archivo está vacío: le falta el encabezado (" + columnList(columns) + ")";
}

// The positions of the columns a header names; `required[i]` says whether columns[i] must be
// there.
std::variant<Positions, std::string> readHeader(const csv::Record& header,
                                                std::span<const std::string_view> columns,
                                                std::span<const bool> required) {
    if (header.problem != csv::RecordProblem::None)
        return lineText(header.line) + recordProblemText(header.problem);
    Positions positions(columns.size(), absent);
    for (std::size_t field = 0; field < header.fields.size(); ++field) {
        for (std::size_t column = 0; column < columns.size(); ++column) {
            if (!sameColumnName(header.fields[field], columns[column])) continue;
            if (positions[column] != absent)
                return lineText(header.line) + "la columna " + quoted(columns[column]) +
                       " aparece dos veces en el encabezado";
            positions[column] = field;
        }
    }
    std::string missing;
    std::size_t missingCount = 0;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        if (positions[column] != absent || !required[column]) continue;
        if (missingCount++ > 0) missing += ", ";
        missing += quoted(columns[column]);
    }
    if (missingCount == 0) return positions;
    std::string message = lineText(header.line) +
                          (missingCount == 1 ? "falta la columna " : "faltan las columnas ") +
                          missing + " en el encabezado (se esperan " + columnList(columns) + ")";
    if (header.fields.size() == 1 &&
        header.fields[0].find_first_of(",;\t|") != std::string_view::npos)
        message += "; ¿el archivo separa los campos con otro carácter?";
    return message;
}

// The field of a column in a record; empty when the column is absent or the row is short.
std::string_view fieldOf(const csv::Record& record, const Positions& positions,
                         std::size_t column) {
    const std::size_t at = positions[column];
    return at < record.fields.size() ? record.fields[at] : std::string_view{};
}

// A column's value outside what a beam may have.
std::string outsideText(std::string_view column, std::string_view field, const Bound& bound) {
    return "el valor de " + quoted(column) + " está fuera de lo admitido (" +
           rangeText(bound, '.') + "): " + quoted(fieldExcerpt(field));
}

// A row's number in a column: none for an empty field; a message for one that is not a number,
// or that lies outside `bound` when one is given.
std::variant<std::optional<double>, std::string> numberIn(const csv::Record& record,
                                                          const Positions& positions,
                                                          std::span<const std::string_view> columns,
                                                          std::size_t column,
                                                          char decimalSeparator,
                                                          const Bound* bound = nullptr) {
    const std::string_view text = fieldOf(record, positions, column);
    if (trimBlanks(text).empty()) return std::optional<double>{};
    const auto value = parseNumber(text, decimalSeparator, NumberStyle::Scientific);
    if (!value)
        return "el valor de " + quoted(columns[column]) + " no es un número: " +
               quoted(fieldExcerpt(text));
    if (bound && !bound->holds(*value)) return outsideText(columns[column], text, *bound);
    return value;
}

// A number that must be there.
std::variant<double, std::string> requiredNumber(const csv::Record& record,
                                                 const Positions& positions,
                                                 std::span<const std::string_view> columns,
                                                 std::size_t column, char decimalSeparator) {
    auto value = numberIn(record, positions, columns, column, decimalSeparator);
    if (auto* message = std::get_if<std::string>(&value)) return std::move(*message);
    if (const auto number = std::get<std::optional<double>>(value)) return *number;
    return "falta el valor de " + quoted(columns[column]);
}

// A span number: a whole number from 1.
std::variant<int, std::string> spanNumber(const csv::Record& record, const Positions& positions,
                                          std::span<const std::string_view> columns,
                                          char decimalSeparator) {
    auto value = requiredNumber(record, positions, columns, 0, decimalSeparator);
    if (auto* message = std::get_if<std::string>(&value)) return std::move(*message);
    const double number = std::get<double>(value);
    if (number >= 1 && number <= 1e9 && number == std::floor(number))
        return static_cast<int>(number);
    return "el vano debe ser un número entero desde 1: " +
           quoted(fieldExcerpt(fieldOf(record, positions, 0)));
}

std::string numberText(double value) {
    return formatGeneral(value, '.');
}

enum SpanColumn {
    spanNo, length, supportLeft, supportRight, muLeft, muMid, muRight, muMidMin,
    columnLeft, columnRight, muPosLeft, muPosRight, gravityLoad
};

// The columns' widths of a row, when the file has them, into `file`: the one on the left is
// the column on the right of the span before, and the two must agree (an empty field stands for
// a column as wide as its support).
std::optional<std::string> readColumnWidths(const csv::Record& record, const Positions& positions,
                                            char decimalSeparator, SpansFile& file) {
    if (positions[columnLeft] == absent && positions[columnRight] == absent) return std::nullopt;
    const std::span<const std::string_view> columns(spanColumns);
    double widths[2] = {};
    for (std::size_t column = columnLeft; column <= columnRight; ++column) {
        auto value = numberIn(record, positions, columns, column, decimalSeparator,
                              &bounds::columnWidth);
        if (auto* message = std::get_if<std::string>(&value)) return std::move(*message);
        const auto width = std::get<std::optional<double>>(value);
        if (!width) continue;
        widths[column - columnLeft] = *width;
    }
    if (file.columns.empty()) {
        file.columns.push_back(widths[0]);
    } else {
        const std::size_t support = file.columns.size() - 1;
        const double width = file.supports[support];
        const double previous = file.columns.back() > 0 ? file.columns.back() : width;
        const double left = widths[0] > 0 ? widths[0] : width;
        if (std::fabs(previous - left) > 1e-9 * std::max(previous, left))
            return "la columna izquierda del vano " + std::to_string(support + 1) + " (" +
                   numberText(left) + " cm) no coincide con la columna derecha del vano " +
                   std::to_string(support) + " (" + numberText(previous) +
                   " cm): son la misma columna";
        file.columns.back() = std::max(file.columns.back(), widths[0]);
    }
    file.columns.push_back(widths[1]);
    return std::nullopt;
}

// One row of the spans file read into `file`; what is wrong with it, if anything.
std::optional<std::string> readSpanRow(const csv::Record& record, const Positions& positions,
                                       char decimalSeparator, bool momentsFromStations,
                                       SpansFile& file) {
    if (record.problem != csv::RecordProblem::None) return recordProblemText(record.problem);
    const std::span<const std::string_view> columns(spanColumns);
    const auto expected = static_cast<int>(file.spans.size()) + 1;
    auto number = spanNumber(record, positions, columns, decimalSeparator);
    if (auto* message = std::get_if<std::string>(&number)) return std::move(*message);
    if (std::get<int>(number) != expected)
        return "se espera el vano " + std::to_string(expected) + " y la fila trae el " +
               std::to_string(std::get<int>(number)) + " (los vanos van en orden desde 1)";

    double values[4] = {};  // length and supports
    for (std::size_t column = length; column <= supportRight; ++column) {
        auto value = requiredNumber(record, positions, columns, column, decimalSeparator);
        if (auto* message = std::get_if<std::string>(&value)) return std::move(*message);
        values[column - length] = std::get<double>(value);
        if (!(values[column - length] > 0))
            return "el valor de " + quoted(columns[column]) + " debe ser mayor que cero: " +
                   quoted(fieldExcerpt(fieldOf(record, positions, column)));
        const Bound& bound = column == length ? bounds::spanLength : bounds::supportWidth;
        if (!bound.holds(values[column - length]))
            return outsideText(columns[column], fieldOf(record, positions, column), bound);
    }
    const double left = values[supportLeft - length];
    const double right = values[supportRight - length];
    if (!file.supports.empty()) {
        const double previous = file.supports.back();
        if (std::fabs(previous - left) > 1e-9 * std::max(previous, left))
            return "el apoyo izquierdo del vano " + std::to_string(expected) + " (" +
                   numberText(left) + " cm) no coincide con el apoyo derecho del vano " +
                   std::to_string(expected - 1) + " (" + numberText(previous) +
                   " cm): son el mismo apoyo";
    } else {
        file.supports.push_back(left);
    }
    file.supports.push_back(right);

    Span span;
    span.length = values[0];
    std::optional<double> moments[4];
    for (std::size_t column = muLeft; column <= muMidMin; ++column) {
        auto value =
            numberIn(record, positions, columns, column, decimalSeparator, &bounds::moment);
        if (auto* message = std::get_if<std::string>(&value)) return std::move(*message);
        moments[column - muLeft] = std::get<std::optional<double>>(value);
        if (!moments[column - muLeft] && !momentsFromStations && column != muMidMin)
            return "falta el valor de " + quoted(columns[column]);
    }
    span.moments.left = std::fabs(moments[0].value_or(0));
    span.moments.mid = moments[1].value_or(0);
    span.moments.right = std::fabs(moments[2].value_or(0));
    span.moments.midMin = moments[3];
    if (span.moments.mid < 0)
        return "el momento positivo " + quoted("mu_mid") +
               " se escribe como magnitud y no puede ser negativo";
    for (std::size_t column = muPosLeft; column <= muPosRight; ++column) {
        auto value =
            numberIn(record, positions, columns, column, decimalSeparator, &bounds::moment);
        if (auto* message = std::get_if<std::string>(&value)) return std::move(*message);
        const auto moment = std::get<std::optional<double>>(value);
        if (!moment) continue;
        if (*moment < 0)
            return "el momento positivo " + quoted(columns[column]) +
                   " se escribe como magnitud y no puede ser negativo";
        (column == muPosLeft ? span.moments.posLeft : span.moments.posRight) = *moment;
    }
    if (span.moments.midMin && *span.moments.midMin > span.moments.mid)
        return quoted("mu_mid_min") + " (" + numberText(*span.moments.midMin) +
               ") no puede ser mayor que " + quoted("mu_mid") + " (" +
               numberText(span.moments.mid) + ")";
    auto load = numberIn(record, positions, columns, gravityLoad, decimalSeparator,
                         &bounds::gravityLoad);
    if (auto* message = std::get_if<std::string>(&load)) return std::move(*message);
    span.wu = std::get<std::optional<double>>(load);
    if (auto message = readColumnWidths(record, positions, decimalSeparator, file))
        return message;
    file.spans.push_back(span);
    return std::nullopt;
}

}  // namespace

std::variant<SpansFile, std::string> readSpans(csv::Reader& reader, char decimalSeparator,
                                               bool momentsFromStations) {
    csv::Record record;
    if (auto message = firstRecord(reader, record, spanColumns)) return std::move(*message);
    const bool momentRequired = !momentsFromStations;
    const std::array<bool, spanColumns.size()> required{
        true,  true,  true,  true,  momentRequired, momentRequired, momentRequired, false, false,
        false, false, false, false};
    auto header = readHeader(record, spanColumns, required);
    if (auto* message = std::get_if<std::string>(&header)) return std::move(*message);
    const Positions positions = std::get<Positions>(std::move(header));

    SpansFile file;
    while (reader.next(record)) {
        if (isBlankRecord(record)) continue;
        if (file.spans.size() == bounds::maxSpans)
            return lineText(record.line) + "la viga tiene a lo sumo " +
                   std::to_string(bounds::maxSpans) + " vanos";
        if (auto message =
                readSpanRow(record, positions, decimalSeparator, momentsFromStations, file))
            return lineText(record.line) + *message;
    }
    if (file.spans.empty()) return std::string("el archivo no trae ningún vano");
    return file;
}

std::variant<std::vector<Station>, std::string> readStations(csv::Reader& reader,
                                                             char decimalSeparator,
                                                             const SpansFile& spans,
                                                             bool fromCentreline) {
    csv::Record record;
    if (auto message = firstRecord(reader, record, stationColumns)) return std::move(*message);
    constexpr std::array<bool, stationColumns.size()> required{true, true, true, false};
    auto header = readHeader(record, stationColumns, required);
    if (auto* message = std::get_if<std::string>(&header)) return std::move(*message);
    const Positions positions = std::get<Positions>(std::move(header));
    const std::span<const std::string_view> columns(stationColumns);

    std::vector<Station> stations;
    std::vector<bool> seen(spans.spans.size(), false);
    const auto readRow = [&](const csv::Record& row) -> std::optional<std::string> {
        if (row.problem != csv::RecordProblem::None) return recordProblemText(row.problem);
        auto span = spanNumber(row, positions, columns, decimalSeparator);
        if (auto* message = std::get_if<std::string>(&span)) return std::move(*message);
        const int number = std::get<int>(span);
        if (static_cast<std::size_t>(number) > spans.spans.size())
            return "el vano " + std::to_string(number) + " no existe: el archivo de vanos trae " +
                   std::to_string(spans.spans.size());
        auto x = requiredNumber(row, positions, columns, 1, decimalSeparator);
        if (auto* message = std::get_if<std::string>(&x)) return std::move(*message);
        auto mu = requiredNumber(row, positions, columns, 2, decimalSeparator);
        if (auto* message = std::get_if<std::string>(&mu)) return std::move(*message);

        const auto index = static_cast<std::size_t>(number - 1);
        const double ln = spans.spans[index].length;
        const double from = 0;
        double to = ln;
        if (fromCentreline && index + 1 < spans.supports.size())
            to = spans.supports[index] / 200 + ln + spans.supports[index + 1] / 200;
        // A nanometre of slack for the faces and centrelines computed from the widths.
        constexpr double slack = 1e-9;
        const double at = std::get<double>(x);
        if (!(at >= from - slack && at <= to + slack))
            return "la estación x = " + numberText(at) + " m queda fuera del vano " +
                   std::to_string(number) + " (de 0 a " + numberText(to) + " m" +
                   (fromCentreline ? " entre los ejes de sus apoyos)" : " entre sus caras)");
        if (!bounds::moment.holds(std::get<double>(mu)))
            return outsideText(columns[2], fieldOf(row, positions, 2), bounds::moment);
        auto shear = numberIn(row, positions, columns, 3, decimalSeparator, &bounds::shear);
        if (auto* message = std::get_if<std::string>(&shear)) return std::move(*message);
        stations.push_back({number, at, std::get<double>(mu), std::get<std::optional<double>>(shear)});
        seen[index] = true;
        return std::nullopt;
    };
    while (reader.next(record)) {
        if (isBlankRecord(record)) continue;
        if (auto message = readRow(record)) return lineText(record.line) + *message;
    }
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (!seen[i])
            return "el archivo no trae ninguna estación del vano " + std::to_string(i + 1);
    }
    return stations;
}

std::variant<ColumnPositions, std::string> readColumnHeader(
    const csv::Record& header, std::span<const std::string_view> columns,
    std::span<const bool> required) {
    return readHeader(header, columns, required);
}

std::variant<std::optional<double>, std::string> readColumnNumber(
    const csv::Record& record, const ColumnPositions& positions,
    std::span<const std::string_view> columns, std::size_t column, char decimalSeparator,
    const Bound* bound) {
    return numberIn(record, positions, columns, column, decimalSeparator, bound);
}

std::optional<std::string> readSpanRecord(const csv::Record& record,
                                          const ColumnPositions& positions,
                                          char decimalSeparator, bool momentsFromStations,
                                          SpansFile& file) {
    return readSpanRow(record, positions, decimalSeparator, momentsFromStations, file);
}

}  // namespace engine::beam
