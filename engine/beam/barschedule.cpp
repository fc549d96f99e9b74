#include "engine/beam/barschedule.h"

#include "engine/beam/beamtext.h"
#include "engine/layout/bartext.h"
#include "engine/numbers.h"

namespace engine::beam {

namespace {

// Positions along the beam and bar lengths, m.
std::string metres(double value, char decimalSeparator) {
    return formatFixed(value, 2, decimalSeparator);
}

bool hooked(const BarMark& m) {
    return m.hookStart || m.hookEnd;
}

constexpr ScheduleColumn columns[] = {
    {"Marca", ColumnAlign::Left, [](const BarMark& m, char) { return m.mark; }},
    {"Barra", ColumnAlign::Left, [](const BarMark& m, char) { return barName(m.bar); }},
    {"Cantidad", ColumnAlign::Right,
     [](const BarMark& m, char) { return std::to_string(m.count); }},
    {"Forma", ColumnAlign::Left, [](const BarMark& m, char) { return shapeText(m); }},
    {"Longitud (m)", ColumnAlign::Right,
     [](const BarMark& m, char sep) { return metres(m.length, sep); }},
    {"Recta (cm)", ColumnAlign::Right,
     [](const BarMark& m, char sep) { return formatFixed(m.straight, 0, sep); }},
    {"Pata (cm)", ColumnAlign::Right,
     [](const BarMark& m, char sep) { return hooked(m) ? formatFixed(m.leg, 0, sep) : "-"; }},
    {"Doblez Ø int. (cm)", ColumnAlign::Right,
     [](const BarMark& m, char sep) { return hooked(m) ? formatFixed(m.bend, 0, sep) : "-"; }},
    {"Masa (kg)", ColumnAlign::Right,
     [](const BarMark& m, char sep) { return massText(m.mass, sep); }},
    {"Cara", ColumnAlign::Left,
     [](const BarMark& m, char) {
         return std::string(m.face == BeamFace::Top ? "superior" : "inferior");
     },
     inScheduleText},
    {"Capa", ColumnAlign::Right, [](const BarMark& m, char) { return std::to_string(m.layer); },
     inScheduleText},
    {"Desde (m)", ColumnAlign::Right,
     [](const BarMark& m, char sep) { return metres(m.start, sep); }, inScheduleText},
    {"Hasta (m)", ColumnAlign::Right, [](const BarMark& m, char sep) { return metres(m.end, sep); },
     inScheduleText},
};

}  // namespace

std::span<const ScheduleColumn> scheduleColumns() {
    return columns;
}

std::string massText(double kg, char decimalSeparator) {
    return formatFixed(kg, 2, decimalSeparator);
}

}  // namespace engine::beam
