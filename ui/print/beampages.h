#pragma once

#include <QFont>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>
#include <vector>

#include "engine/beam/beam.h"

class QPainter;
class QPaintDevice;

namespace printing {

// One page of a beam's part of the calculation sheet: its orientation, its title (drawn by
// `paint` at the top of the body, e.g. "Alzado (1 de 2): x = 0.00 a 11.80 m") and what it
// paints inside the body, the printable area below the sheet's header. Nothing is painted
// outside the rectangle it is given.
struct BeamPage {
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QString title;
    std::function<void(QPainter&, const QRectF& body)> paint;
};

// The beam's pages: the elevation on landscape pages (as many as the beam needs, at most about
// 12.5 m of beam a page, cut at the centres of supports), the sections, the envelope plot
// (landscape), the bar schedule with the masses, and the checks ("Cumple" / "No cumple",
// failures in red) and notes on as many pages as they take. `portraitBody` is the body of a
// portrait page in `device` pixels (the checks are paginated to it); `font` is the sheet's body
// font, measured on `device`.
std::vector<BeamPage> beamPages(const engine::beam::BeamDesign& design,
                                const engine::beam::BeamInput& input, char decimalSeparator,
                                const QSizeF& portraitBody, const QFont& font,
                                QPaintDevice* device);

}  // namespace printing
