// The CSV reader and the beam schedule on arbitrary files: the records do not depend on how
// the input is split into pieces, every record written back reads back the same, and every
// row of a schedule gives exactly one results row whose figures read back as the design's.
//
// Input: one byte choosing the decimal separator (',' for a comma, else a point), one choosing
// the field delimiter (';' or a tab as themselves, else a comma), one choosing the size of the
// pieces the reader is handed (1 to 256 bytes) and, by its high bit, the design code (set:
// NSR-10), then the file.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/csv.h"
#include "engine/schedule.h"
#include "properties.h"

namespace {

using engine::csv::Record;

struct Copy {
    std::vector<std::string> fields;
    std::size_t line;
    engine::csv::RecordProblem problem;
    bool operator==(const Copy&) const = default;
};

engine::csv::Source pieces(std::string_view text, std::size_t piece) {
    return [text, piece](char* buffer, std::size_t capacity) mutable {
        const std::size_t count = std::min({capacity, piece, text.size()});
        std::memcpy(buffer, text.data(), count);
        text.remove_prefix(count);
        return count;
    };
}

std::vector<Copy> readAll(engine::csv::Source source, char delimiter, std::size_t bufferSize) {
    engine::csv::Reader reader(std::move(source), delimiter, bufferSize);
    std::vector<Copy> records;
    Record record;
    std::size_t lastLine = 0;
    while (reader.next(record)) {
        FUZZ_CHECK(record.line > lastLine);
        lastLine = record.line;
        FUZZ_CHECK(!record.fields.empty() && record.fields.size() <= engine::csv::maxFields);
        std::size_t bytes = 0;
        for (std::string_view field : record.fields) bytes += field.size();
        FUZZ_CHECK(bytes <= engine::csv::maxRecordBytes);
        records.push_back(
            {{record.fields.begin(), record.fields.end()}, record.line, record.problem});
    }
    return records;
}

void checkRoundTrip(const Copy& record, char delimiter) {
    if (record.problem != engine::csv::RecordProblem::None) return;
    if (record.fields.size() == 1 && record.fields[0].empty()) return;  // a blank line
    std::string line;
    for (std::size_t i = 0; i < record.fields.size(); ++i) {
        if (i > 0) line += delimiter;
        engine::csv::appendField(line, record.fields[i], delimiter);
    }
    // A byte order mark in front, since the reader drops one only at the start of the input.
    line = "\xEF\xBB\xBF" + line + "\r\n";
    const std::vector<Copy> again = readAll(engine::csv::memorySource(line), delimiter, 64);
    FUZZ_CHECK(again.size() == 1);
    FUZZ_CHECK(again[0].fields == record.fields);
}

// Runs the schedule and checks each results row against the design of the row it came from.
void checkSchedule(std::string_view text, char delimiter, char separator, engine::DesignCode code) {
    engine::csv::Reader reader(engine::csv::memorySource(text), delimiter, 64);
    const engine::ResultStyle style{engine::ResultFormat::Csv, delimiter, separator};
    std::string results;
    std::size_t diagnostics = 0;
    const auto outcome = engine::runSchedule(
        reader, style,
        [code](const engine::DesignInput& input) { return engine::runDesign(input, code); },
        [&](std::string_view t) { results += t; },
        [&](std::string_view t) {
            FUZZ_CHECK(t.starts_with("línea ") && t.ends_with('\n'));
            ++diagnostics;
        });
    if (!std::holds_alternative<engine::BatchCounts>(outcome)) {
        FUZZ_CHECK(results.empty() && diagnostics == 0);
        return;
    }
    const auto counts = std::get<engine::BatchCounts>(outcome);
    FUZZ_CHECK(diagnostics == counts.failed);
    const std::vector<Copy> rows = readAll(engine::csv::memorySource(results), delimiter, 4096);
    FUZZ_CHECK(rows.size() == 1 + counts.designed + counts.failed);
    std::size_t failed = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string>& fields = rows[i].fields;
        FUZZ_CHECK(fields.size() == engine::resultColumns.size());
        if (!fields.back().empty()) {
            ++failed;
            continue;
        }
        FUZZ_CHECK(fields[1] == "simple" || fields[1] == "doble");
        for (std::size_t column = 2; column + 1 < fields.size(); ++column) {
            std::string number = fields[column];
            std::replace(number.begin(), number.end(), separator, '.');
            double value = 0;
            const auto [end, error] =
                std::from_chars(number.data(), number.data() + number.size(), value);
            FUZZ_CHECK(error == std::errc{} && end == number.data() + number.size());
        }
    }
    FUZZ_CHECK(failed == counts.failed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto csv = fuzz::csvInput(data, size);
    if (!csv) return 0;
    const auto [separator, delimiter, flags, text] = *csv;
    const std::size_t piece = 1 + flags;

    const std::vector<Copy> whole = readAll(engine::csv::memorySource(text), delimiter, 4096);
    FUZZ_CHECK(readAll(pieces(text, piece), delimiter, 16) == whole);
    for (const Copy& record : whole) checkRoundTrip(record, delimiter);
    checkSchedule(text, delimiter, separator,
                  flags & 0x80 ? engine::DesignCode::Nsr10 : engine::DesignCode::Nsr98);
    return 0;
}
