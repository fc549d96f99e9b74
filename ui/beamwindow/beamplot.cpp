#include "beamwindow/beamplot.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

constexpr double largestZoom = 40;
constexpr double zoomStep = 1.25;
constexpr double margin = 6;

}  // namespace

BeamPlot::BeamPlot(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void BeamPlot::setPainter(Painter painter) {
    painter_ = std::move(painter);
    update();
}

void BeamPlot::setOutOfDate(const QString& message) {
    if (message == outOfDate_) return;
    outOfDate_ = message;
    update();
}

QRectF BeamPlot::baseArea() const {
    return QRectF(rect()).adjusted(margin, margin, -margin, -margin);
}

void BeamPlot::zoomIn() {
    zoomAt(QRectF(rect()).center(), zoomStep);
}

void BeamPlot::zoomOut() {
    zoomAt(QRectF(rect()).center(), 1 / zoomStep);
}

void BeamPlot::fit() {
    zoom_ = 1;
    offset_ = {};
    unsetCursor();
    update();
}

void BeamPlot::zoomAt(const QPointF& at, double factor) {
    const double zoom = std::clamp(zoom_ * factor, 1.0, largestZoom);
    const QPointF corner = baseArea().topLeft();
    const QPointF underCursor = (at - corner - offset_) / zoom_;
    offset_ = at - corner - underCursor * zoom;
    zoom_ = zoom;
    keepDrawingInView();
    if (zoom_ > 1)
        setCursor(Qt::OpenHandCursor);
    else
        unsetCursor();
    update();
}

// The zoomed drawing always covers the widget: no pan past its edges.
void BeamPlot::keepDrawingInView() {
    const QSizeF size = baseArea().size();
    offset_.setX(std::clamp(offset_.x(), size.width() * (1 - zoom_), 0.0));
    offset_.setY(std::clamp(offset_.y(), size.height() * (1 - zoom_), 0.0));
}

void BeamPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    const QRectF base = baseArea();
    if (painter_) {
        painter.save();
        painter.setClipRect(rect());
        painter_(painter, QRectF(base.topLeft() + offset_, base.size() * zoom_));
        painter.restore();
    }
    if (outOfDate_.isEmpty()) return;
    painter.fillRect(rect(), QColor(255, 255, 255, 190));
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(QColor(192, 0, 0));
    painter.drawText(base.adjusted(12, 12, -12, -12),
                     Qt::AlignTop | Qt::AlignHCenter | Qt::TextWordWrap, outOfDate_);
}

void BeamPlot::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0) return;
    zoomAt(event->position(), std::pow(zoomStep, steps));
    event->accept();
}

void BeamPlot::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || zoom_ <= 1) return QWidget::mousePressEvent(event);
    dragging_ = true;
    dragFrom_ = event->position();
    setCursor(Qt::ClosedHandCursor);
}

void BeamPlot::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return QWidget::mouseMoveEvent(event);
    offset_ += event->position() - dragFrom_;
    dragFrom_ = event->position();
    keepDrawingInView();
    update();
}

void BeamPlot::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_) return QWidget::mouseReleaseEvent(event);
    dragging_ = false;
    setCursor(Qt::OpenHandCursor);
}

void BeamPlot::resizeEvent(QResizeEvent* event) {
    keepDrawingInView();
    QWidget::resizeEvent(event);
}
