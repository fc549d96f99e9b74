#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The standard deformed reinforcing bars with their nominal dimensions.
namespace engine {

// Pi as the bar table has always used it: ten decimals, not the full-precision constant.
inline constexpr double barTablePi = 3.1415926536;

struct Bar {
    int designation;          // the bar is "N° <designation>"
    std::string_view inches;  // nominal diameter in inches: "1/4", "1", "1-1/8"
    double diameterMm;
    double supplyArea;      // cm2, used for the supplied steel
    double fixedTableArea;  // cm2 shown by the table instead of the computed one; 0 = computed
    double mass;            // kg/m, stored

    double diameterCm() const { return diameterMm / 10; }
    double tableArea() const;  // pi d^2 / 4 (square first), or the fixed value
    double perimeter() const;  // pi d
};

// The twelve bars N° 2 to N° 11, N° 14 and N° 18, in table order.
std::span<const Bar> bars();

// The bar whose designation equals `designation` numerically (4.0 finds N° 4), or none.
const Bar* findBar(double designation);

// Texts of the bar table window: row 0 holds the headings, rows 1..12 the bars.
using BarTableCells = std::array<std::array<std::string, 6>, 13>;
BarTableCells barTableCells(char decimalSeparator);

// What one supplied-steel group shows for its count and designation texts.
struct SuppliedSteel {
    std::string areaText;     // count x supply area, general format; "0" for an unknown bar
    std::string description;  // "<count text> Barras <fraction> \""
};

// None while either text is empty or not a number, or when the area is too large for a double.
std::optional<SuppliedSteel> suppliedSteel(std::string_view countText,
                                           std::string_view designationText, char decimalSeparator);

}  // namespace engine
