#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/code.h"
#include "engine/design.h"

// The texts of the calculation sheet: the PDF of one design that an engineer files with a
// project. The results report on it is resultsReport(DesignRun) as the window shows it.
namespace engine {

namespace sheetText {
inline constexpr std::string_view title = "Hoja de cálculo: diseño a flexión de viga rectangular";
inline constexpr std::string_view inputsHeading = "Datos de entrada";
inline constexpr std::string_view resultsHeading = "Resultados";
inline constexpr std::string_view layoutHeading = "Refuerzo elegido";
}  // namespace sheetText

// One line of the inputs block: what the value is, its text and its unit.
struct SheetInputLine {
    std::string name;   // "Ancho b"
    std::string value;  // general format with the given decimal separator
    std::string unit;   // "cm"
};

// The seven inputs in the order b, h, d', d'', f'c, Fy, Mu.
std::vector<SheetInputLine> sheetInputLines(const DesignInput& input, char decimalSeparator);

// The texts at the top of every page.
struct SheetHeader {
    std::string program;  // "Quintaral " and the version
    std::string code;     // "Código de diseño: NSR-98"
    std::string date;     // "Fecha: " and the date text as given
    std::string file;     // "Archivo: " and the file name; empty when there is no file
};

SheetHeader sheetHeader(std::string_view version, DesignCode code, std::string_view date,
                        std::string_view fileName);

// The chosen bars in words, each layer as its display text ("2 N° 6 + 1 N° 5"); an empty second
// layer or compression text is left out: "Capa inferior: …; segunda capa: …; compresión: …."
std::string sheetArrangementText(std::string_view lowestLayer, std::string_view secondLayer,
                                 std::string_view compression);

// "Página 2 de 3".
std::string pageNumberText(int page, int pageCount);

}  // namespace engine
