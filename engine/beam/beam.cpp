#include "engine/beam/beam.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "engine/beam/bounds.h"
#include "engine/beam/checks.h"
#include "engine/beam/checktext.h"
#include "engine/beam/demand.h"
#include "engine/beam/marks.h"
#include "engine/beam/rules.h"
#include "engine/beam/search.h"
#include "engine/beam/shear.h"
#include "engine/beam/stirrups.h"
#include "engine/beam/stations.h"
#include "engine/beam/strength.h"
#include "engine/beam/tolerance.h"

namespace engine::beam {

std::string_view className(SeismicClass seismicClass) {
    switch (seismicClass) {
        case SeismicClass::Des:
            return "DES";
        case SeismicClass::Dmo:
            return "DMO";
        case SeismicClass::Dmi:
            return "DMI";
    }
    return "DES";
}

std::optional<SeismicClass> classFromName(std::string_view name) {
    for (const SeismicClass c : {SeismicClass::Des, SeismicClass::Dmo, SeismicClass::Dmi}) {
        if (name == className(c)) return c;
    }
    return std::nullopt;
}

bool validBeamName(std::string_view name) {
    std::size_t characters = 0;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) return false;
        if ((byte & 0xC0) != 0x80) ++characters;  // UTF-8 continuation bytes are no character
    }
    return characters >= 1 && characters <= longestBeamName;
}

bool validBeamLabel(std::string_view label) {
    return label.empty() || validBeamName(label);
}

bool coversFit(double h, double dPrime, double dSecond) {
    return std::isfinite(dPrime) && std::isfinite(dSecond) && dPrime > 0 && dSecond > 0 &&
           dPrime + dSecond < h;
}

namespace {

// An input no beam can have: the message saying which.
std::optional<Phrase> invalidInput(const BeamInput& in) {
    auto positive = [](double v) { return std::isfinite(v) && v > 0; };
    auto says = [](std::string words) { return Phrase() << words; };
    if (!validBeamName(in.name)) {
        return says("El nombre de la viga debe tener de 1 a " + std::to_string(longestBeamName) +
                    " caracteres, sin caracteres de control");
    }
    if (!validBeamLabel(in.axis) || !validBeamLabel(in.level)) {
        return says("El eje y el piso de la viga deben tener a lo más " +
                    std::to_string(longestBeamName) + " caracteres, sin caracteres de control");
    }
    if (in.spans.empty()) return says("La viga no tiene vanos");
    if (in.supports.size() != in.spans.size() + 1) {
        return says("Se necesitan " + std::to_string(in.spans.size() + 1) + " apoyos para " +
                    std::to_string(in.spans.size()) + " vanos");
    }
    if (!in.columns.empty() && in.columns.size() != in.supports.size()) {
        return says("Se necesita el ancho de la columna de cada uno de los " +
                    std::to_string(in.supports.size()) + " apoyos");
    }
    if (!positive(in.b) || !positive(in.h) || !positive(in.fc) || !positive(in.fy)) {
        return says("b, h, f'c y Fy deben ser mayores que cero");
    }
    if (in.fc * mpaPerKgCm2 < minimumFcMpa * (1 - tiny)) {
        return Phrase() << "f'c = " << Figure{in.fc, Figure::shortest}
                        << " kg/cm² es menor que el mínimo del concreto estructural, "
                        << Figure{minimumFcMpa, 0} << " MPa = "
                        << Figure{minimumFcMpa / mpaPerKgCm2, 1} << " kg/cm² (C.1.1.1 de la NSR-10)";
    }
    if (!coversFit(in.h, in.dPrime, in.dSecond)) {
        return says("Los recubrimientos d' y d'' deben ser positivos y menores que h");
    }
    if (findBar(in.smallestBar) == nullptr || findBar(in.largestBar) == nullptr ||
        in.smallestBar > in.largestBar || in.smallestBar < 3) {
        return says("Las barras permitidas deben ir de un N° del catálogo a otro mayor o igual");
    }
    if (!positive(in.stockLength)) return says("La longitud comercial de las barras debe ser positiva");
    if (findBar(in.settings.stirrupDesignation) == nullptr || !(in.settings.clearCover >= 0) ||
        !(in.settings.maxAggregate >= 0) || in.settings.maxTensionLayers < 1) {
        return says("Los datos de colocación de las barras no son válidos");
    }
    for (std::size_t j = 0; j < in.supports.size(); ++j) {
        if (!positive(in.supports[j])) {
            return says("Apoyo " + std::to_string(j + 1) + ": el ancho debe ser mayor que cero");
        }
    }
    for (std::size_t i = 0; i < in.spans.size(); ++i) {
        const Span& s = in.spans[i];
        const std::string place = "Vano " + std::to_string(i + 1);
        if (!positive(s.length)) return says(place + ": la luz libre debe ser mayor que cero");
        if (s.wu && !(std::isfinite(*s.wu) && *s.wu >= 0))
            return says(place + ": la carga wu debe ser un número no negativo");
        if (in.stations.empty()) {
            const SpanMoments& m = s.moments;
            for (double v : {m.left, m.mid, m.right, m.posLeft.value_or(0.0),
                             m.posRight.value_or(0.0)}) {
                if (!std::isfinite(v) || v < 0) {
                    return says(place + ": los momentos se dan como magnitudes (no negativas)");
                }
            }
            if (m.midMin && (!std::isfinite(*m.midMin) || *m.midMin > m.mid)) {
                return says(place + ": el Mu+ menor en el centro de la luz no puede ser mayor "
                                    "que el mayor");
            }
        }
    }
    if (const auto breach = firstOutOfBounds(in)) return outOfBoundsPhrase(*breach);
    for (std::size_t k = 0; k < in.stations.size(); ++k) {
        const Station& st = in.stations[k];
        const std::string row = "Estación " + std::to_string(k + 1);
        if (st.span < 1 || st.span > static_cast<int>(in.spans.size())) {
            return says(row + ": el vano " + std::to_string(st.span) + " no existe");
        }
        if (!std::isfinite(st.x) || !std::isfinite(st.mu) || (st.v && !std::isfinite(*st.v)))
            return says(row + ": valor no numérico");
        const auto i = static_cast<std::size_t>(st.span - 1);
        // From the left face, x runs to the right face; from the left support's centreline, to
        // the right support's.
        const double to = in.stationsFromCentreline
                              ? in.supports[i] / 200 + in.spans[i].length + in.supports[i + 1] / 200
                              : in.spans[i].length;
        if (st.x < -tiny || st.x > to + tiny) {
            return Phrase() << row + ": x = " << Figure{st.x, 2}
                            << " m fuera del vano " + std::to_string(st.span) + " (0 a "
                            << Figure{to, 2} << " m)";
        }
    }
    return std::nullopt;
}

// The assumptions the schedule states.
std::vector<Phrase> notesOf(const Beam& beam, const FaceChoice& top, const FaceChoice& bottom) {
    const BeamInput& in = beam.in;
    std::vector<Phrase> notes;
    notes.push_back(Phrase() << "ld en el caso favorable de separación y recubrimiento: se "
                                "suponen estribos de al menos el mínimo del código a lo largo "
                                "de ld de todas las barras.");
    if (!top.laps.empty() || !bottom.laps.empty()) {
        Phrase laps;
        laps << "Traslapos clase B (" << Figure{lapFactor, 1}
             << " ld, al menos 30 cm), fuera de los apoyos";
        if (in.seismicClass == SeismicClass::Des) {
            const double spacing = std::min(std::min(beam.dTop, beam.dBot) / 4, 10.0);
            laps << " y a más de 2h de sus caras; estribos cerrados a no más de "
                 << Figure{spacing, 1} << " cm a lo largo de cada traslapo (zonas de traslapo "
                    "de los estribos)";
        }
        notes.push_back(laps << ".");
    }
    if (in.seismicClass == SeismicClass::Dmi) {
        notes.push_back(Phrase() << "Dos barras continuas arriba y abajo a lo largo de toda la "
                                    "viga también en DMI, más de lo que exige la " +
                                        std::string(codeName(in.code)) + ".");
    }
    for (const StationGap& gap : stationGaps(in)) {
        const bool left = gap.side == Side::Left;
        Phrase note;
        note << "Vano " + std::to_string(gap.span)
             << (left ? ": las estaciones empiezan a " : ": las estaciones terminan ")
             << Figure{gap.gap, 2}
             << (left ? " m de la cara izquierda; hasta esa cara se toma el momento de la "
                        "primera estación."
                      : " m antes de la cara derecha; hasta esa cara se toma el momento de la "
                        "última estación.");
        notes.push_back(note);
    }
    // The figure of the face table: the need the search met, in words.
    notes.push_back(Phrase() << "As requerido en las caras: el área del diseño de la sección "
                                "con d = h − d' abajo y h − d'' arriba"
                             << (beam.seismic ? ", al menos el acero mínimo y el que pide la "
                                                "fracción de Mn− que debe dar Mn+"
                                              : "")
                             << ", aumentada donde las barras, a su profundidad real, no daban "
                                "φMn ≥ Mu.");
    notes.push_back(Phrase() << "Ganchos de 90° dentro del núcleo de las columnas extremas: el "
                                "recubrimiento y los estribos de la columna se toman iguales a "
                                "los de la viga ("
                             << Figure{beam.barSeat, 2}
                             << " cm); ldh por " << Figure{hookCoverFactor, 1}
                             << " (C.12.5.3) donde la columna deja al gancho "
                             << Figure{hookSideCover, 1}
                             << " cm de recubrimiento lateral, con la cola a "
                             << Figure{hookTailCover, 0} << " cm de su cara.");
    if (in.stations.empty() &&
        std::any_of(in.spans.begin(), in.spans.end(),
                    [](const Span& s) { return !s.moments.midMin; })) {
        notes.push_back(Phrase() << "Mu+ mínimo en el centro de la luz, donde no se da: la mitad "
                                    "del Mu+ máximo.");
    }
    notes.push_back(Phrase() << "Mpr con " << Figure{1.25, 2}
                             << " Fy y φ = 1, para el diseño a cortante.");
    if (in.code == DesignCode::Nsr98) {
        notes.push_back(Phrase() << "ld y ldh por las expresiones en MPa de la NSR-10 (C.12.2.2 "
                                    "y C.12.5) también bajo la NSR-98.");
    }
    return notes;
}

// The design of the bars found, with `s` their strength along the beam.
BeamDesign assemble(const Beam& beam, const std::vector<Need>& needs, const FaceChoice& top,
                    const FaceChoice& bottom, std::vector<BarMark> marks, const Strength& s) {
    const BeamInput& in = beam.in;
    const PlacedMarks placed(beam, marks);
    BeamDesign design;
    design.name = in.name;
    design.code = in.code;
    design.seismicClass = in.seismicClass;
    design.b = in.b;
    design.h = in.h;
    design.fc = in.fc;
    design.fy = in.fy;
    design.settings = in.settings;
    design.length = beam.length;
    for (int i = 0; i < beam.spans; ++i) {
        design.faceX.push_back(beam.xL[static_cast<std::size_t>(i)]);
        design.faceX.push_back(beam.xR[static_cast<std::size_t>(i)]);
    }
    for (int f = 0; f < 2 * beam.spans; ++f) {
        const auto k = static_cast<std::size_t>(beam.faceIndex[static_cast<std::size_t>(f)]);
        const Point& p = beam.points[k];
        FaceStation face;
        face.span = f / 2 + 1;
        face.side = f % 2 == 0 ? Side::Left : Side::Right;
        face.x = p.x;
        face.muNeg = p.muNeg;
        face.muPos = p.muPos;
        face.asTopRequired = needs[k].reqTop;
        face.asBottomRequired = needs[k].reqBot;
        face.asTop = s.areaTop[k];
        face.asBottom = s.areaBot[k];
        face.mnNeg = s.mnNeg[k];
        face.mnPos = s.mnPos[k];
        face.phiMnNeg = s.phiNeg[k];
        face.phiMnPos = s.phiPos[k];
        // Every bar that reaches the face counts whole in Mpr, as the capacity shear needs.
        if (const auto r = placed.capacityAt(p.x, true, 1.25 * in.fy, true)) face.mprNeg = r->mn;
        if (const auto r = placed.capacityAt(p.x, false, 1.25 * in.fy, true)) face.mprPos = r->mn;
        design.faces.push_back(face);
    }
    for (std::size_t k = 0; k < beam.points.size(); ++k) {
        const Point& p = beam.points[k];
        design.profile.push_back(
            {p.x, p.muNeg, p.muPos, s.mnNeg[k], s.mnPos[k], s.phiNeg[k], s.phiPos[k]});
    }
    for (const BarMark& m : marks) {
        design.massByBar[m.bar] += m.mass;
        design.totalMass += m.mass;
    }
    double clear = 0;
    for (const Span& span : in.spans) clear += span.length;
    design.concrete = in.b / 100 * in.h / 100 * clear;
    design.steelPerConcrete = design.concrete > 0 ? design.totalMass / design.concrete : 0;
    design.checks = checkDesign(beam, top, bottom, marks, s, needs);
    for (Check& c : design.checks) c.article = ruleArticle(c.rule, in.code, in.seismicClass);
    design.passes = std::all_of(design.checks.begin(), design.checks.end(),
                                [](const Check& c) { return c.passes; });
    design.notes = notesOf(beam, top, bottom);
    design.bars = std::move(marks);
    return design;
}

// The assumptions of the shear design the schedule states.
std::vector<Phrase> shearNotes(const Beam& beam, const ShearDemand& demand) {
    const BeamInput& in = beam.in;
    std::vector<Phrase> notes;
    const std::string stations =
        demand.stationShear ? ", no menor que el cortante de las estaciones" : "";
    switch (in.seismicClass) {
        case SeismicClass::Des:
            notes.push_back(Phrase() << "Cortante de diseño en las caras: Ve = (Mpr− + Mpr+)/ln ± "
                                        "wu ln/2 en los dos sentidos del sismo, con el Mpr de las "
                                        "barras que llegan a cada cara" + stations +
                                            "; Vc = 0 en 2h desde la cara donde la parte sísmica "
                                            "es al menos la mitad de Ve (" +
                                            std::string(ruleArticle(CheckRule::ConcreteShear,
                                                                    in.code, in.seismicClass)) +
                                            ").");
            break;
        case SeismicClass::Dmo:
            notes.push_back(Phrase() << "Cortante de diseño en las caras: Ve = (Mn− + Mn+)/ln + "
                                        "wu ln/2, con el Mn de las barras que llegan a cada cara "
                                        "(Fy, φ = 1)" + stations + ".");
            break;
        case SeismicClass::Dmi:
            notes.push_back(Phrase() << (demand.stationShear
                                             ? "Cortante de diseño: el de las estaciones"
                                             : "Cortante de diseño: Vu = wu ln/2 ± (Mu− der. − "
                                               "Mu− izq.)/ln")
                                     << ", tomado a d de la cara de los apoyos (C.11.1.3.1).");
            break;
    }
    std::string unloaded;
    int count = 0;
    for (std::size_t i = 0; i < demand.spans.size(); ++i) {
        if (demand.spans[i].loaded) continue;
        unloaded += (unloaded.empty() ? "" : ", ") + std::to_string(i + 1);
        ++count;
    }
    if (count > 0) {
        const char* alone = in.seismicClass == SeismicClass::Dmi
                                ? "el cortante de los momentos en las caras"
                                : "el cortante sísmico solo";
        notes.push_back(Phrase() << (count == 1 ? "Vano " : "Vanos ") + unloaded +
                                        (count == 1 ? " sin" : ": sin") +
                                        " carga wu; sus estribos se diseñan para " + alone + ".");
    }
    notes.push_back(Phrase() << "Las vigas no llevan carga axial: Vc = " << Figure{0.53, 2}
                             << " √f'c bw d, con d = " << Figure{std::min(beam.dTop, beam.dBot), 1}
                             << " cm; fyt = " << Figure{stirrupFy(in.fy), Figure::shortest}
                             << " kg/cm², φ = " << Figure{shearPhi(in.code), 2}
                             << "; separaciones en cm enteros por defecto, el primer estribo a "
                             << Figure{firstHoop, 0} << " cm de cada cara.");
    const Bar& hoop = *findBar(in.settings.stirrupDesignation);
    notes.push_back(Phrase() << "Estribos cerrados con ganchos sísmicos de 135° y extensión "
                                "máx(6 db, "
                             << Figure{7.5, 1} << " cm) = "
                             << Figure{seismicHookExtension(hoop), 1}
                             << " cm, doblados a 4 db por dentro; medidas exteriores b − 2 rec × "
                                "h − 2 rec; longitud de corte: el perímetro por el eje con tres "
                                "dobleces de 90° y dos de 135°, más las dos extensiones, en cm "
                                "enteros por exceso. Ganchos suplementarios con 135° en un "
                                "extremo y 90° con 6 db en el otro.");
    notes.push_back(Phrase() << "Donde se cortan barras en zona de tracción, los estribos dan "
                                "φVn ≥ 3/2 Vu, o 4/3 Vu donde las barras que siguen dan el doble "
                                "del acero que pide el momento; donde la sección no lo da, "
                                "estribos adicionales a lo largo de ¾ d desde el corte "
                                "(C.12.10.5).");
    return notes;
}

// The stirrups of the design: the shear at the faces and along the beam, the marks and zones,
// their masses, checks and notes; the message when a section cannot take its shear.
std::optional<Phrase> addStirrups(const Beam& beam, BeamDesign& design,
                                  const std::vector<Need>& needs, const Strength& strength) {
    const BeamInput& in = beam.in;
    const ShearDemand demand = shearDemand(beam, design.faces);
    auto found = designStirrups(beam, demand, design.bars, needs, strength);
    if (auto* why = std::get_if<Phrase>(&found)) return std::move(*why);
    StirrupDesign& stirrups = std::get<StirrupDesign>(found);
    for (FaceStation& face : design.faces) {
        const auto i = static_cast<std::size_t>(face.span - 1);
        const bool left = face.side == Side::Left;
        const auto k = static_cast<std::size_t>(
            beam.faceIndex[2 * i + (left ? 0 : 1)]);
        face.ve = left ? demand.spans[i].left : demand.spans[i].right;
        face.vc = stirrups.vc[k];
        face.phiVn = stirrups.phiVn[k];
    }
    for (std::size_t k = 0; k < design.profile.size(); ++k) {
        design.profile[k].vu = demand.vu[k];
        design.profile[k].phiVn = stirrups.phiVn[k];
    }
    for (const StirrupMark& m : stirrups.marks) {
        design.massByBar[m.bar] += m.mass;
        design.totalMass += m.mass;
        design.stirrupMass += m.mass;
    }
    design.steelPerConcrete = design.concrete > 0 ? design.totalMass / design.concrete : 0;
    for (Check& c : stirrups.checks) {
        c.article = ruleArticle(c.rule, in.code, in.seismicClass);
        // Hoops over laps follow the laps' article; stirrups outside the hoop zones chapter
        // C.11's spacing, whatever the class.
        if (c.rule == CheckRule::StirrupSpacing && c.zone == ZoneKind::Lap)
            c.article = ruleArticle(CheckRule::Lap, in.code, in.seismicClass);
        else if (c.rule == CheckRule::StirrupSpacing && c.zone == ZoneKind::Rest)
            c.article = ruleArticle(c.rule, in.code, SeismicClass::Dmi);
        design.checks.push_back(c);
    }
    design.passes = std::all_of(design.checks.begin(), design.checks.end(),
                                [](const Check& c) { return c.passes; });
    for (Phrase& note : shearNotes(beam, demand)) design.notes.push_back(std::move(note));
    design.stirrups = std::move(stirrups.marks);
    design.zones = std::move(stirrups.zones);
    return std::nullopt;
}

}  // namespace

BeamOutcome designBeam(const BeamInput& input) {
    if (auto e = invalidInput(input)) return BeamError{*e, BeamErrorKind::Input};
    Beam beam(input);
    if (auto e = layOutPoints(beam)) return BeamError{*e, BeamErrorKind::Input};
    Demand demand(beam);
    FaceChoice top, bottom;
    std::vector<BarMark> marks;
    Strength strength;
    // Design, check the bars as placed, raise what falls short and search again, until the
    // bars hold. A search that finds nothing, at the first pass or after a raise, ends it.
    for (int iteration = 0; iteration < 8; ++iteration) {
        if (auto e = demand.workOut()) return BeamError{*e, BeamErrorKind::Unsatisfiable};
        auto foundTop = searchFace(beam, demand.needs(), true);
        if (auto* why = std::get_if<Phrase>(&foundTop))
            return BeamError{std::move(*why), BeamErrorKind::Unsatisfiable};
        auto foundBottom = searchFace(beam, demand.needs(), false);
        if (auto* why = std::get_if<Phrase>(&foundBottom))
            return BeamError{std::move(*why), BeamErrorKind::Unsatisfiable};
        top = std::move(std::get<FaceChoice>(foundTop));
        bottom = std::move(std::get<FaceChoice>(foundBottom));
        marks = markBars(beam, top, bottom);
        strength = PlacedMarks(beam, marks).along();
        if (!demand.raise(strength)) break;
    }
    BeamDesign design = assemble(beam, demand.needs(), top, bottom, std::move(marks), strength);
    // The rules the arrangement decides must hold; the geometry of the section and the
    // supports is the engineer's, and a failing limit there stays a check of the design.
    for (const Check& c : design.checks) {
        const bool geometry = c.rule == CheckRule::SpanLength || c.rule == CheckRule::Width ||
                              c.rule == CheckRule::SupportWidth || c.rule == CheckRule::HookLength ||
                              c.rule == CheckRule::DeepBeam || c.rule == CheckRule::MinimumDepth;
        if (!c.passes && !geometry) {
            return BeamError{Phrase() << "Ninguna disposición de barras cumple. " << checkPhrase(c),
                             BeamErrorKind::Unsatisfiable};
        }
    }
    if (auto e = addStirrups(beam, design, demand.needs(), strength)) return BeamError{*e, BeamErrorKind::Unsatisfiable};
    return design;
}

}  // namespace engine::beam
