#include "engine/beam/calcsheet.h"

#include <algorithm>

#include "engine/beam/checktext.h"
#include "engine/layout/bartext.h"
#include "engine/numbers.h"

namespace engine::beam {

namespace {

// The stirrups' yield stress for shear is capped (C.11.4.2; C.11.5.2 in NSR-98).
constexpr double largestStirrupFy = 4200;

std::string classDescription(SeismicClass seismicClass) {
    switch (seismicClass) {
        case SeismicClass::Des:
            return "capacidad especial de disipación de energía (DES)";
        case SeismicClass::Dmo:
            return "capacidad moderada de disipación de energía (DMO)";
        case SeismicClass::Dmi:
            return "capacidad mínima de disipación de energía (DMI)";
    }
    return {};
}

std::vector<SheetLine> sectionLines(const BeamInput& in, char sep) {
    const auto number = [sep](double value) { return formatGeneral(value, sep); };
    const LayoutSettings& s = in.settings;
    return {
        {"Ancho b", number(in.b), "cm"},
        {"Altura total h", number(in.h), "cm"},
        {"d' (cara inferior al centroide del acero inferior)", number(in.dPrime), "cm"},
        {"d'' (cara superior al centroide del acero superior)", number(in.dSecond), "cm"},
        {"Resistencia del concreto f'c", number(in.fc), "kg/cm²"},
        {"Fluencia del acero Fy", number(in.fy), "kg/cm²"},
        {"Recubrimiento libre", number(s.clearCover), "cm"},
        {"Estribo", barName(s.stirrupDesignation) + " (fyt = " +
                        number(std::min(in.fy, largestStirrupFy)) + " kg/cm²)",
         ""},
        {"Tamaño máximo del agregado", number(s.maxAggregate), "cm"},
        {"Capas de barras en tracción, a lo sumo", std::to_string(s.maxTensionLayers), ""},
        {"Barras longitudinales permitidas",
         barName(in.smallestBar) + " a " + barName(in.largestBar), ""},
        {"Longitud comercial de las barras", number(in.stockLength), "m"},
    };
}

// A value that may be missing: "—" when it is.
std::string optionalFixed(const std::optional<double>& value, int decimals, char sep) {
    return value ? formatFixed(*value, decimals, sep) : "—";
}

SheetTable spansTable(const BeamInput& in, char sep) {
    const auto fixed = [sep](double value, int decimals) { return formatFixed(value, decimals, sep); };
    SheetTable table;
    table.header = {"Vano", "ln\n(m)", "Apoyo izq.\n(cm)", "Apoyo der.\n(cm)", "wu\n(Tn/m)"};
    const bool fromStations = !in.stations.empty();
    bool midMin = false, facePositive = false;
    for (const Span& span : in.spans) {
        midMin = midMin || span.moments.midMin.has_value();
        facePositive = facePositive || span.moments.posLeft || span.moments.posRight;
    }
    if (fromStations) {
        table.header.insert(table.header.end(), {"Estaciones", "Con cortante\nv"});
    } else {
        table.header.insert(table.header.end(),
                            {"Mu− izq.\n(Tn-m)", "Mu+ centro\n(Tn-m)", "Mu− der.\n(Tn-m)"});
        if (midMin) table.header.push_back("Mu+ mín. centro\n(Tn-m)");
        if (facePositive) table.header.push_back("Mu+ caras izq. / der.\n(Tn-m)");
    }
    for (std::size_t i = 0; i < in.spans.size(); ++i) {
        const Span& span = in.spans[i];
        std::vector<std::string> row{std::to_string(i + 1), fixed(span.length, 2),
                                     formatGeneral(in.supports.at(i), sep),
                                     formatGeneral(in.supports.at(i + 1), sep),
                                     optionalFixed(span.wu, 2, sep)};
        if (fromStations) {
            const auto inSpan = [&](const Station& s) { return s.span == int(i + 1); };
            const auto withShear = [&](const Station& s) { return inSpan(s) && s.v.has_value(); };
            row.push_back(std::to_string(std::count_if(in.stations.begin(), in.stations.end(), inSpan)));
            row.push_back(
                std::to_string(std::count_if(in.stations.begin(), in.stations.end(), withShear)));
        } else {
            row.insert(row.end(), {fixed(span.moments.left, 2), fixed(span.moments.mid, 2),
                                   fixed(span.moments.right, 2)});
            if (midMin) row.push_back(optionalFixed(span.moments.midMin, 2, sep));
            if (facePositive)
                row.push_back(optionalFixed(span.moments.posLeft, 2, sep) + " / " +
                              optionalFixed(span.moments.posRight, 2, sep));
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::vector<std::string> spansNotes(const BeamInput& in) {
    std::vector<std::string> notes{
        "ln: luz libre entre las caras de los apoyos; apoyos: ancho a lo largo de la viga; wu: "
        "carga de gravedad mayorada, uniforme en la luz libre (—: no dada)."};
    if (!in.stations.empty())
        notes.push_back("Los momentos vienen de una tabla de estaciones de " +
                        std::to_string(in.stations.size()) + " filas, con x medida desde " +
                        (in.stationsFromCentreline ? "el eje del apoyo izquierdo"
                                                   : "la cara izquierda") +
                        " de cada vano; varias filas en una x dan la envolvente.");
    return notes;
}

SheetTable facesTable(const BeamDesign& design, char sep) {
    const auto fixed = [sep](double value) { return formatFixed(value, 2, sep); };
    SheetTable table;
    table.header = {"Vano", "Cara",  "x (m)", "Mu−",  "Mu+", "φMn−", "φMn+",
                    "Mn−",  "Mn+",   "Mpr−",  "Mpr+", "Ve",  "Vc",   "φVn"};
    for (const FaceStation& face : design.faces)
        table.rows.push_back({std::to_string(face.span),
                              face.side == Side::Left ? "izquierda" : "derecha", fixed(face.x),
                              fixed(face.muNeg), fixed(face.muPos), fixed(face.phiMnNeg),
                              fixed(face.phiMnPos), fixed(face.mnNeg), fixed(face.mnPos),
                              fixed(face.mprNeg), fixed(face.mprPos), fixed(face.ve),
                              fixed(face.vc), fixed(face.phiVn)});
    return table;
}

}  // namespace

BeamSheet beamSheet(const BeamDesign& design, const BeamInput& input, std::string_view projectName,
                    char sep) {
    BeamSheet sheet;
    sheet.title = "Viga " + (input.name.empty() ? std::string(defaultBeamName) : input.name);
    for (const std::string& label : {input.axis, input.level})
        if (!label.empty()) sheet.title += ", " + label;
    sheet.project = "Proyecto: " + (projectName.empty() ? std::string("sin nombre")
                                                         : std::string(projectName));
    sheet.codeAndClass = "Norma " + std::string(codeName(input.code)) + ", " +
                         classDescription(input.seismicClass);
    sheet.section = sectionLines(input, sep);
    sheet.spans = spansTable(input, sep);
    sheet.spansNotes = spansNotes(input);
    for (const Phrase& note : design.notes) sheet.assumptions.push_back(noteText(note, sep));
    sheet.faces = facesTable(design, sep);
    for (const Check& check : design.checks)
        sheet.checks.push_back(
            {check.passes, (check.passes ? "Cumple — " : "No cumple — ") + checkLine(check, sep)});
    return sheet;
}

std::string scaleText(int denominator) {
    return "Escala 1:" + std::to_string(denominator);
}

}  // namespace engine::beam
