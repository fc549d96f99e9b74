// The readers of a building's beams and stations on arbitrary files: what they accept is a set
// of beams with distinct valid names, each a beam the design can take (positive section and
// lengths, one support more than spans, every station inside its span and every span with
// one); what they refuse names a line within the file or the file as a whole; and grouping
// puts every beam in exactly one group of beams alike.
//
// Input: one byte choosing the decimal separator (',' for a comma, else a point), one choosing
// the field delimiter (';' or a tab as themselves, else a comma), one of flags (bit 0: the
// moments come from a stations file), then the beams file, and, after the first NUL byte, the
// stations file.

#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <variant>

#include "engine/building/building.h"
#include "properties.h"

namespace {

using engine::building::Building;

std::size_t lineCount(std::string_view text) {
    std::size_t lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++lines;
    }
    return lines;
}

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

void checkBuilding(const Building& building, bool withStations) {
    FUZZ_CHECK(!building.beams.empty());
    std::set<std::string> names;
    for (const auto& beam : building.beams) {
        const auto& input = beam.input;
        FUZZ_CHECK(engine::beam::validBeamName(input.name));
        FUZZ_CHECK(names.insert(input.name).second);
        FUZZ_CHECK(!input.spans.empty());
        FUZZ_CHECK(input.supports.size() == input.spans.size() + 1);
        for (const double value :
             {input.b, input.h, input.dPrime, input.dSecond, input.fc, input.fy})
            FUZZ_CHECK(finitePositive(value));
        for (const double support : input.supports) FUZZ_CHECK(finitePositive(support));
        for (const auto& span : input.spans) {
            FUZZ_CHECK(finitePositive(span.length));
            if (span.wu) FUZZ_CHECK(std::isfinite(*span.wu) && *span.wu >= 0);
        }
        if (!withStations) continue;
        std::vector<bool> seen(input.spans.size(), false);
        for (const auto& station : input.stations) {
            FUZZ_CHECK(station.span >= 1 &&
                       static_cast<std::size_t>(station.span) <= input.spans.size());
            const auto index = static_cast<std::size_t>(station.span - 1);
            seen[index] = true;
            FUZZ_CHECK(std::isfinite(station.x) && station.x >= -1e-9 &&
                       station.x <= input.spans[index].length + 1e-9);
            FUZZ_CHECK(std::isfinite(station.mu));
            if (station.v) FUZZ_CHECK(std::isfinite(*station.v));
        }
        for (const bool spanSeen : seen) FUZZ_CHECK(spanSeen);
    }
}

void checkGroups(const Building& building) {
    const auto groups = engine::building::groupBeams(building);
    std::vector<int> membership(building.beams.size(), 0);
    for (const auto& group : groups) {
        FUZZ_CHECK(!group.members.empty());
        FUZZ_CHECK(engine::beam::validBeamName(group.name));
        std::size_t stations = 0;
        for (const std::size_t member : group.members) {
            FUZZ_CHECK(member < building.beams.size());
            ++membership[member];
            stations += building.beams[member].input.stations.size();
        }
        const auto input = engine::building::groupInput(building, group);
        FUZZ_CHECK(input.stations.size() == stations);
        FUZZ_CHECK(input.spans.size() == building.beams[group.members.front()].input.spans.size());
    }
    for (const int count : membership) FUZZ_CHECK(count == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto csv = fuzz::csvInput(data, size);
    if (!csv) return 0;
    const bool withStations = csv->flags & 1;
    const std::string_view input = csv->text;
    const std::size_t split = input.find('\0');
    const std::string_view beamsInput = input.substr(0, split);
    const std::string_view stationsInput =
        split == std::string_view::npos ? std::string_view{} : input.substr(split + 1);

    engine::csv::Reader beamsReader(engine::csv::memorySource(beamsInput), csv->delimiter, 64);
    auto read = engine::building::readBuilding(beamsReader, csv->separator, withStations);
    if (const auto* message = std::get_if<std::string>(&read)) {
        checkMessage(*message, beamsInput);
        return 0;
    }
    Building& building = std::get<Building>(read);
    if (withStations) {
        engine::csv::Reader stationsReader(engine::csv::memorySource(stationsInput), csv->delimiter,
                                           64);
        if (const auto message =
                engine::building::readBuildingStations(stationsReader, csv->separator, building)) {
            checkMessage(*message, stationsInput);
            return 0;
        }
    }
    checkBuilding(building, withStations);
    checkGroups(building);
    return 0;
}
