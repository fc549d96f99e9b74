// The supplied-steel texts from an arbitrary count text and designation text, as the user may type
// them into the two selector boxes: a result whenever both are numbers and the area fits a double,
// a description that starts with the count text as typed and ends with the inch mark, and an area
// that is a plain number (no exponent, NaN or infinity) in the general format.
//
// Input: one byte choosing the separator (',' for a comma, else a point), then the count text, a
// line feed and the designation text.

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/catalogue.h"
#include "engine/numbers.h"
#include "properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char sep = fuzz::separatorFromByte(data[0]);
    const std::string_view payload(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto end = payload.find('\n');
    const std::string_view countText = payload.substr(0, end);
    const std::string_view designationText =
        end == std::string_view::npos ? std::string_view() : payload.substr(end + 1);

    const std::optional<engine::SuppliedSteel> steel =
        engine::suppliedSteel(countText, designationText, sep);
    const std::optional<double> count = engine::parseNumber(countText, sep);
    const std::optional<double> designation = engine::parseNumber(designationText, sep);
    if (!count || !designation) {
        FUZZ_CHECK(!steel.has_value());
        return 0;
    }
    const engine::Bar* bar = engine::findBar(*designation);
    // An area beyond the range of a double has no text to show; anything else has one.
    const double product = *count * (bar ? bar->supplyArea : 0.0);
    FUZZ_CHECK(steel.has_value() || !std::isfinite(product));
    if (!steel) return 0;

    const std::string& description = steel->description;
    FUZZ_CHECK(description.compare(0, countText.size(), countText) == 0);
    FUZZ_CHECK(description.size() >= countText.size() + 2);
    FUZZ_CHECK(description.compare(description.size() - 2, 2, " \"") == 0);
    FUZZ_CHECK(description == std::string(countText) + " Barras" +
                                  (bar ? " " + std::string(bar->inches) : std::string()) + " \"");

    const std::string& area = steel->areaText;
    FUZZ_CHECK(!fuzz::hasNonFiniteOrExponent(area));
    FUZZ_CHECK(fuzz::isPlainNumber(area, sep));
    if (!bar) {
        FUZZ_CHECK(area == "0");
        return 0;
    }
    FUZZ_CHECK(std::isfinite(product));
    FUZZ_CHECK(area == engine::formatGeneral(product, sep));
    fuzz::checkGeneral(product, sep);
    return 0;
}
