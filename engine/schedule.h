#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <variant>

#include "engine/csv.h"
#include "engine/numbers.h"
#include "engine/run.h"

// Beam schedules: a CSV file with one section per row in, one row of results per section out,
// streamed record by record.
namespace engine {

// The columns every schedule has: the section's name, then the inputs' keys in their order
// (width, height, cover d', f'c, Fy, Mu, compression cover d'').
inline constexpr std::array<std::string_view, inputs.size() + 1> scheduleColumns = [] {
    std::array<std::string_view, inputs.size() + 1> columns{"id"};
    for (std::size_t i = 0; i < inputs.size(); ++i) columns[i + 1] = inputs[i].key;
    return columns;
}();

// What the CSV files the engine reads share with the schedule: a header name matches a column
// in any letter case with blanks around it ignored; a field's text quoted in a message is at
// most 40 bytes (cut at a character boundary, line breaks and tabs as blanks); a record's
// quoting or length problem in words; a text as a JSON string (quotes, backslashes and control
// characters escaped).
bool sameColumnName(std::string_view name, std::string_view column);
std::string fieldExcerpt(std::string_view text);

// The text with every control character but line feeds and tabs (C0, DEL and C1) written as
// "\xHH" or "\u0085", so that a message quoting a file cannot drive the terminal showing it.
std::string printableText(std::string_view text);
std::string recordProblemText(csv::RecordProblem problem);
void appendJsonString(std::string& out, std::string_view text);

// Where each of scheduleColumns stands in the records of a schedule.
struct ScheduleLayout {
    std::array<std::size_t, 8> position{};
    std::size_t width = 0;  // fields a row needs: one past the rightmost of those columns
};

// The layout a header names (in any order, any letter case, blanks around a name ignored, other
// columns ignored), or why it names none: the columns missing or repeated.
std::variant<ScheduleLayout, std::string> readScheduleHeader(const csv::Record& header);

struct ScheduleRow {
    std::string_view id;  // points into the record
    DesignInput input;
};

// A row's section, or what is wrong with the row (a field missing, empty or not a number, or
// bad quoting). Numbers as parseNumber reads them with the given separator, exponents allowed
// (NumberStyle::Scientific).
std::variant<ScheduleRow, std::string> readScheduleRow(const csv::Record& record,
                                                       const ScheduleLayout& layout,
                                                       char decimalSeparator);

// A record whose fields hold only blanks, as spreadsheets write for empty rows; it is skipped.
bool isBlankRecord(const csv::Record& record);

enum class ResultFormat {
    Csv,        // a header line, then one record per section
    JsonLines,  // one JSON object per section and line, numbers always with a point
};

struct ResultStyle {
    ResultFormat format = ResultFormat::Csv;
    char delimiter = ',';
    char decimalSeparator = '.';
};

// The names of the result columns, in order.
inline constexpr std::array<std::string_view, 11> resultColumns{
    "id", "kind", "d", "ku", "rho", "rhomax", "rhomin", "mmax", "as", "as2", "error"};

// The kind column: "simple" or "doble" (reinforced).
std::string_view kindText(SectionKind kind);

// The results' header line (nothing for JSON lines).
void appendResultHeader(std::string& out, const ResultStyle& style);

// One section's results: its figures and an empty error (null in JSON), or, when `figures` is
// null, empty figures (null in JSON) and the error text.
void appendResultRow(std::string& out, const ResultStyle& style, std::string_view id,
                     const RunFigures* figures, std::string_view error);

// Designs one section under the code the caller chose.
using Designer = std::function<RunOutcome(const DesignInput&)>;
using TextSink = std::function<void(std::string_view)>;

struct BatchCounts {
    std::size_t designed = 0;
    std::size_t failed = 0;
};

// Reads the header and then every row: designs it, writes its results row. A row that cannot be
// read or designed gets a results row with the window's message in its error column and one
// diagnostic line "línea N: <what is wrong>\n". Results are handed to `results` in large
// chunks. Stops before writing anything, with the reason, when the header is missing, lacks
// a column or is too long; stops after the rows before it, with the reason, at a row that never
// ends (the reader gave up on it). JSON strings are always valid UTF-8: bytes that are not
// are written as U+FFFD.
std::variant<BatchCounts, std::string> runSchedule(csv::Reader& reader, const ResultStyle& style,
                                                   const Designer& designer,
                                                   const TextSink& results,
                                                   const TextSink& diagnostics);

}  // namespace engine
