#include "engine/sheet.h"

#include <cstddef>

#include "engine/numbers.h"

namespace engine {

std::vector<SheetInputLine> sheetInputLines(const DesignInput& input, char sep) {
    // The sheet keeps the two covers together.
    constexpr std::size_t order[] = {0, 1, 2, 6, 3, 4, 5};
    std::vector<SheetInputLine> lines;
    lines.reserve(inputs.size());
    for (const std::size_t index : order) {
        const InputInfo& info = inputs[index];
        lines.push_back({std::string(info.name) + ' ' + std::string(info.symbol),
                         formatGeneral(input.*info.value, sep), std::string(info.unit)});
    }
    return lines;
}

SheetHeader sheetHeader(std::string_view version, DesignCode code, std::string_view date,
                        std::string_view fileName) {
    SheetHeader header;
    header.program = "Quintaral " + std::string(version);
    header.code = "Código de diseño: " + std::string(codeName(code));
    header.date = "Fecha: " + std::string(date);
    if (!fileName.empty()) header.file = "Archivo: " + std::string(fileName);
    return header;
}

std::string pageNumberText(int page, int pageCount) {
    return "Página " + std::to_string(page) + " de " + std::to_string(pageCount);
}

std::string sheetArrangementText(std::string_view lowestLayer, std::string_view secondLayer,
                                 std::string_view compression) {
    std::string text = "Capa inferior: ";
    text += lowestLayer;
    if (!secondLayer.empty()) {
        text += "; segunda capa: ";
        text += secondLayer;
    }
    if (!compression.empty()) {
        text += "; compresión: ";
        text += compression;
    }
    text += '.';
    return text;
}

}  // namespace engine
