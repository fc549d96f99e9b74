#include "drawing/sectiondrawing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "engine/numbers.h"

namespace {

const QColor concreteColor(228, 228, 228);
const QColor stirrupColor(0, 0, 128);
const QColor barColor(32, 32, 32);
const QColor centroidColor(192, 0, 0);

QString lengthLabel(const char* name, double value) {
    const char separator = decimalSeparator();
    return QStringLiteral("%1 = %2 cm")
        .arg(QLatin1String(name),
             fromEngine(engine::formatGeneral(std::round(value * 100) / 100, separator)));
}

// A filled arrowhead at `tip`, pointing along `direction` (a unit vector).
void drawArrowhead(QPainter& painter, QPointF tip, QPointF direction, double size) {
    const QPointF normal(-direction.y(), direction.x());
    const QPointF base = tip - direction * size;
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(base + normal * size * 0.35);
    head.lineTo(base - normal * size * 0.35);
    head.closeSubpath();
    painter.fillPath(head, painter.pen().color());
}

// A dimension line from `from` to `to` with arrowheads at both ends and its label centred
// beside it, turned to read along a vertical line.
void drawDimension(QPainter& painter, QPointF from, QPointF to, const QString& label, double arrow,
                   bool labelBefore) {
    painter.drawLine(from, to);
    const QPointF along = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    drawArrowhead(painter, from, -along, arrow);
    drawArrowhead(painter, to, along, arrow);

    const QFontMetricsF metrics(painter.font(), painter.device());
    const double width = metrics.horizontalAdvance(label);
    const double height = metrics.height();
    const QPointF middle = (from + to) / 2;
    painter.save();
    painter.translate(middle);
    const bool vertical = std::abs(along.y()) > std::abs(along.x());
    if (vertical) painter.rotate(-90);
    const double offset = labelBefore ? -height - arrow * 0.3 : arrow * 0.3;
    painter.drawText(QRectF(-width / 2, offset, width, height), Qt::AlignCenter, label);
    painter.restore();
}

}  // namespace

SectionDrawing::SectionDrawing(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SectionDrawing::setSection(const SectionGeometry& section) {
    section_ = section;
    update();
}

void SectionDrawing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    paint(painter, QRectF(rect()));
}

void SectionDrawing::paint(QPainter& painter, const QRectF& area) const {
    paintSection(painter, area, section_);
}

SectionGeometry sectionGeometry(const engine::CompletedDesign& design,
                                const engine::LayoutSettings& settings,
                                const engine::BarsCheck* check) {
    SectionGeometry geometry;
    geometry.b = design.input.b;
    geometry.h = design.input.h;
    geometry.clearCover = settings.clearCover;
    if (const engine::Bar* stirrup = engine::findBar(settings.stirrupDesignation))
        geometry.stirrupDiameter = stirrup->diameterCm();
    geometry.d = design.run.d();
    if (check) {
        geometry.d = check->tension.centroid;
        geometry.tensionBars = check->tension.bars;
        geometry.compressionBars = check->compression.bars;
    }
    return geometry;
}

void paintSection(QPainter& painter, const QRectF& area, const SectionGeometry& s) {
    if (!(s.b > 0) || !(s.h > 0)) return;

    const QFontMetricsF metrics(painter.font(), painter.device());
    const double text = metrics.height();
    const double gap = text * 0.8;  // between the section and a dimension line
    const double arrow = text * 0.45;
    // Room for the dimension lines and their labels: h on the left, d on the right, b below.
    const double left = gap + 2 * text;
    const double right = gap + 2 * text;
    const double top = text * 0.5;
    const double bottom = gap + 2 * text;
    const double scale =
        std::min((area.width() - left - right) / s.b, (area.height() - top - bottom) / s.h);
    if (!(scale > 0)) return;

    const QSizeF size(s.b * scale, s.h * scale);
    const QPointF origin(area.left() + left + (area.width() - left - right - size.width()) / 2,
                         area.top() + top + (area.height() - top - bottom - size.height()) / 2);
    auto at = [&](double x, double depth) { return origin + QPointF(x * scale, depth * scale); };

    painter.save();
    const double line = std::max(1.0, text / 14);
    const QRectF outline(origin, size);
    painter.setPen(QPen(Qt::black, line));
    painter.setBrush(concreteColor);
    painter.drawRect(outline);

    if (s.stirrupDiameter > 0) {
        // The stirrup's centre line, drawn with the stirrup's own width.
        const double inset = (s.clearCover + s.stirrupDiameter / 2) * scale;
        const QRectF stirrup = outline.adjusted(inset, inset, -inset, -inset);
        if (stirrup.width() > 0 && stirrup.height() > 0) {
            painter.setPen(QPen(stirrupColor, s.stirrupDiameter * scale, Qt::SolidLine, Qt::FlatCap,
                                Qt::MiterJoin));
            painter.setBrush(Qt::NoBrush);
            const double bend = s.stirrupDiameter * scale;
            painter.drawRoundedRect(stirrup, bend, bend);
        }
    }

    painter.setPen(QPen(Qt::black, line / 2));
    painter.setBrush(barColor);
    for (const auto* bars : {&s.tensionBars, &s.compressionBars}) {
        for (const engine::PlacedBar& bar : *bars) {
            const double radius = bar.bar->diameterCm() / 2 * scale;
            painter.drawEllipse(at(bar.x, bar.depth), radius, radius);
        }
    }

    if (s.d > 0 && s.d < s.h) {
        // The level of d across the section, for the dimension on the right.
        painter.setPen(QPen(centroidColor, line, Qt::DashLine));
        painter.drawLine(at(0, s.d), at(s.b, s.d));
    }

    painter.setPen(QPen(Qt::black, line));
    const double bY = outline.bottom() + gap;
    painter.drawLine(outline.bottomLeft(), QPointF(outline.left(), bY + arrow));
    painter.drawLine(outline.bottomRight(), QPointF(outline.right(), bY + arrow));
    drawDimension(painter, QPointF(outline.left(), bY), QPointF(outline.right(), bY),
                  lengthLabel("b", s.b), arrow, false);

    const double hX = outline.left() - gap;
    painter.drawLine(outline.topLeft(), QPointF(hX - arrow, outline.top()));
    painter.drawLine(outline.bottomLeft(), QPointF(hX - arrow, outline.bottom()));
    drawDimension(painter, QPointF(hX, outline.bottom()), QPointF(hX, outline.top()),
                  lengthLabel("h", s.h), arrow, true);

    if (s.d > 0 && s.d < s.h) {
        const double dX = outline.right() + gap;
        const QPointF level = at(s.b, s.d);
        painter.drawLine(outline.topRight(), QPointF(dX + arrow, outline.top()));
        painter.drawLine(level, QPointF(dX + arrow, level.y()));
        drawDimension(painter, QPointF(dX, level.y()), QPointF(dX, outline.top()),
                      lengthLabel("d", s.d), arrow, false);
    }
    painter.restore();
}
