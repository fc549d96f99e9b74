#include "mainwindow/shapewidget.h"

#include <QPainter>
#include <QPen>

ShapeWidget::ShapeWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void ShapeWidget::setCircle(bool circle) {
    circle_ = circle;
    update();
}

void ShapeWidget::setBorderColor(const QColor& color) {
    borderColor_ = color;
    update();
}

void ShapeWidget::setBorderWidth(int width) {
    borderWidth_ = qMax(0, width);
    update();
}

void ShapeWidget::setFillColor(const QColor& color) {
    fillColor_ = color;
    update();
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, circle_);
    // The border lies inside the geometry, as a frame drawn inward.
    const qreal half = borderWidth_ / 2.0;
    const QRectF area = QRectF(rect()).adjusted(half, half, -half, -half);
    painter.setBrush(fillColor_);
    if (borderWidth_ > 0)
        painter.setPen(
            QPen(borderColor_, borderWidth_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    else
        painter.setPen(Qt::NoPen);
    if (circle_)
        painter.drawEllipse(area);
    else
        painter.drawRect(area);
}
