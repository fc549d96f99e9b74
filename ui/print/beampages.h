#pragma once

#include <QFont>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

#include "engine/beam/beam.h"
#include "engine/drawing/beamdrawing.h"

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

// The bodies of the sheet's pages in `device` pixels, and the sheet's body font measured on it.
struct PageBodies {
    QSizeF portrait, landscape;
    QFont font;
    QPaintDevice* device = nullptr;
};

// The beam's pages: its data (project, name with axis and level, code and class, section and
// materials, spans with their loads and moments or stations, assumptions), the demand and
// strength at the support faces (landscape), the elevation on landscape pages (as many as the
// beam needs, at most about 12.5 m of beam a page, cut at the centres of supports), the
// sections, both drawings at a standard scale their titles state, the envelope plot
// (landscape), the bar schedule with the masses, and the checks with their articles ("Cumple" /
// "No cumple", failures in red). `projectName` names the project (empty: none).
std::vector<BeamPage> beamPages(const engine::beam::BeamDesign& design,
                                const engine::beam::BeamInput& input, const QString& projectName,
                                char decimalSeparator, const PageBodies& bodies);

// A line of the index of a project's beams.
struct BeamIndexRow {
    QString name, description, group;  // group: empty for a beam designed alone
    bool designed = false;
    bool passes = false;
    double mass = 0;  // kg of steel, longitudinal bars and stirrups
};

// The index of a project's beams on portrait pages: each beam's name, description, group,
// "Cumple" / "No cumple" (or "Sin diseño") and kilograms of steel.
std::vector<BeamPage> beamIndexPages(const std::vector<BeamIndexRow>& rows,
                                     char decimalSeparator, const PageBodies& bodies);

// A drawing at a standard scale: its geometry, the scale's denominator (1:N) and the size it
// takes on the page, device pixels (its bounds at that scale, so that painting it into a
// rectangle of exactly this size draws it at 1:N).
struct ScaledDrawing {
    engine::drawing::Drawing drawing;
    int scale = 0;
    QSizeF size;
    double verticalScale = 1;  // the elevation's heights drawn this many times their size
};

// The elevation from `from` to `to` (m along the beam) at the largest standard scale at which
// it fits `room`, its texts at `font`'s size; only what lies in that stretch is kept.
ScaledDrawing scaledElevation(const engine::beam::BeamDesign& design,
                              const engine::beam::BeamInput& input, char decimalSeparator,
                              double from, double to, int scale, const QFont& font,
                              QPaintDevice* device, double roomHeight);
// The smallest standard scale's denominator at which every stretch of the elevation fits `room`.
int elevationScale(const engine::beam::BeamDesign& design, const engine::beam::BeamInput& input,
                   char decimalSeparator, const std::vector<std::pair<double, double>>& pieces,
                   const QSizeF& room, const QFont& font, QPaintDevice* device);
// The sections in the grid and at the largest standard scale at which they fit `room`.
ScaledDrawing scaledSections(const engine::beam::BeamDesign& design,
                             const engine::beam::BeamInput& input, char decimalSeparator,
                             const QSizeF& room, const QFont& font, QPaintDevice* device);

}  // namespace printing
