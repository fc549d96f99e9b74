// The spans and stations readers of a continuous beam on arbitrary files: what they accept is a
// beam the design can take (positive lengths and widths, one support more than spans, finite
// magnitudes, every station inside its span), what they refuse names the line, and what they
// accept, written back with the shortest round-trip numbers, reads back the same.
//
// Input: one byte choosing the decimal separator (',' for a comma, else a point), one choosing
// the field delimiter (';' or a tab as themselves, else a comma), one of flags (bit 0: the
// moments come from stations; bit 1: station x from the centreline), then the spans file, and,
// after the first NUL byte, the stations file.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/beam/beamcsv.h"
#include "properties.h"

namespace {

using engine::beam::SpansFile;
using engine::beam::Station;

// The number of lines of a text, as the reader counts them (LF, CR LF or a lone CR).
std::size_t lineCount(std::string_view text) {
    std::size_t lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++lines;
    }
    return lines;
}

// A refusal names its line, within the file, or says why the file as a whole is refused.
void checkMessage(const std::string& message, std::string_view text) {
    FUZZ_CHECK(!message.empty());
    if (!message.starts_with("línea ")) {
        FUZZ_CHECK(message.starts_with("el archivo "));
        return;
    }
    std::size_t line = 0;
    std::size_t i = std::string_view("línea ").size();
    for (; i < message.size() && fuzz::isDigit(message[i]); ++i)
        line = line * 10 + static_cast<std::size_t>(message[i] - '0');
    FUZZ_CHECK(line >= 1 && line <= lineCount(text));
    FUZZ_CHECK(message.compare(i, 2, ": ") == 0);
}

bool finitePositive(double value) {
    return std::isfinite(value) && value > 0;
}

void checkSpans(const SpansFile& file) {
    FUZZ_CHECK(!file.spans.empty());
    FUZZ_CHECK(file.supports.size() == file.spans.size() + 1);
    for (const double support : file.supports) FUZZ_CHECK(finitePositive(support));
    FUZZ_CHECK(file.columns.empty() || file.columns.size() == file.supports.size());
    for (const double column : file.columns) FUZZ_CHECK(column == 0 || finitePositive(column));
    for (const engine::beam::Span& span : file.spans) {
        FUZZ_CHECK(finitePositive(span.length));
        const engine::beam::SpanMoments& m = span.moments;
        FUZZ_CHECK(std::isfinite(m.left) && m.left >= 0);
        FUZZ_CHECK(std::isfinite(m.right) && m.right >= 0);
        FUZZ_CHECK(std::isfinite(m.mid) && m.mid >= 0);
        if (m.midMin) FUZZ_CHECK(std::isfinite(*m.midMin) && *m.midMin <= m.mid);
        for (const auto& pos : {m.posLeft, m.posRight})
            if (pos) FUZZ_CHECK(std::isfinite(*pos) && *pos >= 0);
        if (span.wu) FUZZ_CHECK(std::isfinite(*span.wu) && *span.wu >= 0);
    }
}

void appendNumber(std::string& out, double value, char separator) {
    engine::appendShortestNumber(out, value, separator);
}

// The spans written back as a file of their own, in the spans file's column order.
std::string spansText(const SpansFile& file, char delimiter, char separator) {
    std::string out;
    for (std::size_t i = 0; i < engine::beam::spanColumns.size(); ++i) {
        if (i > 0) out += delimiter;
        out += engine::beam::spanColumns[i];
    }
    out += "\r\n";
    for (std::size_t i = 0; i < file.spans.size(); ++i) {
        const engine::beam::Span& span = file.spans[i];
        out += std::to_string(i + 1);
        for (const double value : {span.length, file.supports[i], file.supports[i + 1],
                                   span.moments.left, span.moments.mid, span.moments.right}) {
            out += delimiter;
            appendNumber(out, value, separator);
        }
        out += delimiter;
        if (span.moments.midMin) appendNumber(out, *span.moments.midMin, separator);
        for (const std::size_t support : {i, i + 1}) {
            out += delimiter;
            if (support < file.columns.size() && file.columns[support] > 0)
                appendNumber(out, file.columns[support], separator);
        }
        for (const auto& value : {span.moments.posLeft, span.moments.posRight, span.wu}) {
            out += delimiter;
            if (value) appendNumber(out, *value, separator);
        }
        out += '\n';
    }
    return out;
}

std::string stationsText(const std::vector<Station>& stations, char delimiter, char separator) {
    std::string out = "v";
    out += delimiter;
    out += "mu";
    out += delimiter;
    out += "x";
    out += delimiter;
    out += "span\n";
    for (const Station& station : stations) {
        if (station.v) appendNumber(out, *station.v, separator);
        out += delimiter;
        appendNumber(out, station.mu, separator);
        out += delimiter;
        appendNumber(out, station.x, separator);
        out += delimiter;
        out += std::to_string(station.span) + '\n';
    }
    return out;
}

bool sameSpans(const SpansFile& a, const SpansFile& b) {
    if (a.supports != b.supports || a.spans.size() != b.spans.size()) return false;
    // A file without columns' widths is written back with them all empty.
    const auto allEmpty = [](const std::vector<double>& columns) {
        return std::all_of(columns.begin(), columns.end(), [](double w) { return w == 0; });
    };
    if (a.columns != b.columns && !(allEmpty(a.columns) && allEmpty(b.columns))) return false;
    for (std::size_t i = 0; i < a.spans.size(); ++i) {
        const auto& x = a.spans[i];
        const auto& y = b.spans[i];
        if (x.length != y.length || x.moments.left != y.moments.left ||
            x.moments.mid != y.moments.mid || x.moments.right != y.moments.right ||
            x.moments.midMin != y.moments.midMin || x.moments.posLeft != y.moments.posLeft ||
            x.moments.posRight != y.moments.posRight || x.wu != y.wu)
            return false;
    }
    return true;
}

void checkStations(const std::vector<Station>& stations, const SpansFile& spans,
                   bool fromCentreline) {
    std::vector<bool> seen(spans.spans.size(), false);
    for (const Station& station : stations) {
        FUZZ_CHECK(station.span >= 1 && static_cast<std::size_t>(station.span) <= seen.size());
        const auto index = static_cast<std::size_t>(station.span - 1);
        seen[index] = true;
        // As the reader computes it.
        double to = spans.spans[index].length;
        if (fromCentreline) to = spans.supports[index] / 200 + to + spans.supports[index + 1] / 200;
        FUZZ_CHECK(std::isfinite(station.x) && station.x >= -1e-9 && station.x <= to + 1e-9);
        FUZZ_CHECK(std::isfinite(station.mu));
        if (station.v) FUZZ_CHECK(std::isfinite(*station.v));
    }
    for (const bool spanSeen : seen) FUZZ_CHECK(spanSeen);
}

template <typename Read>
auto readText(std::string_view text, char delimiter, Read read) {
    engine::csv::Reader reader(engine::csv::memorySource(text), delimiter, 64);
    return read(reader);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto csv = fuzz::csvInput(data, size);
    if (!csv) return 0;
    // Named apart, not bound, because the readers below capture them.
    const char separator = csv->separator, delimiter = csv->delimiter;
    const bool fromStations = csv->flags & 1;
    const bool fromCentreline = csv->flags & 2;
    const std::string_view input = csv->text;
    const std::size_t split = input.find('\0');
    const std::string_view spansInput = input.substr(0, split);
    const std::string_view stationsInput =
        split == std::string_view::npos ? std::string_view{} : input.substr(split + 1);

    const auto readSpans = [&](engine::csv::Reader& reader) {
        return engine::beam::readSpans(reader, separator, fromStations);
    };
    const auto spans = readText(spansInput, delimiter, readSpans);
    if (const auto* message = std::get_if<std::string>(&spans)) {
        checkMessage(*message, spansInput);
        return 0;
    }
    const SpansFile& file = std::get<SpansFile>(spans);
    checkSpans(file);
    const auto again = readText(spansText(file, delimiter, separator), delimiter, readSpans);
    FUZZ_CHECK(std::holds_alternative<SpansFile>(again));
    FUZZ_CHECK(sameSpans(std::get<SpansFile>(again), file));

    if (!fromStations) return 0;
    const auto readStations = [&](engine::csv::Reader& reader) {
        return engine::beam::readStations(reader, separator, file, fromCentreline);
    };
    const auto stations = readText(stationsInput, delimiter, readStations);
    if (const auto* message = std::get_if<std::string>(&stations)) {
        checkMessage(*message, stationsInput);
        return 0;
    }
    const auto& read = std::get<std::vector<Station>>(stations);
    checkStations(read, file, fromCentreline);
    const auto back = readText(stationsText(read, delimiter, separator), delimiter, readStations);
    FUZZ_CHECK(std::holds_alternative<std::vector<Station>>(back));
    const auto& readBack = std::get<std::vector<Station>>(back);
    FUZZ_CHECK(readBack.size() == read.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        FUZZ_CHECK(readBack[i].span == read[i].span && readBack[i].x == read[i].x &&
                   readBack[i].mu == read[i].mu && readBack[i].v == read[i].v);
    }
    return 0;
}
