// The calculate operation from seven arbitrary texts: parse each, design, and build the results
// report. Whatever the texts, nothing crashes, and every report is complete: 15 lines for a
// singly reinforced section, 16 for a doubly reinforced one, CR LF between lines and none after
// the last, and every value a plain number in its format (no exponent, NaN or infinity). The
// NSR-10 design of the same inputs gives a complete report of its own.
//
// Input: one byte choosing the separator (',' for a comma, else a point), then the texts of b, h,
// d', f'c, Fy, Mu and d'' separated by line feeds (the last text takes the rest).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/design.h"
#include "engine/numbers.h"
#include "engine/report.h"
#include "engine/run.h"
#include "properties.h"

namespace {

constexpr std::size_t fieldCount = 7;

std::array<std::string_view, fieldCount> splitFields(std::string_view payload) {
    std::array<std::string_view, fieldCount> fields{};
    for (std::size_t i = 0; i + 1 < fieldCount && !payload.empty(); ++i) {
        const auto end = payload.find('\n');
        fields[i] = payload.substr(0, end);
        payload = end == std::string_view::npos ? std::string_view() : payload.substr(end + 1);
    }
    fields[fieldCount - 1] = payload;
    return fields;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (;;) {
        const auto end = text.find("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return lines;
        text.remove_prefix(end + 2);
    }
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Each value text is the value in its report format, and that format holds its properties.
void checkValues(const engine::nsr98::DesignResult& r, const engine::nsr98::ReportValues& v, char sep) {
    const auto general = [&](const std::string& text, double value) {
        FUZZ_CHECK(text == engine::formatGeneral(value, sep));
        fuzz::checkGeneral(value, sep);
    };
    const auto fixed = [&](const std::string& text, double value, int decimals) {
        FUZZ_CHECK(text == engine::formatFixed(value, decimals, sep));
        fuzz::checkFixed(value, decimals, sep);
    };
    general(v.d, r.d);
    fixed(v.ku, r.ku, 8);
    general(v.alfa, r.alfa);
    general(v.beta, r.beta);
    fixed(v.rho, r.rho, 7);
    fixed(v.rhoMax, r.rhoMax, 7);
    FUZZ_CHECK(v.rhoMin == engine::formatFixedTwice(r.rhoMin, 8, 7, sep));
    fuzz::checkFixedTwice(r.rhoMin, 8, 7, sep);
    fixed(v.rhoB, r.rhoB, 7);
    fixed(v.kMax, r.kMax, 3);
    fixed(v.mMax, r.mMax, 2);
    fixed(v.as, r.as, 2);
    if (r.kind == engine::SectionKind::Doubly)
        fixed(v.asPrime, r.asPrime, 2);
    else
        FUZZ_CHECK(v.asPrime.empty());
    FUZZ_CHECK(v.kind == r.kind);
}

void checkReport(const engine::nsr98::DesignResult& r, char sep) {
    const engine::nsr98::ReportValues values = engine::nsr98::reportValues(r, sep);
    checkValues(r, values, sep);
    const std::string report = engine::nsr98::resultsReport(values);
    FUZZ_CHECK(report == engine::nsr98::resultsReport(r, sep));

    const bool doubly = r.kind == engine::SectionKind::Doubly;
    const std::vector<std::string_view> lines = splitLines(report);
    FUZZ_CHECK(lines.size() == (doubly ? 16u : 15u));
    for (std::string_view line : lines)
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);
    FUZZ_CHECK(lines[1].empty());
    FUZZ_CHECK(endsWith(lines[2], values.d + " cm"));
    FUZZ_CHECK(endsWith(lines[3], values.ku + " Tn/cm2"));
    FUZZ_CHECK(endsWith(lines[4], values.alfa));
    FUZZ_CHECK(endsWith(lines[5], values.beta));
    FUZZ_CHECK(endsWith(lines[7], values.rho));
    FUZZ_CHECK(endsWith(lines[8], values.rhoMax));
    FUZZ_CHECK(endsWith(lines[9], values.rhoMin));
    FUZZ_CHECK(endsWith(lines[10], values.rhoB));
    FUZZ_CHECK(endsWith(lines[11], values.kMax));
    FUZZ_CHECK(endsWith(lines[12], values.mMax + " Tn-m "));
    FUZZ_CHECK(endsWith(lines[13], values.as + " cm2"));
    FUZZ_CHECK(endsWith(lines[14], doubly ? " DOBLEMENTE REFORZADA " : " SIMPLEMENTE REFORZADA "));
    if (doubly) FUZZ_CHECK(endsWith(lines[15], values.asPrime + " cm2"));
}

// The same inputs under NSR-10: never a negative steel area, and a complete report.
void checkNsr10(const engine::DesignInput& input, char sep) {
    const engine::RunOutcome outcome = engine::runDesign(input, engine::DesignCode::Nsr10);
    const auto* run = std::get_if<engine::DesignRun>(&outcome);
    if (!run) return;
    FUZZ_CHECK(run->as() >= 0);
    const bool doubly = run->kind() == engine::SectionKind::Doubly;
    const std::string report = engine::resultsReport(*run, sep);
    const std::vector<std::string_view> lines = splitLines(report);
    FUZZ_CHECK(lines.size() == (doubly ? 19u : 17u));
    FUZZ_CHECK(lines[2] == " Norma : NSR-10");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char sep = fuzz::separatorFromByte(data[0]);
    if (const auto value = fuzz::finiteDoubleFromBytes(data + 1, size - 1))
        fuzz::checkAllFormats(*value, sep);

    const auto fields =
        splitFields(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    std::array<double, fieldCount> numbers{};
    for (std::size_t i = 0; i < fieldCount; ++i) {
        const std::optional<double> number = engine::parseNumber(fields[i], sep);
        if (!number) return 0;  // the calculate operation stops at its number check
        numbers[i] = *number;
    }
    const engine::DesignInput input{numbers[0], numbers[1], numbers[2], numbers[3],
                                    numbers[4], numbers[5], numbers[6]};
    checkNsr10(input, sep);
    const engine::nsr98::DesignOutcome outcome = engine::nsr98::design(input);
    if (input.h - input.dPrime <= 0) {
        FUZZ_CHECK(std::holds_alternative<engine::DesignError>(outcome));
        FUZZ_CHECK(std::get<engine::DesignError>(outcome) == engine::DesignError::Cover);
    }
    const auto* result = std::get_if<engine::nsr98::DesignResult>(&outcome);
    if (!result) return 0;
    FUZZ_CHECK((result->kind == engine::SectionKind::Doubly) == (result->ku > result->kMax));
    FUZZ_CHECK(result->as >= 0);
    checkReport(*result, sep);
    return 0;
}
