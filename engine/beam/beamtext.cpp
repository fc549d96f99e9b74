#include "engine/beam/beamtext.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/beam/barschedule.h"
#include "engine/beam/checktext.h"
#include "engine/layout/bartext.h"
#include "engine/numbers.h"
#include "engine/schedule.h"

namespace engine::beam {

namespace {

// Characters shown, not bytes: UTF-8 continuation bytes take no column.
std::size_t displayWidth(std::string_view text) {
    std::size_t width = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
    return width;
}

enum class Align { Left, Right };

// Rows of cells in columns as wide as their widest cell, two blanks apart, no trailing blanks.
void appendTable(std::string& out, const std::vector<std::vector<std::string>>& rows,
                 const std::vector<Align>& align) {
    std::vector<std::size_t> widths(align.size(), 0);
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], displayWidth(row[i]));
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i) {
            if (i > 0) line += "  ";
            const std::string padding(widths[i] - displayWidth(row[i]), ' ');
            if (align[i] == Align::Right) line += padding;
            line += row[i];
            if (align[i] == Align::Left) line += padding;
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line;
        out += '\n';
    }
}

std::string_view sideName(Side side) {
    return side == Side::Left ? "izquierda" : "derecha";
}

// A JSON object written field by field, compact.
class JsonObject {
  public:
    explicit JsonObject(std::string& out) : out_(out) { out_.push_back('{'); }
    ~JsonObject() { out_.push_back('}'); }
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;

    // The key; its value is written next by the caller.
    std::string& key(std::string_view name) {
        if (!first_) out_.push_back(',');
        first_ = false;
        appendJsonString(out_, name);
        out_.push_back(':');
        return out_;
    }
    void number(std::string_view name, double value) { appendNumber(key(name), value); }
    // Several numbers in the order given.
    void numbers(std::initializer_list<std::pair<std::string_view, double>> fields) {
        for (const auto& [name, value] : fields) number(name, value);
    }
    void integer(std::string_view name, long value) { key(name) += std::to_string(value); }
    void boolean(std::string_view name, bool value) { key(name) += value ? "true" : "false"; }
    void text(std::string_view name, std::string_view value) {
        appendJsonString(key(name), value);
    }

    static void appendNumber(std::string& out, double value) {
        if (std::isfinite(value))
            appendShortestNumber(out, value, '.');
        else
            out += "null";
    }

  private:
    std::string& out_;
    bool first_ = true;
};

// A JSON array of the items, each written by `write`.
template <typename Items, typename Write>
void appendArray(std::string& out, const Items& items, Write write) {
    out.push_back('[');
    bool first = true;
    for (const auto& item : items) {
        if (!first) out.push_back(',');
        first = false;
        write(item);
    }
    out.push_back(']');
}

void appendTitle(std::string& out, const BeamDesign& design, char sep) {
    for (const std::string& line : scheduleHeading(design, sep)) out += line + '\n';
}

void appendBars(std::string& out, const BeamDesign& design, char sep) {
    out += "\nDespiece\n";
    std::vector<const ScheduleColumn*> columns;
    for (const ScheduleColumn& column : scheduleColumns())
        if (column.places & inScheduleText) columns.push_back(&column);
    std::vector<std::vector<std::string>> rows(1);
    std::vector<Align> align;
    for (const ScheduleColumn* column : columns) {
        rows[0].emplace_back(column->header);
        align.push_back(column->align == ColumnAlign::Right ? Align::Right : Align::Left);
    }
    for (const BarMark& mark : design.bars) {
        std::vector<std::string>& row = rows.emplace_back();
        for (const ScheduleColumn* column : columns) row.push_back(column->cell(mark, sep));
    }
    appendTable(out, rows, align);
    out += "Desde y Hasta: los extremos de la parte recta, en m desde el borde exterior del "
           "primer apoyo; la capa 1 es la más cercana a la cara.\n";
}

std::string metres(double cm, char sep) {
    return formatFixed(cm / 100, 2, sep);
}

// The stirrup marks as bent and cut.
void appendStirrups(std::string& out, const BeamDesign& design, char sep) {
    if (design.stirrups.empty()) return;
    out += "\nEstribos\n";
    std::vector<std::vector<std::string>> rows{
        {"Marca", "Barra", "Forma", "Ramas", "Cantidad", "Ancho (cm)", "Alto (cm)",
         "Gancho (cm)", "Doblez Ø int. (cm)", "Longitud (m)", "Masa (kg)"}};
    for (const StirrupMark& m : design.stirrups) {
        const bool hoop = m.kind == StirrupKind::Hoop;
        rows.push_back({m.mark, barName(m.bar), hoop ? "cerrado 135°" : "suplementario 135°/90°",
                        std::to_string(m.legs), std::to_string(m.count),
                        hoop ? formatGeneral(m.width, sep) : "", formatGeneral(m.height, sep),
                        formatFixed(m.hook, 1, sep), formatFixed(m.bend, 1, sep),
                        formatFixed(m.length, 2, sep), massText(m.mass, sep)});
    }
    std::vector<Align> align(11, Align::Right);
    align[0] = align[1] = align[2] = Align::Left;
    appendTable(out, rows, align);
    out += "Ancho y alto: medidas exteriores; gancho: la extensión pasado el doblez.\n";
    out += "\nZonas de estribos\n";
    for (const std::string& line : zoneLines(design, sep)) out += line + '\n';
}

void appendMasses(std::string& out, const BeamDesign& design, char sep) {
    out += "\nMasa de acero\n";
    std::vector<std::vector<std::string>> rows;
    for (const auto& [bar, mass] : design.massByBar)
        rows.push_back({barName(bar), massText(mass, sep) + " kg"});
    rows.push_back({"Total", massText(design.totalMass, sep) + " kg"});
    appendTable(out, rows, {Align::Left, Align::Right});
    if (design.stirrupMass > 0)
        out += "De ellos, estribos: " + massText(design.stirrupMass, sep) + " kg\n";
    out += "Concreto de los vanos: " + formatFixed(design.concrete, 3, sep) + " m³; " +
           formatFixed(design.steelPerConcrete, 1, sep) + " kg de acero por m³\n";
}

void appendFaces(std::string& out, const BeamDesign& design, char sep) {
    if (design.faces.empty()) return;
    out += "\nCaras de los apoyos: acero (cm²)\n";
    std::vector<std::vector<std::string>> steel{{"Vano", "Cara", "x (m)", "As sup. requerido",
                                                 "As sup. colocado", "As inf. requerido",
                                                 "As inf. colocado"}};
    for (const FaceStation& face : design.faces) {
        steel.push_back({std::to_string(face.span), std::string(sideName(face.side)),
                         formatFixed(face.x, 2, sep), formatFixed(face.asTopRequired, 2, sep),
                         formatFixed(face.asTop, 2, sep),
                         formatFixed(face.asBottomRequired, 2, sep),
                         formatFixed(face.asBottom, 2, sep)});
    }
    appendTable(out, steel,
                {Align::Right, Align::Left, Align::Right, Align::Right, Align::Right,
                 Align::Right, Align::Right});

    out += "\nCaras de los apoyos: momentos (Tn-m; Mpr con " + formatGeneral(1.25, sep) +
           " Fy y φ = 1)\n";
    std::vector<std::vector<std::string>> moments{
        {"Vano", "Cara", "Mu-", "φMn-", "Mn-", "Mpr-", "Mu+", "φMn+", "Mn+", "Mpr+"}};
    for (const FaceStation& face : design.faces) {
        moments.push_back({std::to_string(face.span), std::string(sideName(face.side)),
                           formatFixed(face.muNeg, 2, sep), formatFixed(face.phiMnNeg, 2, sep),
                           formatFixed(face.mnNeg, 2, sep), formatFixed(face.mprNeg, 2, sep),
                           formatFixed(face.muPos, 2, sep), formatFixed(face.phiMnPos, 2, sep),
                           formatFixed(face.mnPos, 2, sep), formatFixed(face.mprPos, 2, sep)});
    }
    std::vector<Align> align(10, Align::Right);
    align[1] = Align::Left;
    appendTable(out, moments, align);
}

void appendShear(std::string& out, const BeamDesign& design, char sep) {
    if (design.faces.empty() || design.stirrups.empty()) return;
    out += "\nCaras de los apoyos: cortante (Tn)\n";
    std::vector<std::vector<std::string>> rows{{"Vano", "Cara", "Ve", "Vc", "φVn"}};
    for (const FaceStation& face : design.faces) {
        rows.push_back({std::to_string(face.span), std::string(sideName(face.side)),
                        formatFixed(face.ve, 2, sep), formatFixed(face.vc, 2, sep),
                        formatFixed(face.phiVn, 2, sep)});
    }
    appendTable(out, rows, {Align::Right, Align::Left, Align::Right, Align::Right, Align::Right});
}

void appendChecks(std::string& out, const BeamDesign& design, char sep) {
    out += "\nRevisiones\n";
    std::size_t failing = 0;
    for (const Check& check : design.checks) {
        out += check.passes ? "Cumple     " : "No cumple  ";
        out += checkLine(check, sep);
        out += '\n';
        if (!check.passes) ++failing;
    }
    if (failing == 0)
        out += "Cumple: todas las revisiones (" + std::to_string(design.checks.size()) + ")\n";
    else
        out += "No cumple: " + std::to_string(failing) + " de " +
               std::to_string(design.checks.size()) + " revisiones\n";
}

void appendNotes(std::string& out, const BeamDesign& design, char sep) {
    if (design.notes.empty()) return;
    out += "\nNotas\n";
    for (const Phrase& note : design.notes) out += "- " + noteText(note, sep) + '\n';
}

}  // namespace

std::vector<std::string> scheduleHeading(const BeamDesign& design, char sep) {
    const std::size_t spans = design.faceX.size() / 2;
    const std::string name = design.name.empty() ? std::string(defaultBeamName) : design.name;
    return {"Viga " + name + ", continua de " + std::to_string(spans) +
                (spans == 1 ? " vano" : " vanos") + ", " + std::string(codeName(design.code)) +
                ", " + std::string(className(design.seismicClass)) + ": longitud total " +
                formatFixed(design.length, 2, sep) + " m",
            "b × h = " + formatGeneral(design.b, sep) + " × " + formatGeneral(design.h, sep) +
                " cm, f'c = " + formatGeneral(design.fc, sep) + " kg/cm², Fy = " +
                formatGeneral(design.fy, sep) + " kg/cm²; se suponen recubrimiento libre " +
                formatGeneral(design.settings.clearCover, sep) + " cm, estribo " +
                barName(design.settings.stirrupDesignation) + " y agregado máximo " +
                formatGeneral(design.settings.maxAggregate, sep) + " cm"};
}

std::string_view zoneKindName(ZoneKind kind) {
    switch (kind) {
        case ZoneKind::Confinement:
            return "confinamiento";
        case ZoneKind::Lap:
            return "traslapo";
        case ZoneKind::Rest:
            return "resto";
    }
    return "resto";
}

std::vector<std::string> zoneLines(const BeamDesign& design, char sep) {
    std::vector<std::string> lines;
    const std::size_t spans = design.faceX.size() / 2;
    const std::string hoopBar =
        design.stirrups.empty() ? std::string() : " " + barName(design.stirrups.front().bar);
    for (std::size_t i = 0; i < spans; ++i) {
        const int span = static_cast<int>(i) + 1;
        std::vector<const StirrupZone*> hoops;
        std::vector<const StirrupZone*> ties;
        for (const StirrupZone& z : design.zones) {
            if (z.span != span) continue;
            (z.mark.front() == 'C' ? ties : hoops).push_back(&z);
        }
        if (hoops.empty()) continue;
        // The zone that fills the middle: the "resto" nearest midspan.
        const double mid = (design.faceX[2 * i] + design.faceX[2 * i + 1]) / 2;
        std::size_t filler = 0;
        double nearest = -1;
        for (std::size_t j = 0; j < hoops.size(); ++j) {
            const StirrupZone& z = *hoops[j];
            if (z.kind != ZoneKind::Rest) continue;
            const double distance = mid < z.start ? z.start - mid : mid > z.end ? mid - z.end : 0;
            if (nearest < 0 || distance < nearest) {
                nearest = distance;
                filler = j;
            }
        }
        const double faceGap = 0.05;
        auto run = [&](const StirrupZone& z, bool first) {
            std::string text;
            int count = z.count;
            if (first) {
                text = "1 a " + formatFixed(faceGap, 2, sep);
                --count;
                if (count > 0) text += ", ";
            }
            if (count > 0) text += std::to_string(count) + " a " + metres(z.spacing, sep);
            if (z.kind == ZoneKind::Lap) text += " (traslapo)";
            return text;
        };
        std::vector<std::string> left, right;
        for (std::size_t j = 0; j < filler; ++j) left.push_back(run(*hoops[j], j == 0));
        for (std::size_t j = hoops.size() - 1; j > filler; --j)
            right.push_back(run(*hoops[j], j + 1 == hoops.size()));
        auto joined = [](const std::vector<std::string>& items) {
            std::string text;
            for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
            return text;
        };
        const std::string alone = "1 a " + formatFixed(faceGap, 2, sep);
        const StirrupZone& middle = *hoops[filler];
        std::string line = "Vano " + std::to_string(span) + ": " + middle.mark + hoopBar + ": ";
        const std::string rest = "resto a " + metres(middle.spacing, sep);
        if (left == right) {
            line += (left.empty() ? alone : joined(left)) + ", " + rest + " (cada extremo)";
        } else {
            line += "desde la izquierda " + (left.empty() ? alone : joined(left)) + ", " + rest +
                    "; desde la derecha " + (right.empty() ? alone : joined(right));
        }
        lines.push_back(line);
        if (!ties.empty()) {
            int pieces = 0;
            bool everywhere = true;
            for (const StirrupZone* z : ties) {
                pieces += z->count;
                everywhere = everywhere && z->kind != ZoneKind::Confinement;
            }
            int perHoop = 0;
            for (const StirrupZone* h : hoops) {
                for (const StirrupZone* z : ties) {
                    if (z->kind == h->kind && std::abs(z->start - h->start) < 1e-9 && h->count > 0)
                        perHoop = std::max(perHoop, z->count / h->count);
                }
            }
            lines.push_back("Vano " + std::to_string(span) + ": " + ties.front()->mark + hoopBar +
                            ": " + std::to_string(pieces) + " ganchos suplementarios, " +
                            std::to_string(perHoop) + " con cada estribo" +
                            (everywhere ? " del vano" : " de las zonas de confinamiento"));
        }
    }
    return lines;
}

std::string shapeText(const BarMark& mark) {
    if (!mark.hookStart && !mark.hookEnd) return "recta";
    return mark.hookStart && mark.hookEnd ? "2 ganchos 90°"
           : mark.hookStart               ? "gancho 90° izq."
                                          : "gancho 90° der.";
}

std::string scheduleText(const BeamDesign& design, char decimalSeparator) {
    std::string out;
    appendTitle(out, design, decimalSeparator);
    appendBars(out, design, decimalSeparator);
    appendStirrups(out, design, decimalSeparator);
    appendMasses(out, design, decimalSeparator);
    appendFaces(out, design, decimalSeparator);
    appendShear(out, design, decimalSeparator);
    appendChecks(out, design, decimalSeparator);
    appendNotes(out, design, decimalSeparator);
    return out;
}

std::string designJson(const BeamDesign& design) {
    std::string out;
    out.reserve(4096 + 160 * design.profile.size());
    {
        JsonObject beam(out);
        beam.text("name", design.name);
        beam.text("code", codeName(design.code));
        beam.text("class", className(design.seismicClass));
        beam.number("length", design.length);
        appendArray(beam.key("faces"), design.faces, [&out](const FaceStation& face) {
            JsonObject item(out);
            item.integer("span", face.span);
            item.text("side", face.side == Side::Left ? "left" : "right");
            item.numbers({{"x", face.x},
                          {"mu_neg", face.muNeg},
                          {"mu_pos", face.muPos},
                          {"as_top_required", face.asTopRequired},
                          {"as_bottom_required", face.asBottomRequired},
                          {"as_top", face.asTop},
                          {"as_bottom", face.asBottom},
                          {"mn_neg", face.mnNeg},
                          {"mn_pos", face.mnPos},
                          {"phi_mn_neg", face.phiMnNeg},
                          {"phi_mn_pos", face.phiMnPos},
                          {"mpr_neg", face.mprNeg},
                          {"mpr_pos", face.mprPos},
                          {"ve", face.ve},
                          {"vc", face.vc},
                          {"phi_vn", face.phiVn}});
        });
        appendArray(beam.key("bars"), design.bars, [&out](const BarMark& mark) {
            JsonObject item(out);
            item.text("mark", mark.mark);
            item.text("face", mark.face == BeamFace::Top ? "top" : "bottom");
            item.integer("bar", mark.bar);
            item.integer("count", mark.count);
            item.numbers({{"start", mark.start}, {"end", mark.end}});
            item.key("hooks") += std::string("[") + (mark.hookStart ? "true" : "false") + ',' +
                                 (mark.hookEnd ? "true" : "false") + ']';
            item.integer("layer", mark.layer);
            item.numbers({{"depth", mark.depth}, {"length", mark.length}, {"mass", mark.mass},
                          {"bend", mark.bend}, {"leg", mark.leg}});
        });
        appendArray(beam.key("stirrups"), design.stirrups, [&out](const StirrupMark& mark) {
            JsonObject item(out);
            item.text("mark", mark.mark);
            item.integer("bar", mark.bar);
            item.integer("legs", mark.legs);
            item.integer("count", mark.count);
            item.numbers({{"width", mark.width},
                          {"height", mark.height},
                          {"hook", mark.hook},
                          {"length", mark.length},
                          {"mass", mark.mass}});
        });
        appendArray(beam.key("zones"), design.zones, [&out](const StirrupZone& zone) {
            JsonObject item(out);
            item.integer("span", zone.span);
            item.text("mark", zone.mark);
            item.text("kind", zoneKindName(zone.kind));
            item.numbers({{"start", zone.start}, {"end", zone.end}, {"spacing", zone.spacing}});
            item.integer("count", zone.count);
        });
        appendArray(beam.key("profile"), design.profile, [&out](const ProfilePoint& point) {
            JsonObject item(out);
            item.numbers({{"x", point.x},
                          {"mu_neg", point.muNeg},
                          {"mu_pos", point.muPos},
                          {"mn_neg", point.mnNeg},
                          {"mn_pos", point.mnPos},
                          {"phi_mn_neg", point.phiMnNeg},
                          {"phi_mn_pos", point.phiMnPos},
                          {"vu", point.vu},
                          {"phi_vn", point.phiVn}});
        });
        appendArray(beam.key("checks"), design.checks, [&out](const Check& check) {
            JsonObject item(out);
            item.text("rule", ruleKey(check.rule));
            if (const auto span = placeSpan(check.place))
                item.integer("span", *span);
            else
                item.key("span") += "null";
            if (check.place.x)
                item.number("x", *check.place.x);
            else
                item.key("x") += "null";
            item.boolean("passes", check.passes);
            item.text("article", check.article);
            item.text("text", checkLine(check, '.'));
        });
        {
            JsonObject mass(beam.key("mass"));
            mass.number("total", design.totalMass);
            mass.number("stirrups", design.stirrupMass);
            JsonObject byBar(mass.key("by_bar"));
            for (const auto& [bar, kg] : design.massByBar) byBar.number(std::to_string(bar), kg);
        }
        beam.number("concrete", design.concrete);
        beam.boolean("passes", design.passes);
    }
    out.push_back('\n');
    return out;
}

}  // namespace engine::beam
