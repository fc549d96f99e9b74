#include "engine/drawing/beamdrawing.h"

#include "engine/drawing/drawingparts.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/beam/barschedule.h"
#include "engine/beam/beamtext.h"
#include "engine/catalogue.h"
#include "engine/layout.h"
#include "engine/numbers.h"

namespace engine::drawing {
namespace {

using beam::BarMark;
using beam::BeamDesign;
using beam::BeamFace;
using beam::BeamInput;

// An architectural tick: a short 45° stroke through a dimensioned point.
void addTick(Drawing& d, double x, double y, double size) {
    addLine(d, Layer::Dimensions, {x - size, y - size}, {x + size, y + size});
}

// The x of every support's two sides, cm: the outer ends and the faces.
std::vector<std::pair<double, double>> supportSpans(const BeamDesign& design) {
    std::vector<std::pair<double, double>> supports;
    const std::vector<double>& f = design.faceX;
    if (f.size() < 2) return supports;
    supports.emplace_back(0, f.front() * 100);
    for (std::size_t k = 1; k + 1 < f.size(); k += 2)
        supports.emplace_back(f[k] * 100, f[k + 1] * 100);
    supports.emplace_back(f.back() * 100, design.length * 100);
    return supports;
}

// The mark's bars, each lane one position inwards from its layer, so that marks of a layer
// that overlap along the beam (laps, extra bars beside continuous ones) stay apart.
std::vector<int> lanes(const std::vector<BarMark>& marks) {
    std::vector<int> lane(marks.size(), 0);
    std::vector<std::size_t> order(marks.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return marks[a].start < marks[b].start;
    });
    // The end of the last mark in each lane, per face and layer.
    std::vector<std::pair<std::pair<int, int>, std::vector<double>>> ends;
    for (std::size_t i : order) {
        const BarMark& m = marks[i];
        const std::pair<int, int> key{m.face == BeamFace::Top ? 0 : 1, m.layer};
        auto it = std::find_if(ends.begin(), ends.end(), [&](const auto& e) { return e.first == key; });
        if (it == ends.end()) it = ends.insert(ends.end(), {key, {}});
        std::vector<double>& laneEnds = it->second;
        std::size_t k = 0;
        while (k < laneEnds.size() && laneEnds[k] > m.start - 1e-9) ++k;
        if (k == laneEnds.size()) laneEnds.push_back(0);
        laneEnds[k] = m.end;
        lane[i] = static_cast<int>(k);
    }
    return lane;
}

// The nearest support face to a point, cm.
double nearestFace(const BeamDesign& design, double x) {
    double best = x;
    double distance = std::numeric_limits<double>::max();
    for (double face : design.faceX) {
        const double d = std::abs(face * 100 - x);
        if (d < distance) {
            distance = d;
            best = face * 100;
        }
    }
    return best;
}

// One row beside the elevation for a mark: the extent of its straight part, its cut-offs
// measured from the nearest support face, and its label above them.
void addMarkRow(Drawing& d, const BeamDesign& design, const BarMark& m, double base,
                const ElevationStyle& style) {
    const double th = style.textHeight;
    const double x0 = m.start * 100, x1 = m.end * 100;
    const double y = base + 0.4 * th;
    const double tick = 0.25 * th;
    addLine(d, Layer::Dimensions, {x0, y}, {x1, y});
    addTick(d, x0, y, tick);
    addTick(d, x1, y, tick);
    const std::pair<double, bool> ends[] = {{x0, m.hookStart}, {x1, m.hookEnd}};
    for (const auto& [end, hooked] : ends) {
        if (hooked) continue;
        const double face = nearestFace(design, end);
        if (std::abs(face - end) < 1) continue;
        d.dimensions.push_back({Layer::Dimensions, {face, y}, {end, y}, y, false,
                                style.smallTextHeight,
                                metres(std::abs(end - face) / 100, style.decimalSeparator)});
    }
    addText(d, {(x0 + x1) / 2, y + 0.6 * th + 1.1 * style.smallTextHeight}, th,
            markLabel(m, style.decimalSeparator),
            Align::Centre);
    d.texts.back().describesFrom = x0;
    d.texts.back().describesTo = x1;
}

std::string centimetres(double value, char separator) {
    return formatGeneral(std::round(value * 100) / 100, separator);
}

// The bars of one face at a cut, layer by layer, larger bars first in each layer, with the
// marks that give each layer's bars.
struct FaceAtCut {
    Arrangement arrangement;
    std::vector<std::vector<const BarMark*>> marks;  // per layer of the arrangement
};

FaceAtCut faceAtCut(const BeamDesign& design, BeamFace face, double x) {
    FaceAtCut at;
    std::vector<std::vector<const BarMark*>> marks;
    for (const BarMark& m : design.bars) {
        if (m.face != face || x < m.start - 1e-9 || x > m.end + 1e-9 || m.count <= 0) continue;
        const Bar* bar = findBar(m.bar);
        if (!bar) continue;
        const std::size_t layer = static_cast<std::size_t>(std::max(1, m.layer) - 1);
        if (at.arrangement.layers.size() <= layer) {
            at.arrangement.layers.resize(layer + 1);
            marks.resize(layer + 1);
        }
        marks[layer].push_back(&m);
        engine::Layer& groups = at.arrangement.layers[layer];
        auto same = std::find_if(groups.begin(), groups.end(),
                                 [&](const BarGroup& g) { return g.bar == bar; });
        if (same != groups.end())
            same->count += m.count;
        else
            groups.push_back({m.count, bar});
    }
    for (engine::Layer& groups : at.arrangement.layers)
        std::stable_sort(groups.begin(), groups.end(), [](const BarGroup& a, const BarGroup& b) {
            return a.bar->designation > b.bar->designation;
        });
    for (std::size_t i = 0; i < marks.size(); ++i) {
        if (at.arrangement.layers[i].empty()) continue;
        at.marks.push_back(std::move(marks[i]));
    }
    std::erase_if(at.arrangement.layers, [](const engine::Layer& l) { return l.empty(); });
    return at;
}

// The depth from its own face of each bar placed for a face at a cut: its mark's, the bars of a
// layer and size handed out to the marks of that size in the order of the schedule.
std::vector<double> markDepths(const FaceAtCut& at, const Placement& placement) {
    std::vector<std::vector<int>> left(at.marks.size());
    for (std::size_t layer = 0; layer < at.marks.size(); ++layer)
        for (const BarMark* m : at.marks[layer]) left[layer].push_back(m->count);
    std::vector<double> depths;
    for (const PlacedBar& placed : placement.bars) {
        const auto layer = static_cast<std::size_t>(placed.layer);
        const std::vector<const BarMark*>& marks = at.marks[layer];
        double depth = 0;
        for (std::size_t k = 0; k < marks.size(); ++k) {
            if (marks[k]->bar != placed.bar->designation || left[layer][k] == 0) continue;
            --left[layer][k];
            depth = marks[k]->depth;
            break;
        }
        depths.push_back(depth);
    }
    return depths;
}

const beam::StirrupMark* stirrupMark(const BeamDesign& design, const std::string& name) {
    for (const beam::StirrupMark& m : design.stirrups)
        if (m.mark == name) return &m;
    return nullptr;
}

// The letters of the cuts: A to Z, then AA, AB, ...
std::string cutLetter(std::size_t index) {
    std::string letters;
    for (std::size_t n = index + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

// The zone of a kind of piece (hoops or crossties) whose pieces reach the point x (m), if any.
const beam::StirrupZone* zoneAt(const BeamDesign& design, double x, beam::StirrupKind kind) {
    for (const beam::StirrupZone& zone : design.zones) {
        const beam::StirrupMark* piece = stirrupMark(design, zone.mark);
        const beam::StirrupKind zoneKind = piece ? piece->kind : beam::StirrupKind::Hoop;
        const double half = zone.spacing / 200;
        if (zoneKind == kind && x >= zone.start - half - 1e-9 && x <= zone.end + half + 1e-9)
            return &zone;
    }
    return nullptr;
}

}  // namespace

const char* layerName(Layer layer) {
    switch (layer) {
        case Layer::Concrete: return "CONCRETO";
        case Layer::Reinforcement: return "REFUERZO";
        case Layer::Stirrups: return "ESTRIBOS";
        case Layer::Dimensions: return "COTAS";
        case Layer::Text: return "TEXTO";
        case Layer::Hatch: return "ACHURADO";
    }
    return "0";
}

void Drawing::add(const Drawing& other, double dx, double dy) {
    auto shift = [&](Point p) { return Point{p.x + dx, p.y + dy}; };
    for (Polyline line : other.lines) {
        for (Point& p : line.points) p = shift(p);
        lines.push_back(std::move(line));
    }
    for (Circle c : other.circles) {
        c.centre = shift(c.centre);
        circles.push_back(c);
    }
    for (Text t : other.texts) {
        t.at = shift(t.at);
        t.describesFrom += dx;
        t.describesTo += dx;
        texts.push_back(std::move(t));
    }
    for (Hatch h : other.hatches) {
        for (Point& p : h.boundary) p = shift(p);
        hatches.push_back(std::move(h));
    }
    for (Dimension dimension : other.dimensions) {
        dimension.from = shift(dimension.from);
        dimension.to = shift(dimension.to);
        dimension.lineAt += dimension.vertical ? dx : dy;
        dimensions.push_back(std::move(dimension));
    }
    computeBounds(*this);
}

Drawing explode(const Dimension& dimension) {
    Drawing d;
    const double th = dimension.textHeight;
    const double tick = 0.3 * th;
    // Worked along x and y, then swapped back for a vertical dimension.
    auto put = [&](double along, double across) {
        return dimension.vertical ? Point{across, along} : Point{along, across};
    };
    const double a = dimension.vertical ? dimension.from.y : dimension.from.x;
    const double b = dimension.vertical ? dimension.to.y : dimension.to.x;
    const double line = dimension.lineAt;
    for (const Point& p : {dimension.from, dimension.to}) {
        const double along = dimension.vertical ? p.y : p.x;
        const double across = dimension.vertical ? p.x : p.y;
        if (std::abs(across - line) < 1e-6) continue;
        const double beyond = across < line ? tick : -tick;
        addLine(d, dimension.layer, put(along, across), put(along, line + beyond));
    }
    addLine(d, dimension.layer, put(a, line), put(b, line));
    for (double end : {a, b})
        addLine(d, dimension.layer, put(end - tick, line - tick), put(end + tick, line + tick));
    if (dimension.vertical) {
        addText(d, {line - 0.4 * th, (a + b) / 2 - 0.4 * th}, th, dimension.text, Align::Right,
                dimension.layer);
    } else {
        addText(d, {(a + b) / 2, line + 0.25 * th}, th, dimension.text, Align::Centre,
                dimension.layer);
        d.texts.back().describesFrom = std::min(a, b);
        d.texts.back().describesTo = std::max(a, b);
    }
    computeBounds(d);
    return d;
}

Drawing exploded(const Drawing& drawing) {
    Drawing d = drawing;
    d.dimensions.clear();
    for (const Dimension& dimension : drawing.dimensions) {
        const Drawing parts = explode(dimension);
        d.lines.insert(d.lines.end(), parts.lines.begin(), parts.lines.end());
        d.texts.insert(d.texts.end(), parts.texts.begin(), parts.texts.end());
    }
    d.bounds = drawing.bounds;
    return d;
}

double textWidth(const std::string& text, double height) {
    std::size_t characters = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++characters;
    return 0.72 * height * static_cast<double>(characters);
}

std::string markLabel(const BarMark& mark, char separator) {
    return mark.mark + ": " + barCountText(mark.count, mark.bar) + " L = " +
           metres(mark.length, separator) + " m";
}

Drawing elevation(const BeamDesign& design, const BeamInput& input, const ElevationStyle& style) {
    Drawing d;
    const double vs = style.verticalScale;
    const double th = style.textHeight;
    const double length = design.length * 100;
    const double height = input.h * vs;
    const double stub = std::max(0.5 * height, 2 * th);

    // The columns above and below each support, hatched, and the beam across them.
    for (const auto& [left, right] : supportSpans(design)) {
        for (const auto& [y0, y1] : {std::pair{-stub, 0.0}, std::pair{height, height + stub}}) {
            addRectangle(d, Layer::Concrete, left, y0, right, y1);
            d.hatches.push_back({Layer::Hatch, {{left, y0}, {right, y0}, {right, y1}, {left, y1}}});
        }
    }
    addRectangle(d, Layer::Concrete, 0, 0, length, height);

    // Every mark at its face, layer and lane, hooks turned into the joint.
    const std::vector<int> lane = lanes(design.bars);
    for (std::size_t i = 0; i < design.bars.size(); ++i) {
        const BarMark& m = design.bars[i];
        const bool top = m.face == BeamFace::Top;
        const double inwards = top ? -1 : 1;
        const double faceY = top ? height : 0;
        const double y = faceY + inwards * (m.depth * vs + lane[i] * style.laneStep);
        // An exaggerated height would stretch the tails across the beam: there they are drawn
        // at most h / 4; at true scale they are drawn as long as they are.
        const double tailLength =
            vs > 1 ? std::min(m.hookTail * vs, 0.25 * height) : m.hookTail * vs;
        const double tail = tailLength * inwards;
        Polyline bar{Layer::Reinforcement, {}, false, false, m.mark};
        if (m.hookStart) bar.points.push_back({m.start * 100, y + tail});
        bar.points.push_back({m.start * 100, y});
        bar.points.push_back({m.end * 100, y});
        if (m.hookEnd) bar.points.push_back({m.end * 100, y + tail});
        d.lines.push_back(std::move(bar));
    }

    // Every hoop at its place, a line across the beam inside the cover; crossties share the
    // hoops' places.
    const double cover = std::min(input.settings.clearCover * vs, 0.25 * height);
    for (const beam::StirrupZone& zone : design.zones) {
        const beam::StirrupMark* piece = stirrupMark(design, zone.mark);
        if (piece && piece->kind != beam::StirrupKind::Hoop) continue;
        // The pieces lie evenly from the zone's first to its last.
        const double step = zone.count > 1 ? (zone.end - zone.start) * 100 / (zone.count - 1) : 0;
        for (int i = 0; i < zone.count; ++i) {
            const double x = zone.start * 100 + i * step;
            addLine(d, Layer::Stirrups, {x, cover}, {x, height - cover});
        }
    }

    // The section cuts, each marked above and below the beam with its letter.
    const double cutMark = 1.0 * th;
    for (const SectionCut& cut : sectionCuts(design)) {
        const double x = cut.x * 100;
        for (const double y0 : {height + stub + 0.2 * th, -stub - 0.2 * th - cutMark}) {
            d.lines.push_back({Layer::Text, {{x, y0}, {x, y0 + cutMark}}, false, false, {}});
            addText(d, {x + 0.3 * th, y0 + 0.2 * th}, th, cut.letter);
        }
    }

    // The marks' rows: top marks above the beam, bottom marks below the span dimensions, nearest
    // the beam first. Marks whose rows would not touch share one (left to right, a gap apart).
    const double rowHeight = 3.2 * th;
    const double spanY = -stub - 3.0 * th;
    const double firstTop = height + stub + 2.4 * th;
    // Under each span's dimension, its stirrups as the site reads them: each text centred on
    // its span, in the first row where it touches no other (a long one may run past its span).
    std::vector<double> zoneRowEnds;
    for (std::size_t k = 0; 2 * k + 1 < design.faceX.size(); ++k) {
        const double a = design.faceX[2 * k] * 100, b = design.faceX[2 * k + 1] * 100;
        for (const std::string& line :
             zoneTexts(design, static_cast<int>(k + 1), style.decimalSeparator)) {
            const double half = textWidth(line, th) / 2;
            const double middle = std::max((a + b) / 2, half);
            std::size_t row = 0;
            while (row < zoneRowEnds.size() && zoneRowEnds[row] + th > middle - half) ++row;
            if (row == zoneRowEnds.size()) zoneRowEnds.push_back(-std::numeric_limits<double>::max());
            zoneRowEnds[row] = middle + half;
            addText(d, {middle, spanY - (1.4 + 1.3 * static_cast<double>(row)) * th}, th, line,
                    Align::Centre, Layer::Stirrups);
            d.texts.back().describesFrom = a;
            d.texts.back().describesTo = b;
        }
    }
    const std::size_t zoneLines = zoneRowEnds.size();
    const double zoneBand = zoneLines > 0 ? (0.8 + 1.3 * static_cast<double>(zoneLines)) * th : 0;
    const double firstBottom = spanY - 0.6 * th - zoneBand - rowHeight;
    int bottomRows = 0;
    for (BeamFace face : {BeamFace::Top, BeamFace::Bottom}) {
        std::vector<const BarMark*> marks;
        for (const BarMark& m : design.bars)
            if (m.face == face) marks.push_back(&m);
        std::stable_sort(marks.begin(), marks.end(),
                         [](const BarMark* a, const BarMark* b) { return a->start < b->start; });
        std::vector<double> rowEnds;  // the right end of what each row holds
        for (const BarMark* m : marks) {
            const double label = textWidth(markLabel(*m, style.decimalSeparator), th);
            const double middle = (m->start + m->end) * 50;
            double left = std::min(m->start * 100, middle - label / 2);
            double right = std::max(m->end * 100, middle + label / 2);
            // A cut-off measured from a face outside the bar reaches that face.
            for (double end : {m->start * 100, m->end * 100}) {
                const double face = nearestFace(design, end);
                left = std::min(left, face);
                right = std::max(right, face);
            }
            std::size_t row = 0;
            while (row < rowEnds.size() && rowEnds[row] + th > left) ++row;
            if (row == rowEnds.size()) rowEnds.push_back(0);
            rowEnds[row] = right;
            const double base = face == BeamFace::Top ? firstTop + row * rowHeight
                                                      : firstBottom - row * rowHeight;
            addMarkRow(d, design, *m, base, style);
        }
        if (face == BeamFace::Bottom) bottomRows = static_cast<int>(rowEnds.size());
    }
    double bottomBase = firstBottom - bottomRows * rowHeight;

    // The clear spans, face to face.
    const std::vector<double>& f = design.faceX;
    for (std::size_t k = 0; k + 1 < f.size(); k += 2)
        d.dimensions.push_back({Layer::Dimensions, {f[k] * 100, -stub}, {f[k + 1] * 100, -stub},
                                spanY, false, style.smallTextHeight,
                                "ln = " + metres((f[k + 1] - f[k]), style.decimalSeparator) +
                                    " m"});

    // The notes hold for the whole beam: a view of a part of it keeps them.
    double noteY = bottomBase + rowHeight - 1.5 * th;
    addText(d, {0, noteY}, th,
            "Alzado" + (style.scale.empty() ? std::string() : ", escala " + style.scale) +
                ". Cotas en m; cortes medidos desde la cara del apoyo más cercano.");
    d.texts.back().describesTo = length;
    if (std::abs(vs - 1) > 1e-9) {
        noteY -= 1.5 * th;
        addText(d, {0, noteY}, th,
                "Escala vertical exagerada ×" +
                    formatGeneral(std::round(vs * 10) / 10, style.decimalSeparator));
        d.texts.back().describesTo = length;
    }
    computeBounds(d);
    return d;
}

std::vector<std::string> zoneTexts(const BeamDesign& design, int span, char separator) {
    // The schedule's lines of the span, without the span they name.
    const std::string prefix = "Vano " + std::to_string(span) + ": ";
    std::vector<std::string> texts;
    for (const std::string& line : beam::zoneLines(design, separator))
        if (line.starts_with(prefix)) texts.push_back(line.substr(prefix.size()));
    return texts;
}

std::vector<SectionCut> sectionCuts(const BeamDesign& design) {
    std::vector<SectionCut> cuts;
    const auto supports = supportSpans(design);
    for (std::size_t i = 0; i < supports.size(); ++i) {
        cuts.push_back({(supports[i].first + supports[i].second) / 200,
                        "Apoyo " + std::to_string(i + 1), {}});
        if (i + 1 < supports.size())
            cuts.push_back({(design.faceX[2 * i] + design.faceX[2 * i + 1]) / 2,
                            "Vano " + std::to_string(i + 1) + ", centro", {}});
    }
    for (std::size_t i = 0; i < cuts.size(); ++i) cuts[i].letter = cutLetter(i);
    return cuts;
}

namespace {

// The hoop of a section at scale 1, its top-left corner at (inset, -inset): the closed hoop
// along its bar's centreline, and its two 135° hooks bent round the top-left corner bar into
// the core.
void addHoop(Drawing& d, double b, double h, double inset, double diameter, double hook) {
    addRectangle(d, Layer::Stirrups, inset, -inset, b - inset, -(h - inset));
    addHook(d, {inset + diameter, -inset}, hook, 1, -1);
    addHook(d, {inset, -inset - diameter}, hook, 1, -1);
}

// A crosstie at x: across the section from the top bars to the bottom ones, its 135° hook
// at the top and its 90° hook at the bottom.
void addCrosstie(Drawing& d, double x, double h, double inset, double hook) {
    addLine(d, Layer::Stirrups, {x, -inset}, {x, -(h - inset)});
    addHook(d, {x, -inset}, hook, -1, -1);
    addLine(d, Layer::Stirrups, {x, -(h - inset)}, {x + hook, -(h - inset)});
}

void scaleDrawing(Drawing& d, double scale) {
    if (std::abs(scale - 1) < 1e-12) return;
    auto grow = [&](Point& p) { p = {p.x * scale, p.y * scale}; };
    for (Polyline& line : d.lines)
        for (Point& p : line.points) grow(p);
    for (Circle& c : d.circles) {
        grow(c.centre);
        c.radius *= scale;
    }
}

// "30 × 44" from two measures in cm.
std::string byText(double width, double height, char separator) {
    return formatGeneral(std::round(width * 10) / 10, separator) + " × " +
           formatGeneral(std::round(height * 10) / 10, separator);
}

std::string stirrupShape(const beam::StirrupMark& m, char separator) {
    return m.kind == beam::StirrupKind::Hoop
               ? "estribo " + byText(m.width, m.height, separator)
               : "gancho suplementario " + formatGeneral(std::round(m.height * 10) / 10, separator);
}

}  // namespace

Drawing section(const BeamDesign& design, const BeamInput& input, const SectionCut& cut,
                const TextHeights& text, char separator, double scale) {
    Drawing d;
    const double b = input.b, h = input.h;
    addRectangle(d, Layer::Concrete, 0, 0, b, -h, true);
    const beam::StirrupZone* hoopZone = zoneAt(design, cut.x, beam::StirrupKind::Hoop);
    const beam::StirrupMark* hoop = hoopZone ? stirrupMark(design, hoopZone->mark) : nullptr;
    if (!hoop)
        for (const beam::StirrupMark& m : design.stirrups)
            if (m.kind == beam::StirrupKind::Hoop) {
                hoop = &m;
                break;
            }
    const Bar* stirrup = findBar(hoop ? hoop->bar : input.settings.stirrupDesignation);
    double inset = 0;
    if (stirrup) {
        const double db = stirrup->diameterCm();
        inset = input.settings.clearCover + db / 2;
        const double hook = hoop && hoop->hook > 0 ? hoop->hook : std::max(6 * db, 7.5);
        if (b > 2 * inset && h > 2 * inset) addHoop(d, b, h, inset, db, hook);
    }
    std::string faces[2];
    std::vector<double> topBarsX;
    const std::pair<BeamFace, Face> sides[] = {{BeamFace::Top, Face::Compression},
                                               {BeamFace::Bottom, Face::Tension}};
    for (int i = 0; i < 2; ++i) {
        const FaceAtCut at = faceAtCut(design, sides[i].first, cut.x);
        faces[i] = at.arrangement.layers.empty() ? "—" : formatArrangement(at.arrangement);
        if (at.arrangement.layers.empty()) continue;
        // Across the width the bars sit as the layout spreads them; their depth is the one the
        // designer gave their mark, the depth its strength was computed with.
        const Placement placement =
            placeBars(at.arrangement, sides[i].second, input.settings, b, h);
        const std::vector<double> depths = markDepths(at, placement);
        const bool top = sides[i].first == BeamFace::Top;
        for (std::size_t k = 0; k < placement.bars.size(); ++k) {
            const PlacedBar& bar = placement.bars[k];
            const double y = top ? -depths[k] : -(h - depths[k]);
            d.circles.push_back({Layer::Reinforcement, {bar.x, y}, bar.bar->diameterCm() / 2});
            if (top && bar.layer == 0) topBarsX.push_back(bar.x);
        }
    }
    // Crossties hold the interior top bars nearest the middle, one a crosstie mark there.
    std::string stirrupWords;
    if (hoopZone && hoop)
        stirrupWords = hoop->mark + " " + barName(hoop->bar) + " a " +
                       metres(hoopZone->spacing / 100, separator);
    if (const beam::StirrupZone* tieZone = zoneAt(design, cut.x, beam::StirrupKind::Crosstie)) {
        const beam::StirrupMark* tie = stirrupMark(design, tieZone->mark);
        std::sort(topBarsX.begin(), topBarsX.end(), [&](double p, double q) {
            return std::abs(p - b / 2) < std::abs(q - b / 2);
        });
        const double x = topBarsX.empty() ? b / 2 : topBarsX.front();
        const double tieHook = tie && tie->hook > 0 ? tie->hook : 7.5;
        if (inset > 0 && h > 2 * inset) addCrosstie(d, x, h, inset, tieHook);
        stirrupWords += (stirrupWords.empty() ? "" : " + ") + tieZone->mark;
    }
    scaleDrawing(d, scale);
    const double width = b * scale, height = h * scale;
    addText(d, {width / 2, 0.6 * text.body}, text.title,
            cut.letter + "-" + cut.letter + " (" + cut.title + ")", Align::Centre);
    double y = -height - 1.4 * text.small;
    addText(d, {width / 2, y}, text.small,
            "b × h = " + centimetres(b, separator) + " × " + centimetres(h, separator) + " cm",
            Align::Centre, Layer::Dimensions);
    for (const std::string& words :
         {"Sup.: " + faces[0], "Inf.: " + faces[1],
          stirrupWords.empty() ? std::string() : "Estribos: " + stirrupWords}) {
        if (words.empty()) continue;
        y -= 1.5 * text.small;
        addText(d, {width / 2, y}, text.small, words, Align::Centre);
    }
    computeBounds(d);
    return d;
}

Drawing sections(const BeamDesign& design, const BeamInput& input, const TextHeights& text,
                 char separator, int columns, double scale) {
    std::vector<Drawing> cuts;
    double cellWidth = 0, cellHeight = 0;
    for (const SectionCut& cut : sectionCuts(design)) {
        cuts.push_back(section(design, input, cut, text, separator, scale));
        cellWidth = std::max(cellWidth, cuts.back().bounds.width());
        cellHeight = std::max(cellHeight, cuts.back().bounds.height());
    }
    const std::size_t perRow =
        columns > 0 ? static_cast<std::size_t>(columns) : std::max<std::size_t>(1, cuts.size());
    const double gap = 2 * text.body;
    Drawing all;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        const Drawing& one = cuts[i];
        // Each cut centred in its cell, the tops of a row level.
        const double left = static_cast<double>(i % perRow) * (cellWidth + gap);
        const double top = -static_cast<double>(i / perRow) * (cellHeight + gap);
        all.add(one, left + (cellWidth - one.bounds.width()) / 2 - one.bounds.left,
                top - one.bounds.top);
    }
    return all;
}

const std::vector<const beam::ScheduleColumn*>& scheduleColumns() {
    static const std::vector<const beam::ScheduleColumn*> drawn = [] {
        std::vector<const beam::ScheduleColumn*> columns;
        for (const beam::ScheduleColumn& column : beam::scheduleColumns())
            if (column.places & beam::inScheduleDrawing) columns.push_back(&column);
        return columns;
    }();
    return drawn;
}

const std::vector<std::string>& scheduleHeader() {
    static const std::vector<std::string> header = [] {
        std::vector<std::string> titles;
        for (const beam::ScheduleColumn* column : scheduleColumns())
            titles.emplace_back(column->header);
        return titles;
    }();
    return header;
}

namespace {

// A stirrup mark's cell under a column of the bars' schedule: the columns that describe a bar
// as cut (mark, bar, count, shape, length, mass) describe a stirrup alike; its hook's
// extension stands under the leg and its bend under the bend; it has no straight length.
std::string stirrupCell(const beam::ScheduleColumn& column, const beam::StirrupMark& m,
                        char separator) {
    const std::string_view header = column.header;
    if (header == "Marca") return m.mark;
    if (header == "Barra") return barName(m.bar);
    if (header == "Cantidad") return std::to_string(m.count);
    if (header == "Forma") return stirrupShape(m, separator);
    if (header.starts_with("Longitud")) return metres(m.length, separator);
    if (header.starts_with("Pata")) return formatGeneral(std::round(m.hook * 10) / 10, separator);
    if (header.starts_with("Doblez")) return formatGeneral(std::round(m.bend * 10) / 10, separator);
    if (header.starts_with("Masa")) return beam::massText(m.mass, separator);
    return "-";
}

}  // namespace

std::vector<std::vector<std::string>> scheduleCells(const BeamDesign& design, char separator) {
    std::vector<std::vector<std::string>> rows;
    for (const BarMark& m : design.bars) {
        std::vector<std::string>& row = rows.emplace_back();
        for (const beam::ScheduleColumn* column : scheduleColumns())
            row.push_back(column->cell(m, separator));
    }
    for (const beam::StirrupMark& m : design.stirrups) {
        std::vector<std::string>& row = rows.emplace_back();
        for (const beam::ScheduleColumn* column : scheduleColumns())
            row.push_back(stirrupCell(*column, m, separator));
    }
    return rows;
}

Drawing schedule(const BeamDesign& design, const TextHeights& text, char separator) {
    Drawing d;
    const double th = text.body;
    std::vector<std::vector<std::string>> rows = scheduleCells(design, separator);
    rows.insert(rows.begin(), scheduleHeader());
    const std::vector<const beam::ScheduleColumn*>& columns = scheduleColumns();
    std::vector<double> widths(columns.size(), 0);
    for (const auto& row : rows)
        for (std::size_t c = 0; c < columns.size(); ++c)
            widths[c] = std::max(widths[c], textWidth(row[c], th) + th);
    double total = 0;
    for (double w : widths) total += w;

    const double rowHeight = 1.6 * th;
    const std::vector<std::string> heading = beam::scheduleHeading(design, separator);
    addText(d, {0, 0.5 * th + 1.6 * text.title}, text.title, "Despiece: " + heading[0]);
    addText(d, {0, 0.5 * th}, th, heading[1]);
    double y = 0;
    addLine(d, Layer::Text, {0, y}, {total, y});
    for (const auto& row : rows) {
        double x = 0;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const bool right = columns[c]->align == beam::ColumnAlign::Right;
            addText(d, {right ? x + widths[c] - 0.5 * th : x + 0.5 * th, y - rowHeight + 0.45 * th},
                    th, row[c], right ? Align::Right : Align::Left);
            x += widths[c];
        }
        y -= rowHeight;
        addLine(d, Layer::Text, {0, y}, {total, y});
    }
    double x = 0;
    for (std::size_t c = 0; c <= columns.size(); ++c) {
        addLine(d, Layer::Text, {x, 0}, {x, y});
        if (c < columns.size()) x += widths[c];
    }
    for (const auto& [bar, mass] : design.massByBar) {
        y -= rowHeight;
        addText(d, {0, y}, th,
                "Masa " + barName(bar) + ": " + beam::massText(mass, separator) + " kg");
    }
    if (design.stirrupMass > 0) {
        y -= rowHeight;
        addText(d, {0, y}, th,
                "Masa de estribos: " + beam::massText(design.stirrupMass, separator) + " kg");
    }
    y -= rowHeight;
    addText(d, {0, y}, th, "Masa total: " + beam::massText(design.totalMass, separator) + " kg");
    computeBounds(d);
    return d;
}

}  // namespace engine::drawing
