#include "beamwindow/beamplot.h"

#include <QPainter>

BeamPlot::BeamPlot(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void BeamPlot::setPainter(Painter painter) {
    painter_ = std::move(painter);
    update();
}

void BeamPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    if (painter_) painter_(painter, QRectF(rect()).adjusted(6, 6, -6, -6));
}
