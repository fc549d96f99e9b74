#include "engine/catalogue.h"

#include <charconv>
#include <cmath>

#include "engine/numbers.h"

namespace engine {

namespace {

// Designation, inches, diameter mm, supply area, fixed table area (0 = computed), mass.
// The six fixed table areas are the rounded nominal areas of the standard; the computed ones
// would show 1.27, 2.87, 5.07, 6.47, 10.07 and 25.79 instead.
constexpr std::array<Bar, 12> barList{{
    {2, "1/4", 6.4, 0.32, 0, 0.25},
    {3, "3/8", 9.5, 0.71, 0, 0.56},
    {4, "1/2", 12.7, 1.29, 1.29, 0.994},
    {5, "5/8", 15.9, 2, 0, 1.552},
    {6, "3/4", 19.1, 2.84, 2.84, 2.235},
    {7, "7/8", 22.2, 3.87, 0, 3.042},
    {8, "1", 25.4, 5.10, 5.10, 3.973},
    {9, "1-1/8", 28.7, 6.45, 6.45, 5.06},
    {10, "1-1/4", 32.3, 8.19, 0, 6.404},
    {11, "1-3/8", 35.8, 10.06, 10.06, 7.907},
    {14, "1-3/4", 43.0, 14.52, 0, 11.38},
    {18, "2-1/4", 57.3, 25.81, 25.81, 20.24},
}};

constexpr std::string_view inchMark = "\"";

}  // namespace

double Bar::tableArea() const {
    if (fixedTableArea != 0) return fixedTableArea;
    const double d = diameterCm();
    return d * d * barTablePi / 4;
}

double Bar::perimeter() const {
    return barTablePi * diameterCm();
}

std::span<const Bar> bars() {
    return barList;
}

const Bar* findBar(double designation) {
    for (const Bar& bar : barList) {
        if (bar.designation == designation) return &bar;
    }
    return nullptr;
}

BarTableCells barTableCells(char sep) {
    BarTableCells cells;
    cells[0] = {"Barra", "D Pulgadas ", "D cm ", "A - Cm2 ", "Per -Cm ", "M - Kg/m "};
    for (std::size_t i = 0; i < barList.size(); ++i) {
        const Bar& bar = barList[i];
        auto& row = cells[i + 1];
        char number[8];
        const auto end = std::to_chars(number, number + sizeof number, bar.designation).ptr;
        row[0] = " N\u00B0 " + std::string(number, end);
        row[1] = std::string(bar.inches) + " " + std::string(inchMark);
        row[2] = formatFixed(bar.diameterCm(), 2, sep);
        row[3] = formatFixed(bar.tableArea(), 2, sep);
        // The perimeter is shown as a whole number with two zero decimals appended.
        row[4] = formatFixed(bar.perimeter(), 0, sep) + sep + "00";
        row[5] = formatGeneral(bar.mass, sep);
    }
    return cells;
}

std::optional<SuppliedSteel> suppliedSteel(std::string_view countText,
                                           std::string_view designationText, char sep) {
    const std::optional<double> count = parseNumber(countText, sep);
    const std::optional<double> designation = parseNumber(designationText, sep);
    if (!count || !designation) return std::nullopt;
    const Bar* bar = findBar(*designation);
    const double area = *count * (bar ? bar->supplyArea : 0);
    if (!std::isfinite(area)) return std::nullopt;

    SuppliedSteel steel;
    steel.areaText = formatGeneral(area, sep);
    steel.description.reserve(countText.size() + 20);
    steel.description += countText;
    steel.description += " Barras";
    if (bar) {
        steel.description += ' ';
        steel.description += bar->inches;
    }
    steel.description += ' ';
    steel.description += inchMark;
    return steel;
}

}  // namespace engine
