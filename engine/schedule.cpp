#include "engine/schedule.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "engine/numbers.h"

namespace engine {

namespace {

constexpr std::size_t flushSize = std::size_t{1} << 16;

}  // namespace

bool sameColumnName(std::string_view name, std::string_view column) {
    name = trimBlanks(name);
    if (name.size() != column.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != column[i]) return false;
    }
    return true;
}

namespace {

void appendQuotedName(std::string& out, std::string_view name) {
    out += "«";
    out += name;
    out += "»";
}

std::string expectedColumns() {
    std::string text = "(se esperan ";
    for (std::size_t i = 0; i < scheduleColumns.size(); ++i) {
        if (i > 0) text += ", ";
        text += scheduleColumns[i];
    }
    return text + ")";
}

}  // namespace

// A field's text for a message: at most 40 bytes, cut at a character boundary, line breaks
// and tabs as blanks.
std::string fieldExcerpt(std::string_view text) {
    constexpr std::size_t limit = 40;
    std::string out;
    if (text.size() > limit) {
        std::size_t cut = limit;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text = text.substr(0, cut);
        out = std::string(text) + "…";
    } else {
        out = std::string(text);
    }
    for (char& c : out) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    return printableText(out);
}

std::string printableText(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c1) {
            const auto code = static_cast<unsigned char>(text[++i]);
            out += "\\u00";
            out += hex[code >> 4];
            out += hex[code & 0xF];
        } else if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string recordProblemText(csv::RecordProblem problem) {
    switch (problem) {
        case csv::RecordProblem::StrayQuote:
            return "hay texto tras las comillas que cierran un campo";
        case csv::RecordProblem::UnclosedQuote:
            return "unas comillas abiertas no se cierran antes del final del archivo";
        case csv::RecordProblem::TooLong:
            return "la fila es demasiado larga";
        case csv::RecordProblem::None:
            break;
    }
    return {};
}

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0 when it starts
// with a byte that begins none (a stray continuation byte, an overlong form, a surrogate,
// a code point past U+10FFFF or a sequence cut short).
std::size_t utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    if (first < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;  // the second byte's range, narrowed to refuse the forms above
    unsigned char high = 0xBF;
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        if (first == 0xE0) low = 0xA0;
        if (first == 0xED) high = 0x9F;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        if (first == 0xF0) low = 0x90;
        if (first == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

// A JSON string of the text. Bytes that are not UTF-8 (a name typed in a Latin-1 spreadsheet)
// are each written as U+FFFD, the replacement character, so that every line stays valid JSON.
void appendJsonString(std::string& out, std::string_view text) {
    out.push_back('"');
    while (!text.empty()) {
        const char c = text.front();
        const std::size_t length = utf8SequenceLength(text);
        if (length != 1) {
            out += length == 0 ? std::string_view("\xEF\xBF\xBD") : text.substr(0, length);
            text.remove_prefix(length == 0 ? 1 : length);
            continue;
        }
        text.remove_prefix(1);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
}

namespace {

std::string_view idOf(const csv::Record& record, const ScheduleLayout& layout) {
    const std::size_t at = layout.position[0];
    return at < record.fields.size() ? record.fields[at] : std::string_view{};
}

}  // namespace

std::variant<ScheduleLayout, std::string> readScheduleHeader(const csv::Record& header) {
    constexpr std::size_t none = static_cast<std::size_t>(-1);
    ScheduleLayout layout;
    layout.position.fill(none);
    for (std::size_t field = 0; field < header.fields.size(); ++field) {
        for (std::size_t column = 0; column < scheduleColumns.size(); ++column) {
            if (!sameColumnName(header.fields[field], scheduleColumns[column])) continue;
            if (layout.position[column] != none) {
                std::string message = "la columna ";
                appendQuotedName(message, scheduleColumns[column]);
                return message + " aparece dos veces en el encabezado";
            }
            layout.position[column] = field;
            if (field + 1 > layout.width) layout.width = field + 1;
        }
    }
    std::string missing;
    std::size_t missingCount = 0;
    for (std::size_t column = 0; column < scheduleColumns.size(); ++column) {
        if (layout.position[column] != none) continue;
        if (missingCount++ > 0) missing += ", ";
        appendQuotedName(missing, scheduleColumns[column]);
    }
    if (missingCount == 0) return layout;

    std::string message = missingCount == 1
                              ? "falta la columna " + missing + " en el encabezado "
                              : "faltan las columnas " + missing + " en el encabezado ";
    message += expectedColumns();
    // One field holding every name: most likely the file separates fields with another character.
    if (header.fields.size() == 1 &&
        header.fields[0].find_first_of(",;\t|") != std::string_view::npos)
        message += "; ¿el archivo separa los campos con otro carácter?";
    return message;
}

std::variant<ScheduleRow, std::string> readScheduleRow(const csv::Record& record,
                                                       const ScheduleLayout& layout,
                                                       char decimalSeparator) {
    if (record.problem != csv::RecordProblem::None) return recordProblemText(record.problem);
    if (record.fields.size() < layout.width) {
        return "faltan valores: la fila tiene " + std::to_string(record.fields.size()) +
               (record.fields.size() == 1 ? " campo" : " campos") + " y hacen falta " +
               std::to_string(layout.width);
    }
    InputValues values;
    for (std::size_t column = 1; column < scheduleColumns.size(); ++column) {
        const std::string_view text = record.fields[layout.position[column]];
        const std::optional<double> value =
            parseNumber(text, decimalSeparator, NumberStyle::Scientific);
        if (value) {
            values[column - 1] = *value;
            continue;
        }
        std::string message = trimBlanks(text).empty() ? "falta el valor de " : "el valor de ";
        appendQuotedName(message, scheduleColumns[column]);
        if (trimBlanks(text).empty()) return message;
        message += " no es un número: ";
        appendQuotedName(message, fieldExcerpt(text));
        return message;
    }
    return ScheduleRow{.id = record.fields[layout.position[0]], .input = designInput(values)};
}

bool isBlankRecord(const csv::Record& record) {
    for (const std::string_view field : record.fields) {
        if (!trimBlanks(field).empty()) return false;
    }
    return true;
}

std::string_view kindText(SectionKind kind) {
    return kind == SectionKind::Doubly ? "doble" : "simple";
}

void appendResultHeader(std::string& out, const ResultStyle& style) {
    if (style.format != ResultFormat::Csv) return;
    for (std::size_t i = 0; i < resultColumns.size(); ++i) {
        if (i > 0) out.push_back(style.delimiter);
        out += resultColumns[i];
    }
    out.push_back('\n');
}

void appendResultRow(std::string& out, const ResultStyle& style, std::string_view id,
                     const RunFigures* result, std::string_view error) {
    const double figures[] = {
        result ? result->d : 0,      result ? result->ku : 0,      result ? result->rho : 0,
        result ? result->rhoMax : 0, result ? result->rhoMin : 0,  result ? result->mMax : 0,
        result ? result->as : 0,     result ? result->asPrime : 0,
    };
    if (style.format == ResultFormat::JsonLines) {
        out += "{\"id\":";
        appendJsonString(out, id);
        out += ",\"kind\":";
        if (result)
            appendJsonString(out, kindText(result->kind));
        else
            out += "null";
        char text[std::size(figures) * (maxShortestText + 16)];
        char* p = text;
        for (std::size_t i = 0; i < std::size(figures); ++i) {
            const std::string_view name = resultColumns[i + 2];
            *p++ = ',';
            *p++ = '"';
            p = std::copy(name.begin(), name.end(), p);
            *p++ = '"';
            *p++ = ':';
            if (result) {
                p = writeShortest(p, figures[i], '.');
            } else {
                constexpr std::string_view null = "null";
                p = std::copy(null.begin(), null.end(), p);
            }
        }
        out.append(text, p);
        out += ",\"error\":";
        if (result)
            out += "null";
        else
            appendJsonString(out, error);
        out += "}\n";
        return;
    }
    const char delimiter = style.delimiter;
    csv::appendField(out, id, delimiter);
    // The kind and the figures are composed in place and appended at once: one copy per row
    // rather than one per value.
    char text[16 + std::size(figures) * (maxShortestText + 1)];
    char* p = text;
    *p++ = delimiter;
    if (result) {
        const std::string_view kind = kindText(result->kind);
        p = std::copy(kind.begin(), kind.end(), p);
    }
    for (const double figure : figures) {
        *p++ = delimiter;
        if (result) p = writeShortest(p, figure, style.decimalSeparator);
    }
    *p++ = delimiter;
    out.append(text, p);
    if (!result) csv::appendField(out, error, delimiter);
    out.push_back('\n');
}

std::variant<BatchCounts, std::string> runSchedule(csv::Reader& reader, const ResultStyle& style,
                                                   const Designer& designer,
                                                   const TextSink& results,
                                                   const TextSink& diagnostics) {
    csv::Record record;
    bool found = false;
    while ((found = reader.next(record)) && isBlankRecord(record)) {
    }
    if (!found) return "el archivo está vacío: le falta el encabezado " + expectedColumns();
    const auto tooLong = [&record] {
        return "línea " + std::to_string(record.line) + ": " +
               recordProblemText(csv::RecordProblem::TooLong);
    };
    if (record.problem == csv::RecordProblem::TooLong) return tooLong();
    auto header = readScheduleHeader(record);
    if (auto* message = std::get_if<std::string>(&header))
        return "línea " + std::to_string(record.line) + ": " + *message;
    const ScheduleLayout layout = std::get<ScheduleLayout>(header);

    std::string out;
    out.reserve(flushSize + 1024);
    appendResultHeader(out, style);
    BatchCounts counts;
    const auto fail = [&](std::string_view id, std::string_view detail, std::string_view error) {
        ++counts.failed;
        std::string line = "línea " + std::to_string(record.line) + ": ";
        line += detail;
        line.push_back('\n');
        diagnostics(line);
        appendResultRow(out, style, id, nullptr, error);
    };
    while (reader.next(record)) {
        // An endless row: nothing after it was read, so the batch cannot go on.
        if (reader.gaveUp()) {
            if (!out.empty()) results(out);
            return tooLong();
        }
        if (isBlankRecord(record)) continue;
        const auto row = readScheduleRow(record, layout, style.decimalSeparator);
        if (const auto* detail = std::get_if<std::string>(&row)) {
            fail(idOf(record, layout), *detail, notANumberMessage);
        } else {
            const ScheduleRow& section = std::get<ScheduleRow>(row);
            const RunOutcome outcome = designer(section.input);
            if (const auto* error = std::get_if<DesignError>(&outcome)) {
                const std::string_view message = designErrorMessage(*error);
                fail(section.id, message, message);
            } else {
                ++counts.designed;
                const RunFigures figures = runFigures(std::get<DesignRun>(outcome));
                appendResultRow(out, style, section.id, &figures, {});
            }
        }
        if (out.size() >= flushSize) {
            results(out);
            out.clear();
        }
    }
    if (!out.empty()) results(out);
    return counts;
}

}  // namespace engine
