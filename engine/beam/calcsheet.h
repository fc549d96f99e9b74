#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/beam/beam.h"

// The texts of a beam's calculation sheet, the PDF a reviewer files: what was given (project,
// beam, code and class, section and materials, spans with their loads and moments), what was
// assumed, the strengths at the support faces, and every check with its article. The printing
// lays these strings out; it composes none of them.
namespace engine::beam {

// A line of the inputs: what it is, its value and its unit ("Ancho b", "30", "cm").
struct SheetLine {
    std::string label, value, unit;
};

// A ruled table: column titles (a line break before the unit) and rows of cells, as many cells
// a row as titles.
struct SheetTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

// A check as the sheet lists it: its verdict and its line, which ends with its article.
struct SheetCheck {
    bool passes = false;
    std::string text;  // "Cumple — Vano 1, apoyo izquierdo: … (C.21.5.2.2)"
};

struct BeamSheet {
    std::string title;           // "Viga V-201, Eje B, Piso 2"
    std::string project;         // "Proyecto: porticos" ("Proyecto: sin nombre" without a file)
    std::string codeAndClass;    // "Norma NSR-10, capacidad especial de disipación de energía (DES)"
    std::vector<SheetLine> section;  // section, materials and placing
    SheetTable spans;            // each span: ln, supports, wu, and the typed moments or stations
    std::vector<std::string> spansNotes;  // where the moments come from, loads left out
    std::vector<std::string> assumptions;  // the design's notes
    SheetTable faces;            // demand and strength at every support face
    std::vector<SheetCheck> checks;
};

// The sheet of a designed beam; `projectName` names the project (empty: none).
BeamSheet beamSheet(const BeamDesign& design, const BeamInput& input, std::string_view projectName,
                    char decimalSeparator);

// The scales a drawing office draws a beam at, 1:N, by N from the largest scale; a drawing is
// drawn at the first one at which it fits its page.
inline constexpr int standardScales[] = {10,  20,  25,  50,   75,   100,  125,
                                         200, 250, 500, 1000, 2000, 5000};

// "Escala 1:50".
std::string scaleText(int denominator);

}  // namespace engine::beam
