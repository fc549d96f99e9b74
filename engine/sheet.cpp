#include "engine/sheet.h"

#include "engine/numbers.h"

namespace engine {

std::vector<SheetInputLine> sheetInputLines(const DesignInput& input, char sep) {
    const auto line = [sep](const char* name, double value, const char* unit) {
        return SheetInputLine{name, formatGeneral(value, sep), unit};
    };
    return {
        line("Ancho b", input.b, "cm"),
        line("Altura h", input.h, "cm"),
        line("Recubrimiento d'", input.dPrime, "cm"),
        line("Recubrimiento d''", input.dSecond, "cm"),
        line("Resistencia del concreto f'c", input.fc, "kg/cm2"),
        line("Fluencia del acero Fy", input.fy, "kg/cm2"),
        line("Momento último Mu", input.mu, "Tn-m"),
    };
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
