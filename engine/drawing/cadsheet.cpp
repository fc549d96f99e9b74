#include <algorithm>
#include <cmath>

#include "engine/beam/beamtext.h"
#include "engine/catalogue.h"
#include "engine/drawing/beamdrawing.h"
#include "engine/drawing/drawingparts.h"
#include "engine/numbers.h"

// The CAD sheet's own parts around the beam's drawings: every mark's bending shape, the general
// notes and the title block, and the sheet that puts them together.
namespace engine::drawing {

using beam::BarMark;
using beam::BeamDesign;
using beam::BeamFace;
using beam::BeamInput;

namespace {

std::string wholeCm(double value, char separator) {
    return formatGeneral(std::round(value * 10) / 10, separator);
}

// A longitudinal bar's sketch: its straight length along, its hooks' legs turned away from the
// face it lies at, every measure written beside its segment. Top-left corner near (0, 0).
Drawing barSketch(const BarMark& m, double th, char separator) {
    Drawing d;
    const double length = 10 * th, leg = 2.2 * th;
    // Top bars hook downwards, bottom bars upwards, as they lie in the beam.
    const double y = m.face == BeamFace::Top ? -1.6 * th : -1.6 * th - leg;
    const double legTo = m.face == BeamFace::Top ? y - leg : y + leg;
    Polyline bar{Layer::Reinforcement, {}, false, false, m.mark};
    if (m.hookStart) bar.points.push_back({0, legTo});
    bar.points.push_back({0, y});
    bar.points.push_back({length, y});
    if (m.hookEnd) bar.points.push_back({length, legTo});
    d.lines.push_back(std::move(bar));
    const double above = m.face == BeamFace::Top ? y + 0.4 * th : y - 1.3 * th;
    addText(d, {length / 2, above}, th, wholeCm(m.straight, separator), Align::Centre,
            Layer::Dimensions);
    const double legMiddle = (y + legTo) / 2 - 0.4 * th;
    if (m.hookStart)
        addText(d, {0.4 * th, legMiddle}, th, wholeCm(m.leg, separator), Align::Left,
                Layer::Dimensions);
    if (m.hookEnd)
        addText(d, {length - 0.4 * th, legMiddle}, th, wholeCm(m.leg, separator), Align::Right,
                Layer::Dimensions);
    if (m.hookStart || m.hookEnd)
        addText(d, {length / 2, legTo - (m.face == BeamFace::Top ? 1.2 : -0.3) * th}, th,
                "90°, Ø int. " + wholeCm(m.bend, separator), Align::Centre, Layer::Dimensions);
    return d;
}

// A hoop's sketch: the closed rectangle of its outside width and height with its two 135°
// hooks at the top-left corner and their extension; a crosstie: its height with a 135° hook at
// the top and a 90° hook at the bottom.
Drawing stirrupSketch(const beam::StirrupMark& m, double th, char separator) {
    Drawing d;
    const double tall = 6 * th;
    const double hook = 1.6 * th;
    if (m.kind == beam::StirrupKind::Hoop) {
        const double ratio = m.height > 0 ? m.width / m.height : 0.6;
        const double wide = std::clamp(tall * ratio, 2.5 * th, 10 * th);
        const double left = 2.5 * th, top = -1.2 * th;
        addRectangle(d, Layer::Stirrups, left, top, left + wide, top - tall);
        addHook(d, {left + 0.3 * th, top}, hook, 1, -1);
        addHook(d, {left, top - 0.3 * th}, hook, 1, -1);
        addText(d, {left + wide / 2, top - tall - 1.3 * th}, th, wholeCm(m.width, separator),
                Align::Centre, Layer::Dimensions);
        addText(d, {left - 0.4 * th, top - tall / 2 - 0.4 * th}, th, wholeCm(m.height, separator),
                Align::Right, Layer::Dimensions);
        addText(d, {left + wide + 0.5 * th, top - 1.6 * th}, th,
                "135°: " + wholeCm(m.hook, separator), Align::Left, Layer::Dimensions);
    } else {
        const double x = 2.5 * th, top = -1.2 * th;
        addLine(d, Layer::Stirrups, {x, top}, {x, top - tall});
        addHook(d, {x, top}, hook, 1, -1);
        addLine(d, Layer::Stirrups, {x, top - tall}, {x + hook, top - tall});
        addText(d, {x - 0.4 * th, top - tall / 2 - 0.4 * th}, th, wholeCm(m.height, separator),
                Align::Right, Layer::Dimensions);
        addText(d, {x + hook + 0.5 * th, top - 1.6 * th}, th, "135°: " + wholeCm(m.hook, separator),
                Align::Left, Layer::Dimensions);
        addText(d, {x + hook + 0.5 * th, top - tall}, th, "90°: " + wholeCm(m.hook, separator),
                Align::Left, Layer::Dimensions);
    }
    return d;
}

}  // namespace

Drawing bendingShapes(const BeamDesign& design, const TextHeights& text, char separator,
                      int columns) {
    const double th = text.body;
    std::vector<Drawing> cells;
    for (const BarMark& m : design.bars) {
        Drawing cell = barSketch(m, th, separator);
        addText(cell, {0, -7 * th}, th, markLabel(m, separator));
        computeBounds(cell);
        cells.push_back(std::move(cell));
    }
    for (const beam::StirrupMark& m : design.stirrups) {
        Drawing cell = stirrupSketch(m, th, separator);
        addText(cell, {0, -10 * th}, th,
                m.mark + ": " + barCountText(m.count, m.bar) +
                    " L = " + metres(m.length, separator) + " m");
        computeBounds(cell);
        cells.push_back(std::move(cell));
    }
    Drawing all;
    addText(all, {0, 0}, text.title, "Figuras de doblado (medidas en cm, por fuera de la barra)");
    if (cells.empty()) {
        computeBounds(all);
        return all;
    }
    double cellWidth = 0, cellHeight = 0;
    for (const Drawing& cell : cells) {
        cellWidth = std::max(cellWidth, cell.bounds.width());
        cellHeight = std::max(cellHeight, cell.bounds.height());
    }
    const std::size_t perRow = static_cast<std::size_t>(std::max(1, columns));
    const double gap = 2 * th;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Drawing& cell = cells[i];
        const double left = static_cast<double>(i % perRow) * (cellWidth + gap);
        const double top = -1.5 * th - static_cast<double>(i / perRow) * (cellHeight + gap);
        Drawing framed = cell;
        addRectangle(framed, Layer::Text, cell.bounds.left - 0.5 * th, cell.bounds.top + 0.5 * th,
                     cell.bounds.left + cellWidth + 0.5 * th,
                     cell.bounds.top - cellHeight - 0.5 * th);
        computeBounds(framed);
        all.add(framed, left - framed.bounds.left, top - framed.bounds.top);
    }
    return all;
}

TextHeights cadTextHeights() {
    // 2.5 mm and 3.5 mm on paper at 1:50, in cm of the model.
    const double body = 0.25 * cadPlotScale;
    return {body, body, 0.35 * cadPlotScale};
}

std::vector<std::string> generalNotes(const BeamDesign& design, const BeamInput& input,
                                      char separator) {
    // The hooks as the hoops have them, or as the code bends them from the stirrup bar.
    const Bar* stirrup = findBar(input.settings.stirrupDesignation);
    const double db = stirrup ? stirrup->diameterCm() : 0.95;
    double hook = std::max(6 * db, 7.5), bend = 4 * db;
    for (const beam::StirrupMark& m : design.stirrups)
        if (m.kind == beam::StirrupKind::Hoop) {
            hook = m.hook;
            bend = m.bend;
            break;
        }
    return {
        "Diseño según " + std::string(codeName(design.code)) +
            ", capacidad de disipación de energía " +
            std::string(beam::className(design.seismicClass)) + ".",
        "Concreto f'c = " + formatGeneral(design.fc, separator) +
            " kg/cm²; acero Fy = " + formatGeneral(design.fy, separator) + " kg/cm².",
        "Recubrimiento libre: " + formatGeneral(input.settings.clearCover, separator) +
            " cm a los estribos.",
        "Traslapos clase B; ganchos estándar a 90° en las barras longitudinales.",
        "Estribos cerrados con ganchos sísmicos a 135°, extensión " + wholeCm(hook, separator) +
            " cm, doblez Ø int. " + wholeCm(bend, separator) + " cm.",
        "Cotas en m; secciones y figuras de doblado en cm.",
    };
}

namespace {

// The title block: a ruled table of what the sheet is (project, beam and place, code, scale,
// date, sheet). Top-right corner at (0, 0).
Drawing titleBlock(const BeamDesign& design, const BeamInput& input, const SheetInfo& info,
                   const TextHeights& text) {
    std::string beamName = input.name;
    for (const std::string& where : {input.axis, input.level})
        if (!where.empty()) beamName += ", " + where;
    const auto orDash = [](const std::string& s) { return s.empty() ? std::string("-") : s; };
    const std::string scale = "Alzado 1:" + formatGeneral(cadPlotScale, '.') +
                              "; secciones 1:" + formatGeneral(cadPlotScale / cadSectionScale, '.');
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Proyecto", orDash(info.project)},
        {"Viga", beamName},
        {"Norma", std::string(codeName(design.code)) + ", " +
                      std::string(beam::className(design.seismicClass))},
        {"Escala", scale},
        {"Fecha", orDash(info.date)},
        {"Plancha", orDash(info.sheet)},
    };
    Drawing d;
    const double th = text.body;
    double labelWidth = 0, valueWidth = 0;
    for (const auto& [label, value] : rows) {
        labelWidth = std::max(labelWidth, textWidth(label, th) + th);
        valueWidth = std::max(valueWidth, textWidth(value, text.title) + th);
    }
    const double rowHeight = 1.8 * text.title;
    const double width = labelWidth + valueWidth;
    double y = 0;
    for (const auto& [label, value] : rows) {
        addText(d, {-width + 0.5 * th, y - rowHeight + 0.6 * th}, th, label);
        const double height = label == "Viga" ? text.title : th;
        addText(d, {-valueWidth + 0.5 * th, y - rowHeight + 0.6 * th}, height, value);
        y -= rowHeight;
        if (y > -rowHeight * static_cast<double>(rows.size()))
            addLine(d, Layer::Text, {-width, y}, {0, y});
    }
    addRectangle(d, Layer::Text, -width, 0, 0, y);
    addLine(d, Layer::Text, {-valueWidth, 0}, {-valueWidth, y});
    computeBounds(d);
    return d;
}

}  // namespace

Drawing cadSheet(const BeamDesign& design, const BeamInput& input, char separator,
                 const SheetInfo& info) {
    const TextHeights text = cadTextHeights();
    ElevationStyle style;
    style.textHeight = text.body;
    style.smallTextHeight = text.small;
    style.laneStep = 2;
    style.decimalSeparator = separator;
    style.scale = "1:" + formatGeneral(cadPlotScale, '.');
    Drawing sheet = elevation(design, input, style);
    const double gap = 4 * text.body;
    const Drawing cuts = sections(design, input, text, separator, 0, cadSectionScale);
    sheet.add(cuts, -cuts.bounds.left, sheet.bounds.bottom - gap - cuts.bounds.top);
    const Drawing table = schedule(design, text, separator);
    sheet.add(table, -table.bounds.left, sheet.bounds.bottom - gap - table.bounds.top);
    const Drawing shapes = bendingShapes(design, text, separator, 6);
    sheet.add(shapes, -shapes.bounds.left, sheet.bounds.bottom - gap - shapes.bounds.top);

    // The general notes at the bottom left, the title block at the bottom right.
    Drawing notes;
    addText(notes, {0, 0}, text.title, "Notas generales");
    double y = 0;
    int n = 0;
    for (const std::string& note : generalNotes(design, input, separator)) {
        y -= 1.6 * text.body;
        addText(notes, {0, y}, text.body, std::to_string(++n) + ". " + note);
    }
    computeBounds(notes);
    const double notesTop = sheet.bounds.bottom - gap;
    sheet.add(notes, -notes.bounds.left, notesTop - notes.bounds.top);
    const Drawing block = titleBlock(design, input, info, text);
    const double right =
        std::max(sheet.bounds.right, notes.bounds.width() + gap + block.bounds.width());
    sheet.add(block, right - block.bounds.right, notesTop - block.bounds.top);
    return sheet;
}

}  // namespace engine::drawing
