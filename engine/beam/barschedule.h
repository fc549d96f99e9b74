#pragma once

#include <span>
#include <string>
#include <string_view>

#include "engine/beam/beam.h"

// The bar schedule's columns, described once for every output that lists a beam's bars: the
// schedule as text (terminal, sheet) and the drawn table, which the window, the PDF and the DXF
// show.
namespace engine::beam {

// Where a column appears.
enum SchedulePlace : unsigned {
    inScheduleText = 1,
    inScheduleDrawing = 2,
    inEverySchedule = inScheduleText | inScheduleDrawing,
};

// Counts and measures stand right-aligned, names left-aligned.
enum class ColumnAlign { Left, Right };

struct ScheduleColumn {
    std::string_view header;
    ColumnAlign align = ColumnAlign::Left;
    // The cell of a mark, with the decimal separator given.
    std::string (*cell)(const BarMark& mark, char decimalSeparator) = nullptr;
    unsigned places = inEverySchedule;
};

// Marca, Barra, Cantidad, Forma, Longitud (m) (as cut), Recta (cm), Pata (cm), Doblez Ø int.
// (cm) (as bent) and Masa (kg) everywhere; Cara, Capa, Desde (m) and Hasta (m) in the text.
std::span<const ScheduleColumn> scheduleColumns();

// A mass as every schedule shows it, kg with two decimals and no unit: "123.45".
std::string massText(double kg, char decimalSeparator);

}  // namespace engine::beam
