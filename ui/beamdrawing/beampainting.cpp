#include "beamdrawing/beampainting.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "common/enginetext.h"
#include "engine/numbers.h"

namespace beampainting {
namespace {

namespace dr = engine::drawing;

// The colours of the layout window's section drawing, and one each for the other layers.
const QColor concreteFill(228, 228, 228);
const QColor barColor(32, 32, 32);
const QColor elevationBarColor(176, 0, 0);
const QColor stirrupColor(0, 0, 128);
const QColor dimensionColor(0, 96, 0);
const QColor hatchColor(96, 96, 96);

QColor layerColor(dr::Layer layer) {
    switch (layer) {
        case dr::Layer::Reinforcement: return elevationBarColor;
        case dr::Layer::Stirrups: return stirrupColor;
        case dr::Layer::Dimensions: return dimensionColor;
        case dr::Layer::Hatch: return hatchColor;
        case dr::Layer::Concrete:
        case dr::Layer::Text: break;
    }
    return Qt::black;
}

// The painter font's text height in device pixels: the size the drawings' texts take.
double fontHeight(const QPainter& painter) {
    return QFontMetricsF(painter.font(), painter.device()).height() * 0.72;
}

// Draws the geometry fitted into the area; a positive `maxScale` (device pixels per unit)
// keeps drawings made of texts from growing past the painter's font size.
// With a `window`, only that part of the drawing is shown: lines are clipped at the area's
// edges and a text is left out unless its anchor, or the stretch it describes, is in the window. Any text that would run
// past the area's sides (fonts differ from the widths estimated) is moved inside it.
void paintFitted(QPainter& painter, const QRectF& area, const dr::Drawing& withDimensions,
                 double maxScale, const dr::Box* window = nullptr, bool alignTop = false) {
    const dr::Drawing drawing = dr::exploded(withDimensions);
    const dr::Box& box = window ? *window : drawing.bounds;
    if (!(box.width() > 0) || !(box.height() > 0) || area.isEmpty()) return;
    double scale = std::min(area.width() / box.width(), area.height() / box.height());
    if (maxScale > 0) scale = std::min(scale, maxScale);
    const double left = area.left() + (area.width() - box.width() * scale) / 2;
    const double top = alignTop ? area.top() : area.top() + (area.height() - box.height() * scale) / 2;
    auto at = [&](dr::Point p) {
        return QPointF(left + (p.x - box.left) * scale, top + (box.top - p.y) * scale);
    };
    auto polygon = [&](const std::vector<dr::Point>& points) {
        QPolygonF result;
        for (const dr::Point& p : points) result << at(p);
        return result;
    };

    // A window's drawing is clipped where the window ends, not merely at the area: a part of the
    // beam shows nothing that lies beyond it, and its texts stay within it.
    const QRectF visible = window ? QRectF(QPointF(at({box.left, box.top}).x(), area.top()),
                                         QPointF(at({box.right, box.top}).x(), area.bottom()))
                                  : area;
    painter.save();
    if (window) painter.setClipRect(visible);
    const double line = std::max(0.5, fontHeight(painter) / 12);
    for (const dr::Hatch& hatch : drawing.hatches) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QBrush(Qt::white));
        painter.drawPolygon(polygon(hatch.boundary));
        painter.setBrush(QBrush(hatchColor, Qt::BDiagPattern));
        painter.drawPolygon(polygon(hatch.boundary));
    }
    for (const dr::Polyline& poly : drawing.lines) {
        const bool bar = poly.layer == dr::Layer::Reinforcement;
        const bool stirrup = poly.layer == dr::Layer::Stirrups;
        painter.setPen(QPen(layerColor(poly.layer), bar ? line * 2.2 : stirrup ? line * 1.6 : line,
                            Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.setBrush(poly.filled ? QBrush(concreteFill) : QBrush(Qt::NoBrush));
        if (poly.closed)
            painter.drawPolygon(polygon(poly.points));
        else
            painter.drawPolyline(polygon(poly.points));
    }
    painter.setPen(QPen(Qt::black, line / 2));
    painter.setBrush(barColor);
    for (const dr::Circle& circle : drawing.circles)
        painter.drawEllipse(at(circle.centre), circle.radius * scale, circle.radius * scale);

    painter.setBrush(Qt::NoBrush);
    QFont font = painter.font();
    const double dpi = painter.device() ? painter.device()->logicalDpiY() : 96;
    for (const dr::Text& text : drawing.texts) {
        if (window && (std::max(text.at.x, text.describesTo) < box.left ||
                       std::min(text.at.x, text.describesFrom) > box.right))
            continue;
        const double pixels = text.height * scale / 0.72;
        if (!(pixels >= 1)) continue;
        font.setPointSizeF(pixels * 72 / dpi * 0.75);
        painter.setFont(font);
        painter.setPen(layerColor(text.layer));
        const QString shown = fromEngine(text.text);
        double width = QFontMetricsF(font, painter.device()).horizontalAdvance(shown);
        // A text wider than what is shown (a long zone line on a page's part of the beam) is
        // set smaller rather than cut.
        if (width > visible.width() && width > 0) {
            font.setPointSizeF(font.pointSizeF() * visible.width() / width * 0.98);
            painter.setFont(font);
            width = QFontMetricsF(font, painter.device()).horizontalAdvance(shown);
        }
        QPointF origin = at(text.at);
        if (text.align == dr::Align::Centre) origin.rx() -= width / 2;
        if (text.align == dr::Align::Right) origin.rx() -= width;
        origin.rx() = std::max(visible.left(), std::min(origin.x(), visible.right() - width));
        painter.drawText(origin, shown);
    }
    painter.restore();
}

// A readable step for an axis spanning `range`: 1, 2 or 5 times a power of ten.
double niceStep(double range, int ticks) {
    if (!(range > 0)) return 1;
    const double raw = range / std::max(1, ticks);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * power) return factor * power;
    return 10 * power;
}

// The polyline without the points that lie on the straight line through their neighbours
// (within a quarter pixel): the profile has a point every 5 cm, mostly along straight stretches,
// and dashed antialiased lines cost by the point.
QPolygonF withoutStraightRuns(const QPolygonF& points) {
    if (points.size() < 3) return points;
    QPolygonF kept;
    kept << points.front();
    for (qsizetype i = 1; i + 1 < points.size(); ++i) {
        const QPointF a = kept.back(), b = points[i], c = points[i + 1];
        const double length = std::hypot(c.x() - a.x(), c.y() - a.y());
        const double cross = std::abs((b.x() - a.x()) * (c.y() - a.y()) - (b.y() - a.y()) * (c.x() - a.x()));
        if (length > 0 && cross / length <= 0.25) continue;
        kept << b;
    }
    kept << points.back();
    return kept;
}

}  // namespace

void paintDrawing(QPainter& painter, const QRectF& area, const dr::Drawing& drawing) {
    paintFitted(painter, area, drawing, 0);
}

void paintElevation(QPainter& painter, const QRectF& area, const engine::beam::BeamDesign& design,
                    const engine::beam::BeamInput& input, char separator) {
    paintElevationPart(painter, area, design, input, separator, 0, design.length);
}

void paintElevationPart(QPainter& painter, const QRectF& area,
                        const engine::beam::BeamDesign& design,
                        const engine::beam::BeamInput& input, char separator, double from,
                        double to) {
    const double length = (to - from) * 100;
    if (!(length > 0) || !(input.h > 0) || area.isEmpty()) return;
    const double pixels = fontHeight(painter);
    // Lengths take the width; texts keep the font's size; the height grows until the beam is
    // about a sixth of the area (rounded to a whole factor).
    const double scale = area.width() / (length * 1.1);
    dr::ElevationStyle style;
    style.textHeight = pixels / scale;
    style.smallTextHeight = 0.8 * style.textHeight;
    style.laneStep = std::max(2.0, pixels * 0.3) / scale;
    style.decimalSeparator = separator;
    const double target = area.height() / 6;
    style.verticalScale = std::max(1.0, std::floor(target / (input.h * scale)));
    const bool whole = from <= 0 && to >= design.length;
    dr::Drawing drawing = dr::elevation(design, input, style);
    // On paper the drawing states the scale its lengths come out at (the note's width does
    // not change the fit).
    if (dynamic_cast<const QPagedPaintDevice*>(painter.device())) {
        const dr::Box& box = drawing.bounds;
        const double width = whole ? box.width() : length;
        const double drawn = std::min(area.width() / width, area.height() / box.height());
        const double dpi = painter.device()->logicalDpiX();
        if (drawn > 0 && dpi > 0) {
            style.scale = "1:" + std::to_string(std::lround(dpi / (2.54 * drawn)));
            drawing = dr::elevation(design, input, style);
        }
    }
    if (whole) {
        paintFitted(painter, area, drawing, 0);
        return;
    }
    const dr::Box window{from * 100, drawing.bounds.bottom, to * 100, drawing.bounds.top};
    paintFitted(painter, area, drawing, 0, &window);
}

void paintSections(QPainter& painter, const QRectF& area, const engine::beam::BeamDesign& design,
                   const engine::beam::BeamInput& input, char separator) {
    if (area.isEmpty() || !(input.b > 0) || !(input.h > 0)) return;
    const double pixels = fontHeight(painter);
    const int count = static_cast<int>(dr::sectionCuts(design).size());
    // The grid that draws the sections largest; in each, the texts' size depends on the scale
    // and the scale on the texts: a few rounds settle it.
    dr::Drawing best;
    double bestScale = 0;
    for (int columns = 1; columns <= count; ++columns) {
        double textHeight = 4;
        dr::Drawing drawing;
        double scale = 0;
        for (int round = 0; round < 4; ++round) {
            drawing = dr::sections(design, input, textHeight, separator, columns);
            const dr::Box& box = drawing.bounds;
            if (!(box.width() > 0) || !(box.height() > 0)) return;
            scale = std::min(area.width() / box.width(), area.height() / box.height());
            textHeight = std::clamp(pixels / scale, 0.5, input.h / 4);
        }
        if (scale > bestScale) {
            bestScale = scale;
            best = drawing;
        }
    }
    paintFitted(painter, area, best, 0);
}

void paintSchedule(QPainter& painter, const QRectF& area, const engine::beam::BeamDesign& design,
                   char separator) {
    // The table, and under it the bending shapes in as many columns as the table is wide.
    const double textHeight = 10;
    dr::Drawing sheet = dr::schedule(design, textHeight, separator);
    int columns = 1;
    for (int c = 8; c > 1; --c)
        if (dr::bendingShapes(design, textHeight, separator, c).bounds.width() <=
            sheet.bounds.width()) {
            columns = c;
            break;
        }
    const dr::Drawing shapes = dr::bendingShapes(design, textHeight, separator, columns);
    sheet.add(shapes, sheet.bounds.left - shapes.bounds.left,
              sheet.bounds.bottom - 2 * textHeight - shapes.bounds.top);
    paintFitted(painter, area, sheet, fontHeight(painter) / textHeight, nullptr, true);
}

namespace {

// A curve of the plots along the beam: its value at a profile point as plotted (upwards
// positive), its pen and its name in the legend.
struct Curve {
    std::function<double(const engine::beam::ProfilePoint&)> value;
    QColor colour;
    Qt::PenStyle style;
    const char* name;
};

// Curves along the beam in a framed plot: the supports shaded, a grid with its figures (shown
// negated above the axis when `upIsNegative`), x in m under it, the axis title beside it and
// the legend above it.
void paintPlot(QPainter& painter, const QRectF& area, const engine::beam::BeamDesign& design,
               char separator, const std::vector<Curve>& curves, const QString& axisTitle,
               bool upIsNegative) {
    const auto& profile = design.profile;
    if (profile.empty() || !(design.length > 0) || area.isEmpty()) return;
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double text = metrics.height();

    double up = 0, down = 0;
    for (const auto& p : profile)
        for (const Curve& curve : curves) {
            up = std::max(up, curve.value(p));
            down = std::max(down, -curve.value(p));
        }
    if (!(up + down > 0)) up = 1;
    const double yStep = niceStep(up + down, 6);
    up = std::ceil(up / yStep) * yStep;
    down = std::ceil(down / yStep) * yStep;

    const QString widest = fromEngine(engine::formatGeneral(-std::max(up, down), separator));
    const QRectF plot = area.adjusted(metrics.horizontalAdvance(widest) + 2.2 * text, 2.2 * text,
                                      -text, -2.6 * text);
    if (!(plot.width() > 0) || !(plot.height() > 0)) return;
    auto px = [&](double x) { return plot.left() + x / design.length * plot.width(); };
    auto py = [&](double value) { return plot.top() + (up - value) / (up + down) * plot.height(); };

    painter.save();
    painter.setClipRect(area);
    const double line = std::max(1.0, text / 14);
    // The supports, shaded across the plot.
    const std::vector<double>& f = design.faceX;
    std::vector<std::pair<double, double>> supports;
    if (f.size() >= 2) {
        supports.emplace_back(0, f.front());
        for (std::size_t k = 1; k + 1 < f.size(); k += 2) supports.emplace_back(f[k], f[k + 1]);
        supports.emplace_back(f.back(), design.length);
    }
    for (const auto& [a, b] : supports)
        painter.fillRect(QRectF(QPointF(px(a), plot.top()), QPointF(px(b), plot.bottom())),
                         QColor(235, 235, 235));

    // Grid and tick labels.
    for (double m = -down; m <= up + 1e-9; m += yStep) {
        painter.setPen(QPen(QColor(210, 210, 210), line / 2));
        painter.drawLine(QPointF(plot.left(), py(m)), QPointF(plot.right(), py(m)));
        painter.setPen(Qt::black);
        const double shown = std::abs(m) < 1e-9 ? 0 : upIsNegative ? -m : m;
        painter.drawText(QRectF(area.left(), py(m) - text / 2, plot.left() - area.left() - 0.3 * text,
                                text),
                         Qt::AlignRight | Qt::AlignVCenter,
                         fromEngine(engine::formatGeneral(shown, separator)));
    }
    const double xStep = niceStep(design.length, 8);
    for (double x = 0; x <= design.length + 1e-9; x += xStep) {
        painter.setPen(QPen(QColor(210, 210, 210), line / 2));
        painter.drawLine(QPointF(px(x), plot.top()), QPointF(px(x), plot.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(px(x) - 3 * text, plot.bottom() + 0.2 * text, 6 * text, text),
                         Qt::AlignHCenter | Qt::AlignTop,
                         fromEngine(engine::formatGeneral(std::round(x * 100) / 100, separator)));
    }
    painter.setPen(QPen(Qt::black, line));
    painter.drawRect(plot);
    painter.drawLine(QPointF(plot.left(), py(0)), QPointF(plot.right(), py(0)));
    painter.drawText(QRectF(plot.left(), plot.bottom() + 1.3 * text, plot.width(), text),
                     Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("x (m)"));
    painter.save();
    painter.translate(area.left() + 0.1 * text, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), text), Qt::AlignCenter,
                     axisTitle);
    painter.restore();

    double legendX = plot.left();
    for (const Curve& curve : curves) {
        QPolygonF points;
        for (const auto& p : profile) points << QPointF(px(p.x), py(curve.value(p)));
        points = withoutStraightRuns(points);
        painter.setPen(QPen(curve.colour, line * 1.6, curve.style));
        painter.drawPolyline(points);
        const double legendY = area.top() + text;
        painter.drawLine(QPointF(legendX, legendY), QPointF(legendX + 2 * text, legendY));
        painter.setPen(Qt::black);
        const QString name = QString::fromUtf8(curve.name);
        painter.drawText(QPointF(legendX + 2.4 * text, legendY + metrics.ascent() / 2.5), name);
        legendX += 3.4 * text + metrics.horizontalAdvance(name);
    }
    painter.restore();
}

bool hasShear(const engine::beam::BeamDesign& design) {
    return std::any_of(design.profile.begin(), design.profile.end(),
                       [](const auto& p) { return p.vu > 0 || p.phiVn > 0; });
}

}  // namespace

void paintEnvelope(QPainter& painter, const QRectF& area, const engine::beam::BeamDesign& design,
                   char separator) {
    using P = engine::beam::ProfilePoint;
    const std::vector<Curve> moments = {
        {[](const P& p) { return p.muNeg; }, QColor(200, 0, 0), Qt::SolidLine, "Mu−"},
        {[](const P& p) { return -p.muPos; }, QColor(0, 0, 200), Qt::SolidLine, "Mu+"},
        {[](const P& p) { return p.phiMnNeg; }, QColor(120, 0, 0), Qt::DashLine, "φMn−"},
        {[](const P& p) { return -p.phiMnPos; }, QColor(0, 0, 120), Qt::DashLine, "φMn+"},
    };
    const QString title = QStringLiteral("Mu (Tn-m); negativo arriba");
    if (!hasShear(design)) {
        paintPlot(painter, area, design, separator, moments, title, true);
        return;
    }
    const double split = area.top() + area.height() * 0.58;
    paintPlot(painter, QRectF(area.topLeft(), QPointF(area.right(), split)), design, separator,
              moments, title, true);
    paintShear(painter, QRectF(QPointF(area.left(), split), area.bottomRight()), design,
               separator);
}

void paintShear(QPainter& painter, const QRectF& area, const engine::beam::BeamDesign& design,
                char separator) {
    using P = engine::beam::ProfilePoint;
    const std::vector<Curve> shear = {
        {[](const P& p) { return p.vu; }, QColor(160, 80, 0), Qt::SolidLine, "Vu"},
        {[](const P& p) { return p.phiVn; }, QColor(0, 110, 0), Qt::DashLine, "φVn"},
    };
    paintPlot(painter, area, design, separator, shear, QStringLiteral("V (Tn)"), false);
}

void paintBendingShapes(QPainter& painter, const QRectF& area,
                        const engine::beam::BeamDesign& design, char separator) {
    const double textHeight = 10;
    // As many sketches a row as keep the texts at the painter's font size.
    const double pixels = fontHeight(painter);
    int columns = 1;
    for (int c = 8; c >= 1; --c) {
        const dr::Drawing grid = dr::bendingShapes(design, textHeight, separator, c);
        if (grid.bounds.width() * pixels / textHeight <= area.width()) {
            columns = c;
            break;
        }
    }
    paintFitted(painter, area, dr::bendingShapes(design, textHeight, separator, columns),
                pixels / textHeight, nullptr, true);
}

}  // namespace beampainting
